// Recognition quality against the tesseract command line on the same images in the same
// run, progress, parallel determinism, and the clipboard and PDF destinations.

#include "ocr/tesseractengine.h"
#include "ocr/writers/textlayout.h"
#include "ocrtestutil.h"
#include "support/fixtures.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include "support/rows.h"

using namespace ktdv;
using ktdv::test::addRow;
using ktdv::test::columns;
using ktdv::test::fetch;

namespace {

const QStringList kSentences = {
    QStringLiteral("The quick brown fox jumps over the lazy dog."),
    QStringLiteral("Pack my box with five dozen liquor jugs, 1234."),
    QStringLiteral("Invoice 2023-117 totals 4,560.75 euros."),
    QStringLiteral("Sphinx of black quartz, judge my vow!"),
    QStringLiteral("How vexingly quick daft zebras jump."),
};

QImage textPage(const QStringList& lines, int pointSize, const QString& family, bool bilevel,
                int dpi = 300, QSize size = QSize(2480, 1300)) {
    return test::renderTextPage(lines, size, dpi, pointSize, family, bilevel);
}

}  // namespace

class TestOcrEngine : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    TesseractEngine m_engine;

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QString folder = m_dir.path() + QLatin1Char('/');
        QCOMPARE(m_engine.initialise(folder), 0);
    }

    void characterErrorRate_data() {
        columns<QString, QString>("path", "truth");
        const QString corpus = test::corpusDir() + QStringLiteral("/ocr/");
        for (const char* name : {"phototest", "HelloGoogle", "12", "324", "433"}) {
            const QString base = corpus + QStringLiteral("tesstest__") + QLatin1String(name);
            addRow(name, base + QStringLiteral(".tif"),
                   QString::fromUtf8(test::readAll(base + QStringLiteral(".gt.txt"))));
        }
        auto add = [this](const char* name, const QImage& page, const QStringList& truth) {
            const QString path = m_dir.filePath(QLatin1String(name) + QStringLiteral(".png"));
            QVERIFY(!test::writeImage(path, page, "png").isEmpty());
            addRow(name, path, truth.join(QLatin1Char(' ')));
        };
        const QStringList three = kSentences.mid(0, 3);
        add("serif 12pt bilevel", textPage(three, 12, QStringLiteral("DejaVu Serif"), true), three);
        // Columns of running text, read one after the other.
        const QStringList left =
            QString("Columns of a page|are read from top|to bottom before|the next column.")
                .split('|');
        const QStringList right =
            QString("The second column|starts at the top|and carries on to|the end of the page.")
                .split('|');
        QImage columns =
            textPage(left, 11, QStringLiteral("DejaVu Serif"), false, 300, {2480, 1400});
        QPainter(&columns).drawImage(
            1240, 0, textPage(right, 11, QStringLiteral("DejaVu Serif"), false, 300, {1240, 1400}));
        add("two columns", columns, left + right);
        // A fine fax: drawn at 204 dpi, every other row kept, so the file says 204 x 98 dpi.
        QImage fax = textPage(three, 12, QStringLiteral("DejaVu Sans"), true, 204, {1728, 900});
        fax = fax.scaled(fax.width(), fax.height() * 98 / 204, Qt::IgnoreAspectRatio,
                         Qt::FastTransformation);
        fax.setDotsPerMeterX(qRound(204 / 0.0254));
        fax.setDotsPerMeterY(qRound(98 / 0.0254));
        add("fax 204x98", fax, three);
        const QImage upright = textPage(kSentences, 12, QStringLiteral("DejaVu Serif"), true);
        add("turned 90", upright.transformed(QTransform().rotate(90)), kSentences);
    }
    void characterErrorRate() {
        auto [path, truth] = fetch<QString, QString>("path", "truth");
        if (path.startsWith(test::corpusDir()))
            KTDV_REQUIRE_CORPUS();
        ocr::RecognizedDocument doc;
        QCOMPARE(m_engine.recognize(path, doc), 0);
        const QString ours = ocr::documentText(doc, QStringLiteral("\n"));
        const QString theirs = QString::fromUtf8(
            test::runTool(QStringLiteral("tesseract"), {path, "stdout", "-l", "eng"}).out);
        const double ourRate = test::characterErrorRate(ours, truth);
        const double theirRate = test::characterErrorRate(theirs, truth);
        qInfo("CER %-20s ours %.4f  tesseract %.4f", QTest::currentDataTag(), ourRate, theirRate);
        QVERIFY2(ourRate <= theirRate + 0.01, qPrintable(test::normalizedText(ours)));
    }

    void parallelMatchesOneThread() {
        const QString path = m_dir.filePath(QStringLiteral("four.tif"));
        QList<QImage> pages;
        for (int i = 0; i < 4; ++i) {
            const QStringList lines{kSentences.at(i), kSentences.at(i + 1),
                                    QStringLiteral("Page %1 of four").arg(i + 1)};
            pages.append(textPage(lines, 12, QStringLiteral("DejaVu Serif"), true));
        }
        QVERIFY(test::writeMultiPageTiff(path, pages));
        QByteArray outputs[2];
        const int threads[2] = {1, 3};
        for (int i = 0; i < 2; ++i) {
            TesseractEngine engine;
            engine.setThreadCount(threads[i]);
            QString folder = m_dir.path() + QLatin1Char('/');
            QCOMPARE(engine.initialise(folder), 0);
            // One event per page, in page order, on the thread that called convert; calls
            // made meanwhile are refused at once.
            QList<int> args;
            engine.setProgressHandler([&](int arg) {
                QCOMPARE(QThread::currentThread(), qApp->thread());
                args.append(arg);
                ocr::RecognizedDocument other;
                QVERIFY(engine.busy() && engine.recognize(path, other) == -15);
                QCOMPARE(engine.convert(path, m_dir.filePath("no.txt"), 0, 2), -15);
                QCOMPARE(engine.initialise(folder), -15);
            });
            const QString out = m_dir.filePath(QStringLiteral("parallel-%1.html").arg(threads[i]));
            QCOMPARE(engine.convert(path, out, 0, 9), 0);
            QCOMPARE(args, (QList<int>{1, 2, 3, 4}));
            QVERIFY(!engine.busy() && !QFileInfo::exists(m_dir.filePath("no.txt")));
            outputs[i] = test::readAll(out);
            // Cancelled at its first page: no other page is reported and nothing is written.
            args.clear();
            engine.setProgressHandler([&](int arg) { args.append(arg), engine.cancel(); });
            QCOMPARE(engine.convert(path, m_dir.filePath("stopped.html"), 0, 9), -16);
            QVERIFY(args == QList<int>{1} && !QFileInfo::exists(m_dir.filePath("stopped.html")));
        }
        QCOMPARE(outputs[0].count("class=\"ocr_page\""), 4);
        QVERIFY(outputs[0].contains(">four</span>"));
        QCOMPARE(outputs[1], outputs[0]);
    }

    // The text of a page on the clipboard (as Unicode and as Windows-1252) or in a searchable
    // PDF whose scan is stored as CCITT G4.
    void destinations_data() {
        columns<int, int, bool, int>("destination", "format", "blank", "expected");
        addRow("clipboard", 1, 2, false, 0);
        addRow("clipboard, blank page", 1, 2, true, -14);
        addRow("searchable pdf", 0, 12, false, 0);
    }
    void destinations() {
        auto [destination, format, blank, expected] =
            fetch<int, int, bool, int>("destination", "format", "blank", "expected");
        const QStringList lines = kSentences.mid(0, 2);
        QImage page = textPage(lines, 12, QStringLiteral("DejaVu Sans"), true);
        if (blank)
            page.fill(1);
        const QString path =
            test::writeImage(m_dir.filePath(QStringLiteral("page.png")), page, "png");
        const QString out = m_dir.filePath(QStringLiteral("page.pdf"));
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QCOMPARE(m_engine.convert(path, out, destination, format), expected);
        if (expected != 0)
            return;
        QString text;
        if (destination == 1) {
            const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
            QVERIFY(mime != nullptr);
            text = mime->text();
            const QByteArray ansi = mime->data(QStringLiteral("text/plain;charset=windows-1252"));
            QCOMPARE(QString::fromLatin1(ansi), text);
        } else {
            text = QString::fromUtf8(test::runTool(QStringLiteral("pdftotext"), {out, "-"}).out);
            QVERIFY(
                test::runTool(QStringLiteral("pdfimages"), {"-list", out}).out.contains(" ccitt "));
        }
        QVERIFY2(test::characterErrorRate(text, lines.join(QLatin1Char(' '))) < 0.03,
                 qPrintable(text));
    }
};

QTEST_MAIN(TestOcrEngine)
#include "tst_ocrengine.moc"
