// The text of pages recognised in the background: words and boxes against what was drawn,
// the cache on disk shared with the engine, a window that keeps ticking, and search.

#include "ocr/pagerecogniser.h"
#include "ocr/pagetextcache.h"
#include "ocr/tesseractengine.h"
#include "ocr/tesseractpagetext.h"
#include "ocr/textsearch.h"
#include "ocrtestutil.h"
#include "support/fixtures.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include "support/rows.h"

using namespace ktdv;
using ktdv::test::addRow;
using ktdv::test::columns;
using ktdv::test::fetch;

namespace {

// A page and its words with their ink.
using Drawn = std::pair<QImage, QVector<PageTextWord>>;

// Lines of words in a large font at 300 dpi, then moved by `how` (the boxes with them).
Drawn drawWords(const QStringList& lines, QSize size, int pixels, const QTransform& how = {}) {
    QImage rgb(size, QImage::Format_RGB32);
    rgb.fill(Qt::white);
    Drawn out;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    const QFontMetrics metrics(font);
    QPainter painter(&rgb);
    painter.setFont(font);
    const QTransform moved = QImage::trueMatrix(how, size.width(), size.height());
    for (int y = pixels * 2, l = 0; l < lines.size(); ++l, y += pixels * 2) {
        for (int x = pixels; const QString& word : lines.at(l).split(QLatin1Char(' '))) {
            painter.drawText(x, y, word);
            out.second.append(
                {word, moved.mapRect(metrics.tightBoundingRect(word).translated(x, y)), l});
            x += metrics.horizontalAdvance(word + QLatin1Char(' '));
        }
    }
    painter.end();
    out.first = rgb.transformed(how).convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    out.first.setDotsPerMeterX(qRound(300 / 0.0254 * std::hypot(how.m11(), how.m12())));
    out.first.setDotsPerMeterY(qRound(300 / 0.0254 * std::hypot(how.m21(), how.m22())));
    return out;
}

double overlap(const QRect& a, const QRect& b) {
    const QRect both = a.intersected(b);
    const double shared = double(both.width()) * both.height();
    return shared / (double(a.width()) * a.height() + double(b.width()) * b.height() - shared);
}

// Asks for every page; true when all are known within 60 s.
bool recogniseAll(TesseractPageText& text, int first = 0) {
    text.requestAll(first);
    return QTest::qWaitFor([&] { return text.pendingCount() == 0; }, 60000);
}

}  // namespace

class TestPageText : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::shared_ptr<ocr::PageTextCache> m_cache =
        std::make_shared<ocr::PageTextCache>(m_dir.filePath(QStringLiteral("cache")));

    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

