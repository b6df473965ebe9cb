// Opening and decoding documents: the real-world corpus, hostile and truncated files, fax
// coding variants against libtiff, and the layouts our writers produce (size limits:
// tests/imaging/tst_limits.cpp).

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <tiffio.h>

#include "imaging/ccittdecoder.h"
#include "imaging/document.h"
#include "imaging/limits.h"
#include "imaging/scaling.h"
#include "imaging/tiffstructure.h"
#include "imagingtestutil.h"
#include "support/fixtures.h"
#include "support/rows.h"

using namespace ktdv::imaging;
using namespace ktdv::test;

namespace {

constexpr qint64 kHostileFileMs = 3000;  // per file: open and decode every page

struct CorpusRow {
    QString file;
    QSize size;  // first page as stored; invalid when the table gives none
    bool mayFail = false;
};

// The corpus table: file name, technical description (the first page's size as stock tools
// read it) and what a stock reader made of it.
QList<CorpusRow> corpusTable(const QString& folder) {
    static const QRegularExpression size(
        QStringLiteral("(?:IFD\\(s\\): |format, |version 8[79]a, )(\\d+) ?x ?(-?\\d+)"));
    QList<CorpusRow> rows;
    const QString table = QString::fromUtf8(readAll(corpusFile(QStringLiteral("SOURCES.md"))));
    for (const QString& line : table.split(QLatin1Char('\n'))) {
        const QStringList cols = line.split(QLatin1Char('|'));
        const QString name = cols.value(1).trimmed().remove(QLatin1Char('`'));
        if (cols.size() < 7 || !QFile::exists(corpusFile(folder + QLatin1Char('/') + name)))
            continue;
        const auto m = size.match(cols[4]);
        // Questionable BMP variants that stock readers refuse may be refused here too.
        rows.append(
            {name,
             m.hasMatch() ? QSize(m.captured(1).toInt(), qAbs(m.captured(2).toInt())) : QSize(),
             name.endsWith(QLatin1String(".bmp")) && cols[5].contains(QLatin1String("null"))});
    }
    return rows;
}

QImage textPage(int width, int height) {
    return renderTextPage({QStringLiteral("The quick brown fox jumps over the lazy dog 0123456789"),
                           QStringLiteral("PACK MY BOX WITH FIVE DOZEN LIQUOR JUGS"),
                           QStringLiteral("fax coding check: ||||| ----- ///// \\\\\\\\\\")},
                          QSize(width, height), 200, 14);
}

}  // namespace

