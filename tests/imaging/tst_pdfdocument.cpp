// PDF documents made by Qt's writer, by ps2pdf and by hand, turned or locked by qpdf: their
// pages and text layers, pages drawn as pdftoppm draws them, passwords, and hostile files.
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "imaging/document.h"
#include "imaging/limits.h"
#include "support/fixtures.h"
#include "support/pdffixtures.h"
#include "support/rows.h"

using namespace ktdv;
using namespace ktdv::imaging;
using namespace ktdv::test;

namespace {

// pdftoppm's drawing of a page (or a part) at dpi.
QImage pdftoppm(const QString& pdf, int page, double dpi, const QRect& part = QRect()) {
    QStringList args{"-r", QString::number(dpi),      "-f",   QString::number(page + 1),
                     "-l", QString::number(page + 1), "-png", "-singlefile"};
    if (!part.isEmpty())
        args << "-x" << QString::number(part.x()) << "-y" << QString::number(part.y()) << "-W"
             << QString::number(part.width()) << "-H" << QString::number(part.height());
    QProcess p;
    p.start("pdftoppm", args << pdf << pdf + ".ref");
    p.waitForFinished(30000);
    return QImage(pdf + ".ref.png").convertToFormat(QImage::Format_RGB32);
}

// Mean absolute difference per channel over the pixels both images have.
double meanDifference(const QImage& a, const QImage& b) {
    const int w = qMin(a.width(), b.width()), h = qMin(a.height(), b.height());
    double sum = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum +=
                qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
        }
    return w * h > 0 ? sum / (3.0 * w * h) : 255;
}

}  // namespace

class TestPdfDocument : public QObject {
    Q_OBJECT

private slots:
    void pagesAsPdftoppmDrawsThem_data() {
        columns<QString, int, QSize, bool>("kind", "pages", "pixels", "text");
        addRow("three pages with text", "text", 3, QSize(793, 1123), true);
        addRow("shapes only, no text layer", "shapes", 1, QSize(793, 1123), false);
        addRow("5 x 3 inch media box", "small", 1, QSize(480, 288), true);
        addRow("turned a quarter (/Rotate 90)", "turned", 3, QSize(1123, 793), true);
        addRow("made by hand, 10 pages", "hand", 10, QSize(200, 100), false);
        addRow("made by ps2pdf, US letter", "ps2pdf", 1, QSize(816, 1056), true);
    }

    void pagesAsPdftoppmDrawsThem() {
        auto [kind, pages, pixels, text] =
            fetch<QString, int, QSize, bool>("kind", "pages", "pixels", "text");
        QTemporaryDir dir;
        const QString path = dir.filePath("doc.bin");  // recognised by content, not by name
        const QSizeF a4(8.27, 11.69);
        if (kind == "text" || kind == "shapes" || kind == "small") {
            QVERIFY(!writePdf(path, pages, kind == "small" ? QSizeF(5, 3) : a4, text).isEmpty());
        } else if (kind == "turned") {
            QVERIFY(!writePdf(dir.filePath("a.pdf"), pages, a4, true).isEmpty());
            QVERIFY(qpdf({dir.filePath("a.pdf"), "--rotate=+90:1-z", path}));
        } else if (kind == "ps2pdf") {
            if (QStandardPaths::findExecutable("ps2pdf").isEmpty())
                QSKIP("ps2pdf is not installed");
            const QString ps = writeBytes(dir.filePath("a.ps"),
                                          "%!PS\n<< /PageSize [612 792] >> setpagedevice\n"
                                          "/Helvetica findfont 24 scalefont setfont\n"
                                          "72 700 moveto (Invoice 1) show showpage\n");
            QCOMPARE(QProcess::execute("ps2pdf", {ps, path}), 0);
        } else {
            QVERIFY(!writeHandMadePdf(path, pages, 150, 75).isEmpty());
        }
        const auto doc = Document::open(path);
        QVERIFY(doc);
        QCOMPARE(doc->format(), FileFormat::Pdf);
        QCOMPARE(doc->pageCount(), pages);
        QCOMPARE(doc->page(0).pixelSize, pixels);
        QCOMPARE(doc->page(0).dpi, QSizeF(96, 96));
        const QVector<TextLayerWord> words = doc->textLayer(pages - 1, 96);
        QCOMPARE(!words.isEmpty(), text);
        if (kind == "text")
            QCOMPARE(words.last().text, QString("%1").arg(pages));
        const DecodedPage page = doc->decodePage(pages - 1);
        QVERIFY(page.ok() && page.complete);
        QCOMPARE(page.image.size(), pixels);
        QVERIFY(meanDifference(page.image, pdftoppm(path, pages - 1, 96)) < 2.0);
        // A part at 800 % is drawn at that resolution, not scaled up.
        const QRect part(300, 200, 400, 300);
        const QImage sharp = doc->renderPage(pages - 1, 768, part).image;
        QCOMPARE(sharp.size(), part.size());
        QVERIFY(meanDifference(sharp, pdftoppm(path, pages - 1, 768, part)) < 2.0);
    }

