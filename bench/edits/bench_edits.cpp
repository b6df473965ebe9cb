// Page edits on the generated 1000-page A4 300 dpi G4 fax, each against tiffcp copying the
// whole file (measured in the same run):
//   delete one page, move one page, save an annotation on page 500 (median of 5 each),
//   each made through the edit history as the viewer makes it (a deleted page is first kept
//   in a file of its own), and the undo of each
//   the file's size after 100 edits against its compacted size
//   peak memory of a child process during an edit and during a compaction, above its
//   memory before it (VmHWM)
//
//   bench_edits [--folder DIR]                        (default /tmp/ktdv-bench)
//   bench_edits --memory-probe edit|compact FILE      (prints KiB before and peak after)

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "common/faxdocument.h"
#include "imaging/annotationstore.h"
#include "imaging/edithistory.h"
#include "imaging/tiffpageedit.h"

namespace {

using namespace ktdv;

constexpr int kPages = 1000;
constexpr int kRuns = 5;

double medianMs(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

// Milliseconds of each of kRuns calls of edit(run); -1 when one failed.
double timeEdits(const std::function<bool(int run)>& edit) {
    std::vector<double> ms;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer clock;
        clock.start();
        if (!edit(run))
            return -1;
        ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    return medianMs(ms);
}

double tiffcpMs(const QString& from, const QString& to) {
    QFile::remove(to);
    QElapsedTimer clock;
    clock.start();
    QProcess tiffcp;
    tiffcp.start(QStringLiteral("tiffcp"), {from, to});
    if (!tiffcp.waitForFinished(600000) || tiffcp.exitCode() != 0)
        return -1;
    return clock.nsecsElapsed() / 1e6;
}

QString workingCopy(const QString& original, const QString& name) {
    const QString copy = QFileInfo(original).dir().filePath(name);
    QFile::remove(copy);
    QFile::copy(original, copy);
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    return copy;
}

bool annotate(const QString& path, int page, int run) {
    const QList<imaging::Annotation> list{imaging::Annotation::make(
        imaging::Annotation::Highlight, QRectF(100 + run * 10, 200, 300, 40))};
    return imaging::AnnotationStore::save(path, page, list).ok;
}

// Edit n of a mixed run: moves, annotation saves and deletes in turn.
bool mixedEdit(const QString& path, int n) {
    switch (n % 3) {
        case 0:
            return imaging::movePage(path, n % 500, 999 - n % 500).ok;
        case 1:
            return annotate(path, n * 7 % 900, n);
        default:
            return imaging::deletePage(path, n * 13 % 900).ok;
    }
}

int memoryProbe(const QString& what, const QString& path) {
    const long before = bench::peakRssKiB();
    const bool ok = what == QLatin1String("edit") ? imaging::deletePage(path, kPages / 2).ok
                                                  : imaging::compactFile(path).ok;
    std::printf("%ld %ld %d\n", before, bench::peakRssKiB(), ok ? 1 : 0);
    return ok ? 0 : 1;
}

// Peak memory of a child doing `what` on `path`, above its memory before: KiB, -1 on failure.
long probeAbove(const QString& self, const QString& what, const QString& path) {
    QProcess p;
    p.start(self, {QStringLiteral("--memory-probe"), what, path});
    p.waitForFinished(600000);
    const QStringList f = QString::fromLatin1(p.readAllStandardOutput()).split(' ');
    if (f.size() < 3 || f[2].trimmed() != QLatin1String("1"))
        return -1;
    return f[1].toLong() - f[0].toLong();
}

// Undo of the edits `history` recorded: the median of kRuns undos.
double undoMs(imaging::EditHistory& history) {
    return timeEdits([&](int) { return history.undo().ok; });
}

void row(const char* what, double ms, double reference) {
    if (ms < 0) {
        std::printf("%-34s %12s\n", what, "not measured");
        return;
    }
    std::printf("%-34s %9.2f ms  ratio %.5f  (target <= 0.01)\n", what, ms, ms / reference);
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 4 && args[1] == QLatin1String("--memory-probe"))
        return memoryProbe(args[2], args[3]);
    QString folder = QDir::tempPath() + QStringLiteral("/ktdv-bench");
    const qsizetype at = args.indexOf(QStringLiteral("--folder"));
    if (at > 0 && at + 1 < args.size())
        folder = args[at + 1];
    QDir().mkpath(folder);
    const QString fax = bench::faxDocument(folder, kPages);
    if (fax.isEmpty()) {
        std::fprintf(stderr, "cannot make the document\n");
        return 1;
    }
    const double size = QFileInfo(fax).size() / 1e6;
    const double reference = tiffcpMs(fax, QDir(folder).filePath(QStringLiteral("tiffcp.tif")));
    std::printf("Edits on a %d-page A4 300 dpi G4 fax, %.1f MB\n", kPages, size);
    std::printf("%-34s %9.2f ms\n", "tiffcp copying the file", reference);

    const QString del = workingCopy(fax, QStringLiteral("edit-delete.tif"));
    const QString move = workingCopy(fax, QStringLiteral("edit-move.tif"));
    const QString note = workingCopy(fax, QStringLiteral("edit-annotate.tif"));
    imaging::EditHistory delHistory, moveHistory, noteHistory;
    delHistory.setDocument(del);
    moveHistory.setDocument(move);
    noteHistory.setDocument(note);
    row("delete one page",
        timeEdits([&](int) { return delHistory.deletePage(del, kPages / 2).ok; }), reference);
    row("move one page", timeEdits([&](int) { return moveHistory.movePage(move, 100, 900).ok; }),
        reference);
    row("save an annotation on page 500", timeEdits([&](int run) {
            return noteHistory
                .changeTag(note, kPages / 2 - 1, imaging::kAnnotationTag,
                           QStringLiteral("Add Annotation"),
                           [&] {
                               imaging::WriteResult r;
                               r.ok = annotate(note, kPages / 2 - 1, run);
                               return r;
                           })
                .ok;
        }),
        reference);
    row("undo delete one page", undoMs(delHistory), reference);
    row("undo move one page", undoMs(moveHistory), reference);
    row("undo save an annotation", undoMs(noteHistory), reference);

    const QString grown = workingCopy(fax, QStringLiteral("edit-100.tif"));
    for (int n = 0; n < 100; ++n) {
        if (!mixedEdit(grown, n)) {
            std::fprintf(stderr, "edit %d failed\n", n);
            return 1;
        }
    }
    const qint64 after = QFileInfo(grown).size();
    const long compactKiB = probeAbove(app.applicationFilePath(), QStringLiteral("compact"), grown);
    const qint64 compacted = QFileInfo(grown).size();
    std::printf("%-34s %9.1f MB, compacted %.1f MB  ratio %.3f  (target <= 1.3)\n",
                "size after 100 edits", after / 1e6, compacted / 1e6, double(after) / compacted);
    const long editKiB = probeAbove(app.applicationFilePath(), QStringLiteral("edit"),
                                    workingCopy(fax, QStringLiteral("edit-memory.tif")));
    std::printf("%-34s %9.1f MiB  (target <= 32 MiB)\n", "peak memory above before, edit",
                editKiB / 1024.0);
    std::printf("%-34s %9.1f MiB  (target <= 32 MiB)\n", "peak memory above before, compaction",
                compactKiB / 1024.0);
    for (const QString& f : {del, move, note, grown})
        QFile::remove(f);
    QFile::remove(QDir(folder).filePath(QStringLiteral("edit-memory.tif")));
    return 0;
}
