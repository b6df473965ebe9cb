#include "runner.h"

#include "imaging/document.h"
#include "ocr/resulttext.h"
#include "ocr/tesseractengine.h"
#include "report.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>

namespace ktdv::convert {

namespace {

void tell(const QString& message) {
    std::fprintf(stderr, "ktdocview-convert: %s\n", message.toLocal8Bit().constData());
}

int formatOf(const Options& options, const QString& target) {
    return options.format != 0 ? options.format : formatForPath(target);
}

// A converter killed while writing leaves its temporary file (".name.tmp-XXXX") beside the
// output; the task that owns the output removes it before converting again.
void removeStaleTemporaries(const QVector<WorkItem>& items) {
    QSet<QString> folders;
    QSet<QString> outputs;
    for (const WorkItem& item : items) {
        folders.insert(QFileInfo(item.output).absolutePath());
        outputs.insert(item.output);
    }
    for (const QString& folder : std::as_const(folders)) {
        const QDir dir(folder);
        const QStringList temps =
            dir.entryList({QStringLiteral(".*.tmp-*")}, QDir::Files | QDir::Hidden | QDir::System);
        for (const QString& name : temps) {
            const QString target = dir.filePath(name.mid(1, name.lastIndexOf(".tmp-") - 1));
            if (outputs.contains(target)) {
                QFile::remove(dir.filePath(name));
            }
        }
    }
}

bool upToDate(const WorkItem& item) {
    const QFileInfo out(item.output);
    const QFileInfo in(item.input);
    return out.isFile() && in.exists() && out.lastModified() >= in.lastModified();
}

}  // namespace

int countPages(const QString& input, const QVector<int>& pages) {
    const auto doc = imaging::Document::open(input);
    if (!doc) {
        return 0;
    }
    if (pages.isEmpty()) {
        return doc->pageCount();
    }
    int total = 0;
    for (int p : pages) {
        total += (p <= doc->pageCount()) ? 1 : 0;
    }
    return total;
}

void printItems(const QVector<WorkItem>& items, std::FILE* out) {
    for (const WorkItem& item : items) {
        std::fprintf(out, "%s\t%s\t%d\n", item.input.toLocal8Bit().constData(),
                     item.output.toLocal8Bit().constData(), item.pages);
    }
}

int runSingle(TesseractEngine& engine, const Options& options, ProgressLine& progress) {
    const QString& input = options.inputs.first();
    int done = 0;
    engine.setProgressHandler([&](int) { progress.update(++done); });
    progress.start(input, countPages(input, options.pages));
    const int code = engine.convert(
        QFileInfo(input).absoluteFilePath(), QFileInfo(options.output).absoluteFilePath(),
        RecognitionEngine::DestinationFile, formatOf(options, options.output));
    progress.finish();
    if (code != 0) {
        tell(ocr::resultText(code) + QStringLiteral(" (") + input + QStringLiteral(")"));
        return 1;
    }
    return 0;
}

int runBatch(TesseractEngine& engine, const Options& options, const QVector<WorkItem>& items,
             const Shard& shard, ProgressLine& progress) {
    if (!QDir().mkpath(options.output)) {
        tell(QCoreApplication::translate("ktdocview-convert", "cannot create the folder %1")
                 .arg(options.output));
        return 1;
    }
    ReportWriter report(options.output, shard.index);
    if (!report.error().isEmpty()) {
        tell(report.error());
        return 1;
    }
    removeStaleTemporaries(items);

    int done = 0;
    engine.setProgressHandler([&](int) { progress.update(++done); });
    bool allOk = true;
    for (const WorkItem& item : items) {
        ReportLine line{item.input, item.output, 0, 0, QStringLiteral("ok"), QString()};
        QElapsedTimer timer;
        timer.start();
        int code = 0;
        if (!item.error.isEmpty()) {
            line.message = item.error;
        } else if (!options.force && upToDate(item)) {
            line.status = QStringLiteral("skipped");
        } else if (!QDir().mkpath(QFileInfo(item.output).absolutePath())) {
            code = RecognitionEngine::FailedToOpenExportFile;
        } else {
            done = 0;
            progress.start(item.input, countPages(item.input, options.pages));
            code = engine.convert(item.input, item.output, RecognitionEngine::DestinationFile,
                                  formatOf(options, item.output));
            progress.finish();
        }
        line.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        if (code != 0 || !item.error.isEmpty()) {
            line.status = QStringLiteral("failed");
            line.message = item.error.isEmpty() ? ocr::resultTextInEnglish(code) : item.error;
            tell((item.error.isEmpty() ? ocr::resultText(code) : item.error) +
                 QStringLiteral(" (") + item.input + QStringLiteral(")"));
            allOk = false;
        }
        line.pages =
            line.status == QLatin1String("ok") ? done : countPages(item.input, options.pages);
        if (!report.append(line)) {
            tell(report.error());
            allOk = false;
        }
    }
    return allOk ? 0 : 1;
}

}  // namespace ktdv::convert
