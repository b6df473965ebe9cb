// Recognition quality against the tesseract command line on the same images in the same
// run, progress, parallel determinism, the clipboard, and every export end to end.

#include "ocr/tesseractengine.h"
#include "ocr/writers/textlayout.h"
#include "ocrtestutil.h"
#include "support/fixtures.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using namespace ktdv;

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

QImage sideBySide(const QImage& left, const QImage& right) {
    QImage page(left.width() + right.width(), std::max(left.height(), right.height()),
                QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter p(&page);
        p.drawImage(0, 0, left);
        p.drawImage(left.width(), 0, right);
    }
    QImage mono = page.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    mono.setDotsPerMeterX(left.dotsPerMeterX());
    mono.setDotsPerMeterY(left.dotsPerMeterY());
    return mono;
}

// The page turned by a small angle about its centre, on white paper.
QImage skewed(const QImage& page, double degrees) {
    QImage canvas(page.size(), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter p(&canvas);
        p.translate(page.width() / 2.0, page.height() / 2.0);
        p.rotate(degrees);
        p.translate(-page.width() / 2.0, -page.height() / 2.0);
        p.drawImage(0, 0, page.convertToFormat(QImage::Format_RGB32));
    }
    QImage mono = canvas.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    mono.setDotsPerMeterX(page.dotsPerMeterX());
    mono.setDotsPerMeterY(page.dotsPerMeterY());
    return mono;
}

QString engineText(TesseractEngine& engine, const QString& path, int* code = nullptr) {
    ocr::RecognizedDocument doc;
    const int result = engine.recognize(path, doc);
    if (code != nullptr)
        *code = result;
    return ocr::documentText(doc, QStringLiteral("\n"));
}

QList<QImage> fourPages() {
    QList<QImage> pages;
    for (int i = 0; i < 4; ++i) {
        pages.append(textPage(
            {kSentences.at(i), kSentences.at(i + 1), QStringLiteral("Page %1 of four").arg(i + 1)},
            12, QStringLiteral("DejaVu Serif"), true));
    }
    return pages;
}

}  // namespace