class TestImagingDecode : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void corpusGood_data() {
        columns<QString, QSize, bool>("file", "size", "mayFail");
        const QList<CorpusRow> rows = corpusTable(QStringLiteral("good"));
        if (rows.isEmpty())
            QTest::newRow("corpus missing") << QString() << QSize() << false;
        for (const CorpusRow& r : rows) {
            QSize size = r.size;
            // A raw fax stream has no header; its rows decode consistently at 1728 pixels
            // (a diagonal line, 1728 rows), whatever the table guesses.
            if (r.file.endsWith(QLatin1String(".g3")))
                size = QSize(1728, 1728);
            QTest::newRow(qPrintable(r.file)) << r.file << size << r.mayFail;
        }
    }
    void corpusGood() {
        KTDV_REQUIRE_CORPUS();
        auto [file, size, mayFail] = fetch<QString, QSize, bool>("file", "size", "mayFail");
        QString error;
        const auto doc = Document::open(corpusFile(QStringLiteral("good/") + file), &error);
        if (!doc && mayFail)
            return;
        QVERIFY2(doc, qPrintable(error));
        QVERIFY(doc->pageCount() >= 1);
        if (size.isValid())
            QCOMPARE(doc->page(0).pixelSize, size);
        const DecodedPage page = doc->decodePage(0);
        if (mayFail && !page.ok())
            return;
        QVERIFY2(page.ok(), qPrintable(page.error));
        QVERIFY2(page.complete, qPrintable(page.error));
        const QSize stored = doc->page(0).pixelSize;
        QVERIFY(page.image.size() == stored || page.image.size() == stored.transposed());
        QVERIFY(page.image.dotsPerMeterX() > 0 && page.image.dotsPerMeterY() > 0);
        if (doc->page(0).bilevel() && doc->format() != FileFormat::Gif) {  // coloured: 8-bit
            QVERIFY(page.image.colorCount() <= 2);
            QCOMPARE(page.image.format() == QImage::Format_Mono, page.image.allGray());
        }
        if (doc->page(0).compression >= 2 && doc->page(0).compression <= 4)  // fax pages
            QCOMPARE(page.image.color(0), qRgb(0, 0, 0));
        for (int i = 1; i < doc->pageCount(); ++i)
            doc->decodePage(i);  // no crash on the others
    }

    void corpusHostile_data() {
        QTest::addColumn<QString>("path");
        const QDir bad(corpusFile(QStringLiteral("bad")));
        if (!bad.exists())
            QTest::newRow("corpus missing") << QString();
        for (const QString& f : bad.entryList(QDir::Files))
            QTest::newRow(qPrintable(f)) << bad.filePath(f);
    }
    void corpusHostile() {
        KTDV_REQUIRE_CORPUS();
        QFETCH(QString, path);
        QElapsedTimer timer;
        timer.start();
        QString error;
        const auto doc = Document::open(path, &error);
        if (!doc) {
            QVERIFY(!error.isEmpty());
        } else {
            QVERIFY(doc->pageCount() <= ktdv::limits::kMaxPages);
            for (int i = 0; i < qMin(doc->pageCount(), 16); ++i) {
                const DecodedPage page = doc->decodePage(i);
                if (!page.ok())
                    QVERIFY(!page.error.isEmpty());
                else
                    QVERIFY(page.image.sizeInBytes() <= ktdv::limits::kMaxPageBytes);
            }
        }
        QVERIFY2(timer.elapsed() < kHostileFileMs, qPrintable(QString::number(timer.elapsed())));
    }

    void truncatedCopies_data() {
        QTest::addColumn<int>("compression");
        QTest::addColumn<double>("keep");
        for (int c : {int(G4), int(Lzw), int(Jpeg)})
            for (double keep : {0.02, 0.2, 0.45, 0.6, 0.8, 0.97, 0.999})
                QTest::newRow(qPrintable(QStringLiteral("c%1 keep %2").arg(c).arg(keep)))
                    << c << keep;
    }
    void truncatedCopies() {
        QFETCH(int, compression);
        QFETCH(double, keep);
        TiffPage shape;
        shape.size = QSize(620, 877);
        shape.compression = compression;
        shape.kind = compression == G4    ? PageKind::Bilevel
                     : compression == Lzw ? PageKind::Gray8
                                          : PageKind::Rgb8;
        shape.rowsPerStrip = 64;
        const QString full =
            writeTiff(m_dir.filePath(QStringLiteral("full%1.tif").arg(compression)), 3, shape);
        QVERIFY(!full.isEmpty());
        const QByteArray bytes = readAll(full);
        const QString cut =
            writeBytes(m_dir.filePath(QStringLiteral("cut.tif")),
                       bytes.left(qMax<qsizetype>(8, qsizetype(bytes.size() * keep))));
        QElapsedTimer timer;
        timer.start();
        QString error;
        const auto doc = Document::open(cut, &error);
        if (doc) {
            QVERIFY(doc->pageCount() >= 1 && doc->pageCount() <= 3);
            // Page edits see the pages the viewer shows, or refuse the file.
            tiff::File structure;
            if (tiff::read(readAll(cut), &structure, &error))
                QCOMPARE(int(structure.pages.size()), doc->pageCount());
            for (int i = 0; i < doc->pageCount(); ++i) {
                const DecodedPage page = doc->decodePage(i);
                QVERIFY(page.ok() || !page.error.isEmpty());
                if (page.ok())
                    QCOMPARE(page.image.size(), shape.size);
            }
        } else {
            QVERIFY(!error.isEmpty());
        }
        QVERIFY(timer.elapsed() < kHostileFileMs);
    }

    void faxFilesLookLikePages_data() {
        columns<QString, double, double>("file", "minBlack", "maxBlack");
        QTest::newRow("raw G3 stream: a diagonal line")
            << "libtiff__miniswhite-1c-1b.g3" << 0.0004 << 0.001;
        QTest::newRow("G3 1-D without EOLs")
            << "libtiff__testfax3_bug54_1dnoEOL.tif" << 0.01 << 0.25;
        QTest::newRow("tiny G3 strip") << "libtiff__testfax3_bug_513.tiff" << 0.01 << 0.99;
        QTest::newRow("G4 text page") << "libtiff__testfax4.tiff" << 0.01 << 0.25;
    }
    void faxFilesLookLikePages() {
        KTDV_REQUIRE_CORPUS();
        auto [file, minBlack, maxBlack] =
            fetch<QString, double, double>("file", "minBlack", "maxBlack");
        const auto doc = Document::open(corpusFile(QStringLiteral("good/") + file));
        QVERIFY(doc);
        const DecodedPage page = doc->decodePage(0);
        QVERIFY2(page.ok() && page.complete, qPrintable(page.error));
        const double black = blackRatio(page.image);
        QVERIFY2(black >= minBlack && black <= maxBlack, qPrintable(QString::number(black)));
    }

    void ownFaxDecoderMatchesLibtiff_data() {
        columns<int, int, quint32, int, int>("width", "compression", "options", "fillOrder",
                                             "rowsPerStrip");
        QTest::newRow("G3 1-D byte-aligned EOLs, 2048 wide") << 2048 << 3 << 4u << 1 << 0;
        QTest::newRow("G3 2-D byte-aligned, LSB first") << 1728 << 3 << 5u << 2 << 0;
        QTest::newRow("G3 2-D in strips") << 1728 << 3 << 1u << 1 << 37;
        QTest::newRow("G4 in strips") << 1728 << 4 << 0u << 1 << 50;
        QTest::newRow("modified Huffman, byte-aligned rows") << 1728 << 2 << 0u << 1 << 0;
    }
    void ownFaxDecoderMatchesLibtiff() {
        auto [width, compression, options, fillOrder, rowsPerStrip] =
            fetch<int, int, quint32, int, int>("width", "compression", "options", "fillOrder",
                                               "rowsPerStrip");
        const QImage source = textPage(width, 300);
        const FaxCoding shape{compression, options, fillOrder, rowsPerStrip};
        const QString path = writeFax(m_dir.filePath(QStringLiteral("fax.tif")), source, shape);
        QVERIFY(!path.isEmpty());
        const auto doc = Document::open(path);
        QVERIFY(doc);
        const DecodedPage viaLibrary = doc->decodePage(0);
        QVERIFY(viaLibrary.ok() && viaLibrary.complete);
        QVERIFY(samePixels(viaLibrary.image, source));

        ccitt::Params params;
        params.width = source.width();
        params.lsbFirst = fillOrder == 2;
        params.coding = compression == 4 ? ccitt::Coding::G4
                        : (options & 1)  ? ccitt::Coding::TwoD
                                         : ccitt::Coding::OneD;
        params.byteAlignedRows = compression == 2;
        QImage ours(source.size(), QImage::Format_Mono);
        ours.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        const int perStrip = rowsPerStrip > 0 ? rowsPerStrip : source.height();
        for (int strip = 0, row = 0; row < source.height(); ++strip, row += perStrip) {
            const QByteArray raw = rawStrip(path, strip);
            QVERIFY(!raw.isEmpty());
            const int rows = qMin(perStrip, source.height() - row);
            const ccitt::StripResult r =
                ccitt::decodeStrip(reinterpret_cast<const uchar*>(raw.constData()), raw.size(),
                                   params, ours.scanLine(row), ours.bytesPerLine(), rows);
            QCOMPARE(r.rows, rows);
            QCOMPARE(r.badRows, 0);
        }
        QVERIFY(samePixels(ours, source));
    }

    void generatedLayouts_data() {
        columns<int, int, bool, QSizeF, int>("kind", "compression", "tiled", "dpi", "format");
        const int mono = QImage::Format_Mono, grey = QImage::Format_Grayscale8;
        const int indexed = QImage::Format_Indexed8, rgb = QImage::Format_RGB32;
        const int bilevel = int(PageKind::Bilevel), gray = int(PageKind::Gray8);
        const int colour = int(PageKind::Rgb8), palette = int(PageKind::Palette8);
        QTest::newRow("G4 tiled") << bilevel << int(G4) << true << QSizeF(300, 300) << mono;
        QTest::newRow("bilevel PackBits")
            << bilevel << int(PackBits) << false << QSizeF(200, 200) << mono;
        QTest::newRow("grey Deflate tiled")
            << gray << int(Deflate) << true << QSizeF(150, 150) << grey;
        QTest::newRow("palette none") << palette << int(None) << false << QSizeF(96, 96) << indexed;
        QTest::newRow("colour LZW") << colour << int(Lzw) << false << QSizeF(300, 150) << rgb;
    }
    void generatedLayouts() {
        auto [kind, compression, tiled, dpi, format] =
            fetch<int, int, bool, QSizeF, int>("kind", "compression", "tiled", "dpi", "format");
        TiffPage shape;
        shape.size = QSize(700, 500);
        shape.kind = PageKind(kind);
        shape.compression = compression;
        shape.tiled = tiled;
        shape.dpi = dpi;
        const QString path = writeTiff(m_dir.filePath(QStringLiteral("layout.tif")), 2, shape);
        QVERIFY(!path.isEmpty());
        const auto doc = Document::open(path);
        QVERIFY(doc);
        QCOMPARE(doc->pageCount(), 2);
        QCOMPARE(doc->page(1).dpi, dpi);
        const DecodedPage page = doc->decodePage(1);
        QVERIFY2(page.ok() && page.complete, qPrintable(page.error));
        QCOMPARE(int(page.image.format()), format);
        QCOMPARE(page.image.dotsPerMeterX(), qRound(dpi.width() / 0.0254));
        QCOMPARE(page.image.dotsPerMeterY(), qRound(dpi.height() / 0.0254));
        QVERIFY(samePixels(page.image, renderPage(shape, 2)));
    }

    // A 1-bit page whose colour map is green and black shows green and black, zoomed out too.
    void twoColourPalette() {
        const QString path = m_dir.filePath(QStringLiteral("green.tif"));
        const int w = 64, h = 32;
        TIFF* tif = TIFFOpen(path.toLocal8Bit().constData(), "w");
        QVERIFY(tif);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
        quint16 red[2] = {0, 0}, green[2] = {65535, 0}, blue[2] = {0, 0};
        TIFFSetField(tif, TIFFTAG_COLORMAP, red, green, blue);
        uchar row[w / 8] = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};  // left green, right black
        for (int y = 0; y < h; ++y)
            TIFFWriteScanline(tif, row, quint32(y));
        TIFFClose(tif);
        const auto doc = Document::open(path);
        QVERIFY(doc);
        const DecodedPage page = doc->decodePage(0);
        QVERIFY2(page.ok() && page.complete, qPrintable(page.error));
        for (const QImage& shown : {page.image, scaleForDisplay(page.image, QSize(w / 4, h / 4))}) {
            QCOMPARE(QColor(shown.pixel(1, 1)), QColor(0, 255, 0));
            QCOMPARE(QColor(shown.pixel(shown.width() - 2, shown.height() - 2)), QColor(0, 0, 0));
        }
    }

    void damagedStripsShowTheRest_data() {
        QTest::addColumn<int>("compression");
        QTest::newRow("G4") << int(G4);
        QTest::newRow("LZW grey") << int(Lzw);
    }
    void damagedStripsShowTheRest() {
        QFETCH(int, compression);
        TiffPage shape;
        shape.size = QSize(800, 1000);
        shape.compression = compression;
        shape.g3TwoD = true;
        shape.kind = compression == Lzw ? PageKind::Gray8 : PageKind::Bilevel;
        shape.rowsPerStrip = 100;
        const QString path = writeTiff(m_dir.filePath(QStringLiteral("damaged.tif")), 1, shape);
        QByteArray bytes = readAll(path);
        // The strips come before the directory: garble the middle of the image data.
        const QByteArray ifdAt = bytes.mid(4, 4);
        const qsizetype dataEnd =
            qsizetype(quint8(ifdAt[0]) | quint8(ifdAt[1]) << 8 | quint8(ifdAt[2]) << 16);
        for (qsizetype i = dataEnd / 2; i < dataEnd * 3 / 4; ++i)
            bytes[i] = char(0x5A ^ (i & 0xFF));
        const auto doc = Document::open(writeBytes(path, bytes));
        QVERIFY(doc);
        const DecodedPage page = doc->decodePage(0);
        QVERIFY2(page.ok(), qPrintable(page.error));
        QVERIFY(!page.complete);
        QVERIFY(!page.error.isEmpty());
        // The top of the page, before the damage, is what was written.
        const QImage expected = renderPage(shape, 1);
        QVERIFY(samePixels(page.image.copy(0, 0, 800, 200), expected.copy(0, 0, 800, 200)));
    }

    void formatByContentNotName() {
        const QImage image = textPage(300, 120);
        const QString jpegNamedTif =
            writeImage(m_dir.filePath(QStringLiteral("really-a-jpeg.tif")),
                       image.convertToFormat(QImage::Format_RGB32), "JPEG");
        const QString pngNamedBmp =
            writeImage(m_dir.filePath(QStringLiteral("really-a-png.bmp")), image, "PNG");
        QCOMPARE(detectFormat(jpegNamedTif), FileFormat::Jpeg);
        QCOMPARE(detectFormat(pngNamedBmp), FileFormat::Png);
        for (const QString& path : {jpegNamedTif, pngNamedBmp}) {
            const auto doc = Document::open(path);
            QVERIFY(doc);
            QVERIFY(doc->decodePage(0).ok());
        }
        QVERIFY(!Document::open(
            writeBytes(m_dir.filePath(QStringLiteral("text.tif")), "hello, world\n")));
    }
};

QTEST_MAIN(TestImagingDecode)
#include "tst_imagingdecode.moc"
