// Writes a big document through the safe writer so that a test can kill it part-way.
//   ktdv_killwriter TARGET bytes|tiff|edit SIZE [STOP [PAGEFILE]]
// bytes: SIZE MiB of a fixed pattern through writeFileSafely; tiff: a SIZE-page TIFF made
// by libtiff in the temporary file through writeFileSafelyViaPath; edit: SIZE rounds of
// inserting the page of PAGEFILE before page 2 of TARGET and deleting it again (edits in
// place; each delete leaves enough dead bytes for a compaction). Each step of the write
// can be halted: with STOP (open, write, flush, rename, append, sync, switch, sync2 for the
// second sync of an edit, truncate after a failed switch) the writer stops before that
// step, says "stopped" and waits to be killed.
#include <QGuiApplication>
#include <QThread>

#include <cstdio>

#include "imaging/safefilewriter.h"
#include "imaging/tiffpageedit.h"
#include "imaging/tiffpagetransfer.h"
#include "support/fixtures.h"

using Step = ktdv::imaging::faults::Step;

int main(int argc, char** argv) {
    if (argc < 4)
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts for the page labels
    const QString target = QString::fromLocal8Bit(argv[1]);
    const QByteArray mode = argv[2];
    const int size = QByteArray(argv[3]).toInt();
    const QByteArray stop = argc > 4 ? QByteArray(argv[4]) : QByteArray();

    const QString pageFile = argc > 5 ? QString::fromLocal8Bit(argv[5]) : QString();
    if (stop == "truncate")
        ktdv::imaging::faults::failAt(Step::Switch);
    ktdv::imaging::faults::setObserver([&stop](Step step) {
        static const char* const names[] = {"open",   "write", "flush",  "rename",
                                            "append", "sync",  "switch", "truncate"};
        static int syncs = 0;
        const bool second = step == Step::Sync && ++syncs == 2;
        if (stop == names[int(step)] || (second && stop == "sync2")) {
            std::printf("stopped\n");
            std::fflush(stdout);
            for (;;)
                QThread::sleep(1);
        }
    });

    ktdv::imaging::WriteResult result;
    if (mode == "bytes") {
        result = ktdv::imaging::writeFileSafely(target, [size](QIODevice& out) {
            QByteArray chunk(1 << 20, Qt::Uninitialized);
            for (int mib = 0; mib < size; ++mib) {
                for (int i = 0; i < chunk.size(); ++i)
                    chunk[i] = char((i * 31 + mib * 7) >> 3);
                if (out.write(chunk) != chunk.size())
                    return false;
            }
            return true;
        });
    } else if (mode == "tiff") {
        ktdv::test::TiffPage layout;
        layout.kind = ktdv::test::PageKind::Gray8;
        layout.compression = ktdv::test::None;
        result = ktdv::imaging::writeFileSafelyViaPath(target, [&](const QString& temp) {
            return !ktdv::test::writeTiff(temp, size, layout).isEmpty();
        });
    } else if (mode == "edit") {
        for (int round = 0; round < size && (round == 0 || result.ok); ++round) {
            result = ktdv::imaging::insertPage(target, 1, pageFile);
            if (result.ok)
                result = ktdv::imaging::deletePage(target, 1);
        }
    } else {
        return 2;
    }
    if (!result.ok) {
        std::fprintf(stderr, "write failed: %s\n", qPrintable(result.error));
        return 1;
    }
    return 0;
}