private slots:
    // Words in reading order, a line index per drawn line, boxes on the page as shown.
    void wordsAndBoxes_data() {
        columns<QTransform, bool>("how", "tiff");
        addRow("tiff", QTransform(), true);
        addRow("single image", QTransform(), false);
        addRow("fax, half the rows", QTransform::fromScale(1, 0.5), true);
        addRow("upside down", QTransform().rotate(180), true);
    }
    void wordsAndBoxes() {
        auto [how, tiff] = fetch<QTransform, bool>("how", "tiff");
        const QStringList lines = {"Invoice number 4711 from Leipzig",
                                   "payable within thirty days net",
                                   "Quarterly statement enclosed herewith",
                                   "Please quote the number above", "with every payment you make"};
        const Drawn drawn = drawWords(lines, {1800, 1100}, 60, how);
        const QString file = tiff ? path("words.tif") : path("words.png");
        QVERIFY(tiff ? test::writeMultiPageTiff(file, {drawn.first})
                     : !test::writeImage(file, drawn.first, "png").isEmpty());
        TesseractPageText text(m_dir.path(), m_cache);
        QList<int> ready;  // -1: raised on another thread
        text.setPageReadyHandler([&](int page) {
            ready.append(QThread::currentThread() == qApp->thread() ? page : -1);
        });
        text.setDocument(file);
        QVERIFY(recogniseAll(text));
        PageText page;
        QVERIFY(ready == QList<int>{0} && text.pageText(0, page));
        QVERIFY(page.pageSize == drawn.first.size() && page.words.size() == drawn.second.size());
        for (qsizetype i = 0; i < page.words.size(); ++i) {
            const PageTextWord& word = page.words.at(i);
            QVERIFY(word.text == drawn.second.at(i).text && word.line == drawn.second.at(i).line);
            QVERIFY2(overlap(word.box, drawn.second.at(i).box) >= 0.7, qPrintable(word.text));
        }
    }

    // A page is recognised once, whoever asks (the provider or a conversion); a changed page
    // again; its unchanged neighbour not.
    void cacheSharedWithConversion() {
        auto page = [](const QString& word) {
            return drawWords({word + " ledger"}, {900, 300}, 70).first;
        };
        const QString file = path("two.tif");
        QVERIFY(test::writeMultiPageTiff(file, {page("Alpha"), page("Bravo")}));
        int last = ocr::PageRecogniser::recognitionCount();
        auto recognitions = [&last] {
            const int now = ocr::PageRecogniser::recognitionCount();
            return now - std::exchange(last, now);
        };
        TesseractEngine engine(m_cache);
        QString folder = m_dir.path();
        QCOMPARE(engine.initialise(folder), 0);
        auto provider = std::make_unique<TesseractPageText>(m_dir.path(), m_cache);
        provider->setDocument(file);
        QVERIFY(recogniseAll(*provider, 1));
        QCOMPARE(recognitions(), 2);
        QCOMPARE(engine.convert(file, path("two.txt"), 0, 2), 0);
        QCOMPARE(recognitions(), 0);
        QVERIFY(test::readAll(path("two.txt")).contains("Bravo ledger"));
        QVERIFY(test::writeMultiPageTiff(file, {page("Alpha"), page("Charlie")}));
        ocr::RecognizedDocument doc;
        QCOMPARE(engine.recognize(file, doc), 0);
        QCOMPARE(recognitions(), 1);
        provider = std::make_unique<TesseractPageText>(m_dir.path(), m_cache);
        provider->setDocument(file);
        QVERIFY(recogniseAll(*provider));
        PageText text;
        QVERIFY(provider->pageText(1, text) && text.words.value(0).text == "Charlie");
        QCOMPARE(recognitions(), 0);
    }

    // The entries used longest ago go first; a damaged entry reads as absent.
    void cacheEviction() {
        const ocr::RecognizedPage page = test::handMadePage({"Least recently used\nentries go"});
        ocr::PageTextCache cache(path("small"));
        auto key = [](char c) { return ocr::PageTextCache::key(QByteArray(1, c), "eng"); };
        cache.store(key('A'), page);
        cache.setMaxBytes(cache.bytesOnDisk() * 7 / 2);
        ocr::RecognizedPage read;
        for (const char c : {'B', 'C'})
            QThread::msleep(20), cache.store(key(c), page);
        QThread::msleep(20);
        QVERIFY(cache.load(key('A'), read));  // A is used again before D comes
        cache.store(key('D'), page);
        auto last = [](const ocr::RecognizedPage& p) {
            return p.blocks[0].paragraphs[0].lines[1].words[1];
        };
        QVERIFY(last(read).text == "go" && last(read).box == last(page).box);
        QVERIFY(!cache.load(key('B'), read));
        QVERIFY(cache.load(key('C'), read) && cache.load(key('D'), read));
        QDir dir(path("small"));
        QVERIFY(QFile::resize(dir.filePath(dir.entryList(QDir::Files).at(0)), 100));
        for (const QString& name : dir.entryList(QDir::Files).mid(1)) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(file.size() / 2));
            file.write("!");
        }
        for (const char c : {'A', 'C', 'D'})
            QVERIFY(!cache.load(key(c), read));
    }

    // The UI thread keeps ticking while 40 pages are recognised, and no document stops the
    // work at once.
    void windowKeepsTicking() {
        QList<QImage> pages;
        for (int i = 1; i <= 40; ++i)
            pages.append(drawWords({"page " + QString::number(i)}, {600, 200}, 60).first);
        const QString file = path("forty.tif");
        QVERIFY(test::writeMultiPageTiff(file, pages));
        TesseractPageText text(m_dir.path(), std::make_shared<ocr::PageTextCache>(path("cold")));
        QElapsedTimer clock;
        qint64 lastTick = 0, longest = 0;
        QTimer ticks;
        QObject::connect(&ticks, &QTimer::timeout, [&] {
            longest = std::max(longest, clock.elapsed() - lastTick);
            lastTick = clock.elapsed();
        });
        clock.start();
        ticks.start(5);
        text.setDocument(file);
        QVERIFY(recogniseAll(text, 20));
        QVERIFY2(longest <= 50, qPrintable(QString::number(longest)));
        text.setDocument(path("two.tif"));
        text.requestAll(0);
        QTest::qWait(100);
        clock.restart();
        text.setDocument(QString());
        QVERIFY(clock.elapsed() < 20 && text.pendingCount() == 0);
    }

    void search_data() {
        columns<QString, bool, QStringList>("needle", "matchCase", "expected");
        addRow("a word, any case", "invoice", false, QStringList{"0:0-0", "1:2-2"});
        addRow("a word, its case", "Invoice", true, QStringList{"0:0-0"});
        addRow("inside a word", "OIC", false, QStringList{"0:0-0", "1:2-2"});
        addRow("a phrase across a line", "Total amount", false, QStringList{"1:0-1"});
        addRow("a phrase of three", "due: the 30", true, QStringList{"0:2-4"});
        addRow("middle word whole", "due: th 30", true, QStringList{});
        addRow("white space only", "  ", false, QStringList{});
    }
    void search() {
        auto [needle, matchCase, expected] =
            fetch<QString, bool, QStringList>("needle", "matchCase", "expected");
        auto pageOf = [](const QString& text) {
            PageText page;
            for (const QString& word : text.split(QLatin1Char(' ')))
                page.words.append({word, QRect(int(page.words.size()) * 10, 0, 8, 8), 0, 90});
            return page;
        };
        const QVector<PageText> pages = {pageOf("Invoice is due: the 30th"),
                                         pageOf("TOTAL amount: INVOICE")};
        const ocr::TextSearch search(needle, matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
        QStringList got;
        for (int p = 0; p < pages.size(); ++p) {
            for (const ocr::TextMatch& m : search.find(p, pages.at(p))) {
                got.append(QStringLiteral("%1:%2-%3").arg(p).arg(m.firstWord).arg(m.lastWord));
                QCOMPARE(m.boxes.size(), m.lastWord - m.firstWord + 1);
                QCOMPARE(m.boxes.front(), pages.at(p).words.at(m.firstWord).box);
            }
        }
        QCOMPARE(got, expected);
    }
};

QTEST_MAIN(TestPageText)
#include "tst_pagetext.moc"
