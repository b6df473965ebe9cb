// ktdocview-convert: recognises documents from the command line and writes them in one of
// the viewer's export formats. See --help.

#include "imaging/document.h"
#include "ocr/resulttext.h"
#include "ocr/tesseractengine.h"
#include "options.h"
#include "progressline.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>

namespace {

void report(const QString& message) {
    std::fprintf(stderr, "ktdocview-convert: %s\n", message.toLocal8Bit().constData());
}

// OpenMP reads its thread limit when the library loads, before main(): start again with
// the limit set so each page runs on one thread.
void restartWithThreadLimit(char** argv) {
    if (std::getenv("OMP_THREAD_LIMIT") != nullptr) {
        return;
    }
    ::setenv("OMP_THREAD_LIMIT", "1", 1);
    ::execv("/proc/self/exe", argv);
    // Carry on when restarting is impossible.
}

}  // namespace

int main(int argc, char** argv) {
    restartWithThreadLimit(argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ktdocview-convert"));
    QCoreApplication::setApplicationVersion(QStringLiteral("0.1.0"));

    QString error;
    QString text;
    const std::optional<ktdv::convert::Options> options =
        ktdv::convert::parseArguments(QCoreApplication::arguments(), &error, &text);
    if (!options) {
        if (error.isEmpty()) {
            std::fputs(text.toLocal8Bit().constData(), stdout);
            return 0;
        }
        report(error);
        std::fprintf(stderr, "Try 'ktdocview-convert --help'.\n");
        return 2;
    }

    ktdv::TesseractEngine engine;
    engine.setLanguage(options->language);
    engine.setPages(options->pages);
    engine.setThreadCount(options->jobs);
    QString folder = options->appFolder.isEmpty()
                         ? QString()
                         : QDir(options->appFolder).absolutePath() + QDir::separator();
    const int started = engine.initialise(folder);
    if (started != 0) {
        report(ktdv::ocr::resultText(started));
        return 1;
    }

    ktdv::convert::ProgressLine progress(stderr, !options->quiet && ::isatty(2) != 0);
    int done = 0;
    engine.setProgressHandler([&](int) { progress.update(++done); });

    bool allOk = true;
    const bool several = options->inputs.size() > 1;
    for (const QString& input : options->inputs) {
        const int format = options->format != 0 ? options->format
                           : several            ? 2
                                                : ktdv::convert::formatForPath(options->output);
        const QString target = several
                                   ? ktdv::convert::outputPathFor(input, options->output, format)
                                   : options->output;
        int total = 0;
        if (const auto doc = ktdv::imaging::Document::open(input)) {
            total = doc->pageCount();
            if (!options->pages.isEmpty()) {
                total = 0;
                for (int p : options->pages) {
                    total += (p <= doc->pageCount()) ? 1 : 0;
                }
            }
        }
        done = 0;
        progress.start(input, total);
        const int code = engine.convert(QFileInfo(input).absoluteFilePath(),
                                        QFileInfo(target).absoluteFilePath(),
                                        ktdv::RecognitionEngine::DestinationFile, format);
        progress.finish();
        if (code != 0) {
            report(ktdv::ocr::resultText(code) + QStringLiteral(" (") + input +
                   QStringLiteral(")"));
            allOk = false;
        }
    }
    return allOk ? 0 : 1;
}
