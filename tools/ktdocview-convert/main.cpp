// ktdocview-convert: recognises documents from the command line and writes them in one of
// the viewer's export formats. See --help.

#include "ocr/resulttext.h"
#include "ocr/tesseractengine.h"
#include "options.h"
#include "progressline.h"
#include "report.h"
#include "runner.h"
#include "sharding.h"
#include "worklist.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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

// The translation of the system's language, built in like the viewer's, with Qt's own for
// the command-line parser's texts. Without one for the locale the texts stay English.
void loadTranslations(QCoreApplication* app) {
    const QLocale locale = QLocale::system();
    auto* own = new QTranslator(app);
    if (!own->load(locale, QStringLiteral("ktdocview"), QStringLiteral("_"),
                   QStringLiteral(":/i18n"))) {
        delete own;
        return;
    }
    QCoreApplication::installTranslator(own);
    auto* qt = new QTranslator(app);
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt);
    }
}

}  // namespace

int main(int argc, char** argv) {
    restartWithThreadLimit(argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ktdocview-convert"));
    QCoreApplication::setApplicationVersion(QStringLiteral("0.1.0"));
    loadTranslations(&app);

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
        std::fprintf(
            stderr, "%s\n",
            QCoreApplication::translate("ktdocview-convert", "Try 'ktdocview-convert --help'.")
                .toLocal8Bit()
                .constData());
        return 2;
    }

    if (!options->summarise.isEmpty()) {
        return ktdv::convert::summarise(options->summarise, stdout);
    }
    const ktdv::convert::Environment env = ktdv::convert::processEnvironment();
    ktdv::convert::Shard shard;
    QVector<ktdv::convert::WorkItem> items;
    if (options->batch()) {
        shard = ktdv::convert::resolveShard(options->shard, options->shardCount, env);
        const ktdv::convert::WorkList list =
            ktdv::convert::buildWorkList(options->inputs, options->fromList, options->output,
                                         options->format != 0 ? options->format : 2);
        if (!shard.error.isEmpty() || !list.error.isEmpty()) {
            report(shard.error.isEmpty() ? list.error : shard.error);
            return 2;
        }
        items = ktdv::convert::itemsOfShard(list.items, shard.index, shard.count);
    }
    const int jobs = options->jobs > 0 ? options->jobs : ktdv::convert::defaultJobs(env);
    if (options->batch() && (!options->quiet || options->dryRun)) {
        report(QCoreApplication::translate("ktdocview-convert",
                                           "shard %1 of %2, %3 documents, %4 pages at once")
                   .arg(shard.index)
                   .arg(shard.count)
                   .arg(items.size())
                   .arg(jobs));
    }
    if (options->dryRun) {
        ktdv::convert::printItems(items, stdout);
        return 0;
    }

    ktdv::TesseractEngine engine;
    engine.setLanguage(options->language);
    engine.setPages(options->pages);
    engine.setThreadCount(jobs);
    QString folder = options->appFolder.isEmpty()
                         ? QString()
                         : QDir(options->appFolder).absolutePath() + QDir::separator();
    const int started = engine.initialise(folder);
    if (started != 0) {
        report(ktdv::ocr::resultText(started));
        return 1;
    }

    ktdv::convert::ProgressLine progress(stderr, !options->quiet && ::isatty(2) != 0);
    return options->batch() ? ktdv::convert::runBatch(engine, *options, items, shard, progress)
                            : ktdv::convert::runSingle(engine, *options, progress);
}