    void passwords() {
        QTemporaryDir dir;
        const QString plain = writePdf(dir.filePath("plain.pdf"), 2, QSizeF(4, 4), true);
        const QString locked = dir.filePath("locked.pdf");
        QVERIFY(qpdf({"--encrypt", "secret", "owner", "256", "--", plain, locked}));
        for (const QByteArray& given : {QByteArray(), QByteArray("wrong")}) {
            bool asks = false;
            QString why;
            QVERIFY(!Document::open(locked, &why, given, &asks));
            QVERIFY(asks);
            QVERIFY(!why.isEmpty());
        }
        bool asks = true;
        const auto doc = Document::open(locked, nullptr, "secret", &asks);
        QVERIFY(doc && !asks);
        QCOMPARE(doc->pageCount(), 2);
        QVERIFY(doc->decodePage(1).ok());
        // Whoever opens it next in this process (thumbnails, printing) needs no password.
        QVERIFY(Document::open(locked));
    }

    void hostileFiles_data() {
        columns<QString, int>("kind", "pages");
        addRow("cut in half", "cut", -1);
        addRow("garbage after the signature", "garbage", 0);
        addRow("a zip archive named .pdf", "zip", 0);
        addRow("100,000 pages", "many", limits::kMaxPages);
        addRow("a page of 200 x 200 inches", "huge", 1);
    }

    void hostileFiles() {
        auto [kind, pages] = fetch<QString, int>("kind", "pages");
        QTemporaryDir dir;
        const QString path = dir.filePath("bad.pdf");
        if (kind == "cut") {
            const QByteArray whole = readAll(writePdf(dir.filePath("a.pdf"), 3, {8, 10}, true));
            writeBytes(path, whole.left(whole.size() / 2));
        } else if (kind == "garbage") {
            QByteArray bytes = "%PDF-1.7\n";
            for (int i = 0; i < 20000; ++i)
                bytes += char((i * 7919) % 251);
            writeBytes(path, bytes);
        } else if (kind == "zip") {
            writeBytes(path, QByteArray("PK\x03\x04", 4) + QByteArray(200, 'x'));
        } else {
            const bool many = kind == "many";
            QVERIFY(
                !writeHandMadePdf(path, many ? pages : 1, many ? 100 : 14400, many ? 100 : 14400)
                     .isEmpty());
        }
        QElapsedTimer timer;
        timer.start();
        QString why;
        const auto doc = Document::open(path, &why);
        if (pages == 0) {
            QVERIFY(!doc && !why.isEmpty());
            return;
        }
        // A cut file keeps what can be read, or is refused; nothing crashes or runs away.
        QVERIFY(doc || pages < 0);
        if (!doc)
            return;
        QVERIFY(pages < 0 || doc->pageCount() == pages);
        const int last = doc->pageCount() - 1;
        const DecodedPage shown = doc->decodePage(last);
        QVERIFY(shown.image.sizeInBytes() <= 64LL * 1024 * 1024);
        const DecodedPage printed = doc->renderPage(last, 300);
        QVERIFY(printed.image.sizeInBytes() <= limits::kMaxPageBytes);
        QVERIFY2(timer.elapsed() < 60000, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_MAIN(TestPdfDocument)
#include "tst_pdfdocument.moc"
