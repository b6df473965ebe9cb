// bench_ocr [pages] [jobs]: a document of text pages (300 dpi, A4, Group 4) recognised to
// plain text and to a searchable PDF by the engine, then by the tesseract command line
// reading the same file page after page. Prints times, their ratio and the character
// error rates of both against the text that was drawn.

#include "ocr/tesseractengine.h"
#include "ocrtestutil.h"
#include "support/fixtures.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const QStringList kWords = {
    QStringLiteral("document"), QStringLiteral("viewer"),   QStringLiteral("page"),
    QStringLiteral("invoice"),  QStringLiteral("total"),    QStringLiteral("number"),
    QStringLiteral("account"),  QStringLiteral("the"),      QStringLiteral("and"),
    QStringLiteral("of"),       QStringLiteral("delivery"), QStringLiteral("customer"),
    QStringLiteral("2024"),     QStringLiteral("417.50"),   QStringLiteral("reference"),
    QStringLiteral("signed"),   QStringLiteral("for"),      QStringLiteral("with"),
    QStringLiteral("quality"),  QStringLiteral("office"),   QStringLiteral("March"),
    QStringLiteral("London,"),  QStringLiteral("report."),  QStringLiteral("scanner"),
};

QStringList pageLines(int page) {
    QRandomGenerator random(static_cast<quint32>(1000 + page));
    QStringList lines;
    for (int l = 0; l < 40; ++l) {
        QStringList words;
        for (int w = 0; w < 9; ++w) {
            words.append(kWords.at(random.bounded(static_cast<int>(kWords.size()))));
        }
        lines.append(words.join(QLatin1Char(' ')));
    }
    return lines;
}

double seconds(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const int pageCount = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    const int jobs = argc > 2 ? std::max(0, atoi(argv[2])) : 0;
    if (qEnvironmentVariableIsEmpty("OMP_THREAD_LIMIT")) {
        std::fprintf(stderr, "note: run with OMP_THREAD_LIMIT=1 for comparable figures\n");
    }

    QTemporaryDir dir;
    QList<QImage> pages;
    QString truth;
    for (int p = 0; p < pageCount; ++p) {
        const QStringList lines = pageLines(p);
        pages.append(ktdv::test::renderTextPage(lines, QSize(2480, 3508), 300, 11,
                                                QStringLiteral("DejaVu Serif")));
        truth += lines.join(QLatin1Char(' ')) + QLatin1Char(' ');
    }
    const QString doc = dir.filePath(QStringLiteral("doc.tif"));
    if (!ktdv::test::writeMultiPageTiff(doc, pages)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(doc));
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    ktdv::TesseractEngine engine;
    engine.setThreadCount(jobs);
    QString folder = dir.path() + QLatin1Char('/');
    if (engine.initialise(folder) != 0) {
        std::fprintf(stderr, "engine did not start\n");
        return 1;
    }
    const double start = seconds(timer);
    timer.restart();
    const int textCode = engine.convert(doc, dir.filePath(QStringLiteral("ours.txt")), 0, 2);
    const double oursText = seconds(timer);
    timer.restart();
    const int pdfCode = engine.convert(doc, dir.filePath(QStringLiteral("ours.pdf")), 0, 12);
    const double oursPdf = seconds(timer);
    if (textCode != 0 || pdfCode != 0) {
        std::fprintf(stderr, "engine failed: %d %d\n", textCode, pdfCode);
        return 1;
    }

    timer.restart();
    ktdv::test::runTool(QStringLiteral("tesseract"), {doc, dir.filePath(QStringLiteral("cli")),
                                                      QStringLiteral("-l"), QStringLiteral("eng")});
    const double cliText = seconds(timer);
    timer.restart();
    ktdv::test::runTool(QStringLiteral("tesseract"),
                        {doc, dir.filePath(QStringLiteral("clipdf")), QStringLiteral("-l"),
                         QStringLiteral("eng"), QStringLiteral("pdf")});
    const double cliPdf = seconds(timer);

    const QString ours =
        QString::fromLatin1(ktdv::test::readAll(dir.filePath(QStringLiteral("ours.txt"))));
    const QString cli =
        QString::fromUtf8(ktdv::test::readAll(dir.filePath(QStringLiteral("cli.txt"))));
    const auto pdfText = [&](const QString& pdf) {
        return QString::fromUtf8(
            ktdv::test::runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).out);
    };
    const double cerOurs = ktdv::test::characterErrorRate(ours, truth);
    const double cerCli = ktdv::test::characterErrorRate(cli, truth);
    const double cerOursPdf =
        ktdv::test::characterErrorRate(pdfText(dir.filePath(QStringLiteral("ours.pdf"))), truth);
    const double cerCliPdf =
        ktdv::test::characterErrorRate(pdfText(dir.filePath(QStringLiteral("clipdf.pdf"))), truth);
    const qint64 oursPdfSize = QFile(dir.filePath(QStringLiteral("ours.pdf"))).size();
    const qint64 cliPdfSize = QFile(dir.filePath(QStringLiteral("clipdf.pdf"))).size();

    std::printf("%d pages, 300 dpi A4 bilevel, %d worker threads (0 = one per core)\n", pageCount,
                jobs);
    std::printf("engine start-up                 %7.2f s\n", start);
    std::printf("to text   engine %7.2f s   tesseract cli %7.2f s   ratio cli/engine %.2f\n",
                oursText, cliText, cliText / oursText);
    std::printf("to pdf    engine %7.2f s   tesseract cli %7.2f s   ratio cli/engine %.2f\n",
                oursPdf, cliPdf, cliPdf / oursPdf);
    std::printf("CER text  engine %.4f   tesseract cli %.4f\n", cerOurs, cerCli);
    std::printf("CER pdf   engine %.4f   tesseract cli %.4f   (pdftotext)\n", cerOursPdf,
                cerCliPdf);
    std::printf("pdf size  engine %lld bytes   tesseract cli %lld bytes\n",
                static_cast<long long>(oursPdfSize), static_cast<long long>(cliPdfSize));
    return 0;
}