class TestOcrEngine : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    TesseractEngine m_engine;

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QVERIFY(test::haveTool(QStringLiteral("tesseract")));
        QString folder = m_dir.path() + QLatin1Char('/');
        QCOMPARE(m_engine.initialise(folder), 0);
    }

    void characterErrorRate_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("truth");
        const QString corpus = test::corpusDir() + QStringLiteral("/ocr/");
        for (const char* name : {"phototest", "HelloGoogle", "12", "324", "433"}) {
            const QString base = corpus + QStringLiteral("tesstest__") + QLatin1String(name);
            QTest::newRow(name) << base + QStringLiteral(".tif")
                                << QString::fromUtf8(
                                       test::readAll(base + QStringLiteral(".gt.txt")));
        }
        auto add = [this](const char* name, const QImage& page, const QStringList& truth) {
            const QString path = m_dir.filePath(QLatin1String(name) + QStringLiteral(".png"));
            QVERIFY(!test::writeImage(path, page, "png").isEmpty());
            QTest::newRow(name) << path << truth.join(QLatin1Char(' '));
        };
        const QStringList three = kSentences.mid(0, 3);
        add("serif 12pt bilevel", textPage(three, 12, QStringLiteral("DejaVu Serif"), true), three);
        add("sans 10pt grey", textPage(three, 10, QStringLiteral("DejaVu Sans"), false), three);
        add("mono 9pt grey", textPage(three, 9, QStringLiteral("DejaVu Sans Mono"), false), three);
        // Columns of running text, read one after the other.
        const QStringList left =
            QStringLiteral(
                "Columns of a page are|read from top to|bottom before the|reader moves "
                "on to|the next column, so|their lines must|not be interleaved.")
                .split('|');
        const QStringList right =
            QStringLiteral(
                "The second column|starts at the top|again and carries|on with the "
                "story|until the end of|the printed page|is reached at last.")
                .split('|');
        add("two columns",
            sideBySide(
                textPage(left, 11, QStringLiteral("DejaVu Serif"), false, 300, {1240, 1400}),
                textPage(right, 11, QStringLiteral("DejaVu Serif"), false, 300, {1240, 1400})),
            left + right);
        const QStringList table = {QStringLiteral("Item        Qty    Price"),
                                   QStringLiteral("Hammer      12     9.50"),
                                   QStringLiteral("Nails       500    0.02")};
        add("table", textPage(table, 12, QStringLiteral("DejaVu Sans Mono"), true), table);
        // A fine fax: drawn at 204 dpi, every other row kept, so the file says 204 x 98 dpi.
        QImage fax = textPage(three, 12, QStringLiteral("DejaVu Sans"), true, 204, {1728, 900});
        fax = fax.scaled(fax.width(), fax.height() * 98 / 204, Qt::IgnoreAspectRatio,
                         Qt::FastTransformation);
        fax.setDotsPerMeterX(qRound(204 / 0.0254));
        fax.setDotsPerMeterY(qRound(98 / 0.0254));
        add("fax 204x98", fax, three);
        const QImage upright = textPage(kSentences, 12, QStringLiteral("DejaVu Serif"), true);
        add("turned 90", upright.transformed(QTransform().rotate(90)), kSentences);
        add("skewed 3 degrees", skewed(upright, 3.0), kSentences);
    }
    void characterErrorRate() {
        QFETCH(QString, path);
        QFETCH(QString, truth);
        if (path.startsWith(test::corpusDir()))
            KTDV_REQUIRE_CORPUS();
        int code = -1;
        const QString ours = engineText(m_engine, path, &code);
        QCOMPARE(code, 0);
        const QString theirs = test::tesseractCliText(path);
        const double ourRate = test::characterErrorRate(ours, truth);
        const double theirRate = test::characterErrorRate(theirs, truth);
        qInfo("CER %-20s ours %.4f  tesseract %.4f", QTest::currentDataTag(), ourRate, theirRate);
        QVERIFY2(ourRate <= theirRate + 0.01, qPrintable(test::normalizedText(ours)));
    }

    void parallelMatchesOneThread() {
        const QString path = m_dir.filePath(QStringLiteral("four.tif"));
        QVERIFY(test::writeMultiPageTiff(path, fourPages()));
        QByteArray outputs[2];
        const int threads[2] = {1, 3};
        for (int i = 0; i < 2; ++i) {
            TesseractEngine engine;
            engine.setThreadCount(threads[i]);
            QString folder = m_dir.path() + QLatin1Char('/');
            QCOMPARE(engine.initialise(folder), 0);
            // One event per page, in page order, on the thread that called convert.
            QList<int> args;
            engine.onProgress = [&](int arg) {
                QCOMPARE(QThread::currentThread(), qApp->thread());
                args.append(arg);
            };
            const QString out = m_dir.filePath(QStringLiteral("parallel-%1.html").arg(threads[i]));
            QCOMPARE(engine.convert(path, out, 0, 9), 0);
            QCOMPARE(args, (QList<int>{1, 2, 3, 4}));
            outputs[i] = test::readAll(out);
        }
        QCOMPARE(outputs[0].count("class=\"ocr_page\""), 4);
        QVERIFY(outputs[0].contains(">four</span>"));
        QCOMPARE(outputs[1], outputs[0]);
    }

    void clipboard_data() {
        QTest::addColumn<bool>("blank");
        QTest::addColumn<int>("expected");
        QTest::newRow("text page") << false << 0;
        QTest::newRow("blank page") << true << -14;
    }
    void clipboard() {
        QFETCH(bool, blank);
        QFETCH(int, expected);
        QImage page = textPage(kSentences.mid(0, 2), 12, QStringLiteral("DejaVu Sans"), true);
        if (blank)
            page.fill(1);
        const QString path = m_dir.filePath(QStringLiteral("clip.png"));
        QVERIFY(!test::writeImage(path, page, "png").isEmpty());
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        QCOMPARE(m_engine.convert(path, QStringLiteral("notused"), 1, 2), expected);
        if (expected != 0)
            return;
        const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
        QVERIFY(mime != nullptr);
        QVERIFY(test::characterErrorRate(mime->text(),
                                         kSentences.mid(0, 2).join(QLatin1Char(' '))) < 0.03);
        const QByteArray ansi = mime->data(QStringLiteral("text/plain;charset=windows-1252"));
        QCOMPARE(QString::fromLatin1(ansi), mime->text());
    }

    void everyFormatEndToEnd_data() {
        QTest::addColumn<int>("format");
        for (int f : {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12})
            QTest::addRow("format %d", f) << f;
    }
    void everyFormatEndToEnd() {
        QFETCH(int, format);
        const QString path = m_dir.filePath(QStringLiteral("two.tif"));
        if (!QFile::exists(path)) {
            QVERIFY(
                test::writeMultiPageTiff(path, {textPage({QStringLiteral("Alpha bravo charlie")},
                                                         14, QStringLiteral("DejaVu Sans"), true),
                                                textPage({QStringLiteral("Delta echo foxtrot")}, 14,
                                                         QStringLiteral("DejaVu Sans"), true)}));
        }
        const QString out = m_dir.filePath(QStringLiteral("two-%1.out").arg(format));
        QCOMPARE(m_engine.convert(path, out, 0, format), 0);
        QString text;
        if (format >= 10) {  // PDF: read back by a tool
            const test::ToolRun run =
                test::runTool(QStringLiteral("pdftotext"), {out, QStringLiteral("-")});
            QCOMPARE(run.exitCode, 0);
            text = QString::fromUtf8(run.out);
            QCOMPARE(text.count(QLatin1Char('\f')), 2);  // one per page
        } else {
            QByteArray bytes = test::readAll(out);
            text =
                (format == 4 || format == 7)
                    ? QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                         (bytes.size() - 2) / 2)
                    : QString::fromLatin1(bytes);
        }
        for (const char* word : {"Alpha", "bravo", "charlie", "Delta", "echo", "foxtrot"})
            QVERIFY2(text.contains(QLatin1String(word)), word);
        QVERIFY(text.indexOf(QStringLiteral("Alpha")) < text.indexOf(QStringLiteral("Delta")));
    }

    // A recognised text page goes into the PDF as CCITT G4 (the writers' tests cover the
    // other page kinds).
    void pdfTextPageIsCcitt() {
        const QImage page = textPage(kSentences.mid(0, 3), 12, QStringLiteral("DejaVu Sans"), true);
        const QString path = m_dir.filePath(QStringLiteral("image.png"));
        QVERIFY(!test::writeImage(path, page, "png").isEmpty());
        const QString out = m_dir.filePath(QStringLiteral("image.pdf"));
        QCOMPARE(m_engine.convert(path, out, 0, 12), 0);
        const test::ToolRun list =
            test::runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), out});
        const QStringList rows =
            QString::fromUtf8(list.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[2].split(QLatin1Char(' '), Qt::SkipEmptyParts).value(8),
                 QStringLiteral("ccitt"));
        const test::ToolRun text =
            test::runTool(QStringLiteral("pdftotext"), {out, QStringLiteral("-")});
        QVERIFY(test::characterErrorRate(QString::fromUtf8(text.out),
                                         kSentences.mid(0, 3).join(QLatin1Char(' '))) < 0.03);
    }
};

QTEST_MAIN(TestOcrEngine)
#include "tst_ocrengine.moc"
