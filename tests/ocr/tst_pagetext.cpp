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

struct Drawn {
    QImage page;
    QVector<QPair<QString, QRect>> words;  // each word's ink
};

// Lines of words in a large font at 300 dpi, then moved by `how` (the boxes with them).
Drawn drawWords(const QList<QStringList>& lines, QSize size, int pixels,
                const QTransform& how = {}) {
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
        for (int x = pixels; const QString& word : lines.at(l)) {
            painter.drawText(x, y, word);
            out.words.append(
                {word, moved.mapRect(metrics.tightBoundingRect(word).translated(x, y))});
            x += metrics.horizontalAdvance(word + QLatin1Char(' '));
        }
    }
    painter.end();
    out.page = rgb.transformed(how).convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    const double dpm = 300 / 0.0254;
    out.page.setDotsPerMeterX(qRound(dpm * std::hypot(how.m11(), how.m12())));
    out.page.setDotsPerMeterY(qRound(dpm * std::hypot(how.m21(), how.m22())));
    return out;
}

double overlap(const QRect& a, const QRect& b) {
    const QRect both = a.intersected(b);
    const double shared = double(both.width()) * both.height();
    return shared / (double(a.width()) * a.height() + double(b.width()) * b.height() - shared);
}

// Every page of the provider's document, raised on the UI thread; false after 60 s.
bool recogniseAll(TesseractPageText& text, int first = 0) {
    text.requestAll(first);
    QElapsedTimer clock;
    clock.start();
    while (text.pendingCount() > 0 && clock.elapsed() < 60000)
        QTest::qWait(20);
    return text.pendingCount() == 0;
}

}  // namespace

class TestPageText : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::shared_ptr<ocr::PageTextCache> m_cache;

    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        m_cache = std::make_shared<ocr::PageTextCache>(path("cache"));
    }

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
        const QList<QStringList> lines = {{"Invoice", "number", "4711", "from", "Leipzig"},
                                          {"payable", "within", "thirty", "days", "net"},
                                          {"Quarterly", "statement", "enclosed", "herewith"},
                                          {"Please", "quote", "the", "number", "above"},
                                          {"with", "every", "payment", "you", "make"}};
        const Drawn drawn = drawWords(lines, {1800, 1100}, 60, how);
        const QString file = tiff ? path("words.tif") : path("words.png");
        QVERIFY(tiff ? test::writeMultiPageTiff(file, {drawn.page})
                     : !test::writeImage(file, drawn.page, "png").isEmpty());
        TesseractPageText text(m_dir.path(), m_cache);
        QList<int> ready;
        text.setPageReadyHandler([&](int page) {
            QCOMPARE(QThread::currentThread(), qApp->thread());
            ready.append(page);
        });
        text.setDocument(file);
        QVERIFY(recogniseAll(text));
        PageText page;
        QVERIFY(ready == QList<int>{0} && text.pageText(0, page));
        QCOMPARE(page.pageSize, drawn.page.size());
        QCOMPARE(page.words.size(), drawn.words.size());
        for (qsizetype i = 0, line = 0, inLine = 0; i < page.words.size(); ++i, ++inLine) {
            if (inLine == lines.at(line).size())
                ++line, inLine = 0;
            const PageTextWord& word = page.words.at(i);
            QCOMPARE(word.text, drawn.words.at(i).first);
            QCOMPARE(word.line, line);
            QVERIFY2(overlap(word.box, drawn.words.at(i).second) >= 0.7, qPrintable(word.text));
        }
    }

    // A page is recognised once, whoever asks (the provider or a conversion); a changed page
    // again; its unchanged neighbour not.
    void cacheSharedWithConversion() {
        auto page = [](const QString& word) {
            return drawWords({{word, "ledger"}}, {900, 300}, 70).page;
        };
        const QString file = path("two.tif");
        QVERIFY(test::writeMultiPageTiff(file, {page("Alpha"), page("Bravo")}));
        int last = ocr::PageRecogniser::recognitionCount();
        auto recognitions = [&last] {
            const int now = ocr::PageRecogniser::recognitionCount();
            return now - std::exchange(last, now);
        };
        TesseractEngine engine;
        engine.setCache(m_cache);
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
        for (const char c : {'B', 'C', 'A', 'D'}) {  // A read again before D comes
            QThread::msleep(20);
            if (c == 'A')
                QVERIFY(cache.load(key(c), read));
            else
                cache.store(key(c), page);
        }
        QCOMPARE(read.blocks.value(0).paragraphs.value(0).lines.value(1).words.value(1).text, "go");
        QCOMPARE(read.blocks.value(0).paragraphs.value(0).lines.value(1).words.value(1).box,
                 page.blocks.value(0).paragraphs.value(0).lines.value(1).words.value(1).box);
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

    // The UI thread keeps ticking while 40 pages are recognised and searched as they come,
    // and another document stops the work at once.
    void windowKeepsTicking() {
        QList<QImage> pages;
        for (int i = 1; i <= 40; ++i)
            pages.append(drawWords({{"page", QString::number(i)}}, {600, 200}, 60).page);
        const QString file = path("forty.tif");
        QVERIFY(test::writeMultiPageTiff(file, pages));
        TesseractPageText text(m_dir.path(), std::make_shared<ocr::PageTextCache>(path("cold")));
        const ocr::TextSearch search(QStringLiteral("page"), Qt::CaseInsensitive);
        int found = 0;
        text.setPageReadyHandler([&](int index) {
            PageText page;
            found += text.pageText(index, page) ? int(search.find(index, page).size()) : 0;
        });
        QElapsedTimer clock;
        qint64 lastTick = 0;
        qint64 longest = 0;
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
        QVERIFY(found >= 38);
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
            for (const QString& line : text.split(QLatin1Char('|')))
                for (const QString& word : line.split(QLatin1Char(' ')))
                    page.words.append({word, QRect(int(page.words.size()) * 10, 0, 8, 8), 0, 90});
            return page;
        };
        const QVector<PageText> pages = {pageOf("Invoice is due:|the 30th"),
                                         pageOf("TOTAL|amount: INVOICE")};
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
