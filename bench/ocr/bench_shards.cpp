// bench_shards [pages] [shards]: a batch of 300-dpi A4 text pages (documents of 4 pages)
// converted to searchable PDF by ktdocview-convert twice on this machine: once by one
// converter with --jobs equal to the cores, once by [shards] converters started at once,
// each with its --shard and its share of the cores. Prints both times and their ratio:
// splitting a batch into shards should cost nothing.

#include "ocrtestutil.h"
#include "support/fixtures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <sys/resource.h>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const QString kConverter = QStringLiteral(KTDV_CONVERT_BINARY);

QStringList pageLines(int page) {
    static const QStringList words = QStringLiteral(
                                         "document page invoice total number account the and of "
                                         "delivery customer 2024 417.50 reference signed for with "
                                         "quality office March London, report. scanner")
                                         .split(QLatin1Char(' '));
    QRandomGenerator random(static_cast<quint32>(5000 + page));
    QStringList lines;
    for (int l = 0; l < 40; ++l) {
        QStringList line;
        for (int w = 0; w < 9; ++w) {
            line.append(words.at(random.bounded(static_cast<int>(words.size()))));
        }
        lines.append(line.join(QLatin1Char(' ')));
    }
    return lines;
}

// Runs the converters at once and waits for all; seconds, or -1 when one failed.
double runAtOnce(const QList<QStringList>& commands) {
    QElapsedTimer timer;
    timer.start();
    std::vector<std::unique_ptr<QProcess>> running;
    for (const QStringList& arguments : commands) {
        running.push_back(std::make_unique<QProcess>());
        running.back()->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        running.back()->start(kConverter, arguments);
    }
    bool ok = true;
    for (auto& p : running) {
        ok = p->waitForFinished(-1) && p->exitStatus() == QProcess::NormalExit &&
             p->exitCode() == 0 && ok;
    }
    return ok ? static_cast<double>(timer.nsecsElapsed()) / 1e9 : -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const int pageCount = argc > 1 ? std::max(4, atoi(argv[1])) : 40;
    const int shards = argc > 2 ? std::max(1, atoi(argv[2])) : 4;
    const int cores = QThread::idealThreadCount();

    QTemporaryDir dir;
    QStringList list;
    for (int first = 0; first < pageCount; first += 4) {
        QList<QImage> pages;
        for (int p = first; p < std::min(first + 4, pageCount); ++p) {
            pages.append(ktdv::test::renderTextPage(pageLines(p), QSize(2480, 3508), 300, 11,
                                                    QStringLiteral("DejaVu Serif")));
        }
        const QString doc = dir.filePath(QStringLiteral("in/doc%1.tif").arg(first / 4));
        if (!QDir().mkpath(dir.filePath(QStringLiteral("in"))) ||
            !ktdv::test::writeMultiPageTiff(doc, pages)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(doc));
            return 1;
        }
        list.append(doc + QLatin1Char('\t') + QString::number(pages.size()));
    }
    QFile listFile(dir.filePath(QStringLiteral("list")));
    if (!listFile.open(QIODevice::WriteOnly) || listFile.write(list.join('\n').toUtf8()) <= 0) {
        return 1;
    }
    listFile.close();

    const auto command = [&](const QString& out, int jobs) {
        return QStringList{
            QStringLiteral("--from-list"), listFile.fileName(),  QStringLiteral("-f"),
            QStringLiteral("pdf"),         QStringLiteral("-q"), QStringLiteral("-j"),
            QString::number(jobs),         QStringLiteral("-o"), dir.filePath(out)};
    };
    const double one = runAtOnce({command(QStringLiteral("one"), cores)});
    struct rusage usage = {};
    ::getrusage(RUSAGE_CHILDREN, &usage);  // the one converter's peak
    const auto folderBytes = [&](const QString& name) {
        qint64 bytes = 0;
        for (const QFileInfo& f : QDir(dir.filePath(name)).entryInfoList(QDir::Files)) {
            bytes += f.size();
        }
        return static_cast<double>(bytes) / pageCount / 1024;
    };
    QList<QStringList> split;
    const int jobsPerShard = std::max(1, cores / shards);
    for (int k = 0; k < shards; ++k) {
        split.append(
            command(QStringLiteral("split"), jobsPerShard) +
            QStringList{QStringLiteral("--shard"), QStringLiteral("%1/%2").arg(k).arg(shards)});
    }
    const double sharded = runAtOnce(split);
    if (one <= 0 || sharded <= 0) {
        std::fprintf(stderr, "a converter failed\n");
        return 1;
    }
    std::printf("%d pages in %lld documents, 300 dpi A4, to searchable PDF, %d cores\n", pageCount,
                static_cast<long long>(list.size()), cores);
    std::printf("one converter     --jobs %d  %7.2f s  %.2f pages/s  %.3f pages/s per core\n",
                cores, one, pageCount / one, pageCount / one / cores);
    std::printf("%d shards at once --jobs %d  %7.2f s  %.2f pages/s  %.3f pages/s per core\n",
                shards, jobsPerShard, sharded, pageCount / sharded, pageCount / sharded / cores);
    std::printf("ratio shards/one  %.2f\n", sharded / one);
    std::printf(
        "per page: %.0f KiB read, %.0f KiB written; peak memory of one converter "
        "with --jobs %d: %ld MiB\n",
        folderBytes(QStringLiteral("in")), folderBytes(QStringLiteral("one")), cores,
        usage.ru_maxrss / 1024);
    return 0;
}
