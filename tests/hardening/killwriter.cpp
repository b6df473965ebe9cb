// Writes a big document through the safe writer so that a test can kill it part-way.
//   ktdv_killwriter TARGET bytes|tiff SIZE [STOP]
// bytes: SIZE MiB of a fixed pattern through writeFileSafely; tiff: a SIZE-page TIFF made
// by libtiff in the temporary file through writeFileSafelyViaPath. Each step of the write
// is announced on stdout ("step open" ...); with STOP (open, write, flush, rename) the
// writer stops before that step ("stopped") and waits to be killed.
#include <QByteArray>
#include <QGuiApplication>
#include <QIODevice>
#include <QThread>

#include <cstdio>

#include "imaging/safefilewriter.h"
#include "support/fixtures.h"

using Step = ktdv::imaging::faults::Step;

namespace {

const char* stepName(Step step) {
    switch (step) {
        case Step::Open:
            return "open";
        case Step::Write:
            return "write";
        case Step::Flush:
            return "flush";
        case Step::Rename:
            return "rename";
    }
    return "?";
}

void say(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s TARGET bytes|tiff SIZE [STOP]\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts for the page labels
    const QString target = QString::fromLocal8Bit(argv[1]);
    const QByteArray mode = argv[2];
    const int size = QByteArray(argv[3]).toInt();
    const QByteArray stop = argc > 4 ? QByteArray(argv[4]) : QByteArray();

    ktdv::imaging::faults::setObserver([&stop](Step step) {
        std::printf("step %s\n", stepName(step));
        std::fflush(stdout);
        if (stop == stepName(step)) {
            say("stopped");
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
            say("filling");
            return !ktdv::test::writeTiff(temp, size, layout).isEmpty();
        });
    } else {
        return 2;
    }
    if (!result.ok) {
        std::fprintf(stderr, "write failed: %s\n", qPrintable(result.error));
        return 1;
    }
    say("done");
    return 0;
}
