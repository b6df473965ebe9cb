// bench_pagetext [pages] [target]: finding a word in a scanned document. A document of
// text pages (300 dpi, A4, Group 4) holds one word only on page `target`; the page text is
// asked for from the first page on with a cold cache and each page searched as it comes,
// until the word is found. Reference: the tesseract command line recognising pages 1 to
// `target` one after the other. Then a search for a word over the text of 1000 recognised
// pages (made up, 360 words a page), median of 9 runs.

#include "ocr/pagetextcache.h"
#include "ocr/tesseractpagetext.h"
#include "ocr/textsearch.h"
#include "ocrtestutil.h"
#include "support/fixtures.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

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
const QString kNeedle = QStringLiteral("Zanzibar");

QStringList pageLines(int page, bool withNeedle) {
    QRandomGenerator random(static_cast<quint32>(1000 + page));
    QStringList lines;
    for (int l = 0; l < 40; ++l) {
        QStringList words;
        for (int w = 0; w < 9; ++w) {
            words.append(kWords.at(random.bounded(static_cast<int>(kWords.size()))));
        }
        if (withNeedle && l == 20) {
            words[4] = kNeedle;
        }
        lines.append(words.join(QLatin1Char(' ')));
    }
    return lines;
}

double seconds(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e9;
}

// Seconds until the needle is found on page `target` (0-based); -1 when it is not.
double firstMatch(const QString& doc, int target, const QString& folder) {
    ktdv::TesseractPageText text(
        folder, std::make_shared<ktdv::ocr::PageTextCache>(folder + QStringLiteral("/cache")));
    const ktdv::ocr::TextSearch search(kNeedle, Qt::CaseInsensitive);
    QEventLoop loop;
    double found = -1;
    QElapsedTimer timer;
    text.setPageReadyHandler([&](int index) {
        ktdv::PageText page;
        if (text.pageText(index, page) && !search.find(index, page).isEmpty()) {
            found = index == target ? seconds(timer) : -1;
            loop.quit();
        } else if (text.pendingCount() == 0) {
            loop.quit();
        }
    });
    QTimer::singleShot(600000, &loop, &QEventLoop::quit);
    timer.start();
    text.setDocument(doc);
    text.requestAll(0);
    loop.exec();
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const int pageCount = argc > 1 ? std::max(1, atoi(argv[1])) : 40;
    const int target = std::clamp(argc > 2 ? atoi(argv[2]) : 30, 1, pageCount) - 1;
    if (qEnvironmentVariableIsEmpty("OMP_THREAD_LIMIT")) {
        std::fprintf(stderr, "note: run with OMP_THREAD_LIMIT=1 for comparable figures\n");
    }

    QTemporaryDir dir;
    QList<QImage> pages;
    for (int p = 0; p < pageCount; ++p) {
        pages.append(ktdv::test::renderTextPage(pageLines(p, p == target), QSize(2480, 3508), 300,
                                                11, QStringLiteral("DejaVu Serif")));
    }
    const QString doc = dir.filePath(QStringLiteral("doc.tif"));
    QStringList singles;
    for (int p = 0; p <= target; ++p) {
        singles.append(dir.filePath(QStringLiteral("page%1.tif").arg(p + 1)));
        if (!ktdv::test::writeMultiPageTiff(singles.last(), {pages.at(p)})) {
            return 1;
        }
    }
    if (!ktdv::test::writeMultiPageTiff(doc, pages)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(doc));
        return 1;
    }

    const double ours = firstMatch(doc, target, dir.path());
    if (ours < 0) {
        std::fprintf(stderr, "the word was not found on page %d\n", target + 1);
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    for (const QString& single : singles) {
        ktdv::test::runTool(
            QStringLiteral("tesseract"),
            {single, QStringLiteral("stdout"), QStringLiteral("-l"), QStringLiteral("eng")});
    }
    const double cli = seconds(timer);

    // 1000 recognised pages made up of the same words, the needle on one of them.
    QVector<ktdv::PageText> texts(1000);
    qsizetype words = 0;
    for (int p = 0; p < texts.size(); ++p) {
        const QStringList lines = pageLines(p, p == 700);
        for (int l = 0; l < lines.size(); ++l) {
            int x = 100;
            for (const QString& w : lines.at(l).split(QLatin1Char(' '))) {
                texts[p].words.append({w, QRect(x, 100 + l * 80, int(w.size()) * 30, 50), l, 90});
                x += int(w.size()) * 30 + 25;
            }
        }
        words += texts.at(p).words.size();
    }
    std::vector<double> runs;
    qsizetype matches = 0;
    for (int run = 0; run < 9; ++run) {
        timer.restart();
        const ktdv::ocr::TextSearch search(kNeedle.toLower(), Qt::CaseInsensitive);
        matches = 0;
        for (int p = 0; p < texts.size(); ++p) {
            matches += search.find(p, texts.at(p)).size();
        }
        runs.push_back(seconds(timer) * 1000);
    }
    std::sort(runs.begin(), runs.end());

    std::printf("%d pages, 300 dpi A4 bilevel, word on page %d, %d cores\n", pageCount, target + 1,
                QThread::idealThreadCount());
    std::printf(
        "first match, cold cache   page text %7.2f s   tesseract cli pages 1-%d %7.2f s"
        "   ratio %.2f\n",
        ours, target + 1, cli, ours / cli);
    std::printf("search 1000 pages         %7.2f ms   %lld words, %lld match(es)\n",
                runs.at(runs.size() / 2), static_cast<long long>(words),
                static_cast<long long>(matches));
    return 0;
}
