// Opening and decoding documents: the real-world corpus, hostile, truncated and damaged
// files, and every layout and fax coding our writers produce against libtiff's own decode
// (size limits: tests/imaging/tst_limits.cpp).

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <tiffio.h>

#include "imaging/document.h"
#include "imaging/limits.h"
#include "imaging/scaling.h"
#include "imaging/tiffstructure.h"
#include "support/fixtures.h"
#include "support/rows.h"

using namespace ktdv::imaging;
using namespace ktdv::test;

Q_DECLARE_METATYPE(ktdv::test::TiffPage)

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

// A wide page (fax runs past 1792 pixels take the extended make-up codes), width not a
// multiple of 8, resolution not square.
TiffPage layout(PageKind kind, int compression, quint32 group3Options = 0, int fillOrder = 1,
                int rowsPerStrip = 0, bool tiled = false) {
    TiffPage page;
    page.size = QSize(2050, 300);
    page.dpi = QSizeF(204, 98);
    page.kind = kind;
    page.compression = compression;
    page.group3Options = group3Options;
    page.fillOrder = fillOrder;
    page.rowsPerStrip = rowsPerStrip;
    page.tiled = tiled;
    return page;
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
    }

    // Hostile corpus files and cut copies of our own files: refused with a reason, or opened
    // with pages that decode within the bounds or say why not, quickly; page edits see the
    // pages the viewer shows, or refuse the file.
    void hostileFiles_data() {
        columns<QString, int, double>("corpus", "compression", "keep");
        const QDir bad(corpusFile(QStringLiteral("bad")));
        if (!bad.exists())
            addRow("corpus missing", QStringLiteral("missing"), 0, 0.0);
        for (const QString& f : bad.entryList(QDir::Files))
            addRow(qPrintable(f), f, 0, 0.0);
        for (int c : {int(G4), int(Lzw), int(Jpeg)})
            for (double keep : {0.02, 0.2, 0.45, 0.6, 0.8, 0.97, 0.999})
                addRow(qPrintable(QStringLiteral("c%1 keep %2").arg(c).arg(keep)), QString(), c,
                       keep);
    }
    void hostileFiles() {
        auto [corpus, compression, keep] =
            fetch<QString, int, double>("corpus", "compression", "keep");
        QString path = corpusFile(QStringLiteral("bad/") + corpus);
        const PageKind kind = compression == G4    ? PageKind::Bilevel
                              : compression == Lzw ? PageKind::Gray8
                                                   : PageKind::Rgb8;
        const TiffPage shape = layout(kind, compression, 0, 1, 64);
        if (corpus.isEmpty()) {
            const QByteArray bytes =
                readAll(writeTiff(m_dir.filePath(QStringLiteral("full.tif")), 3, shape));
            path = writeBytes(m_dir.filePath(QStringLiteral("cut.tif")),
                              bytes.left(qMax<qsizetype>(8, qsizetype(bytes.size() * keep))));
        } else {
            KTDV_REQUIRE_CORPUS();
        }
        QElapsedTimer timer;
        timer.start();
        QString error;
        if (const auto doc = Document::open(path, &error)) {
            QVERIFY(doc->pageCount() >= 1 && doc->pageCount() <= ktdv::limits::kMaxPages);
            tiff::File structure;
            if (tiff::read(readAll(path), &structure, &error))
                QCOMPARE(int(structure.pages.size()), doc->pageCount());
            for (int i = 0; i < qMin(doc->pageCount(), 16); ++i) {
                const DecodedPage page = doc->decodePage(i);
                QVERIFY(page.ok() || !page.error.isEmpty());
                QVERIFY(page.image.sizeInBytes() <= ktdv::limits::kMaxPageBytes);
                if (page.ok() && corpus.isEmpty())
                    QCOMPARE(page.image.size(), shape.size);
            }
        } else {
            QVERIFY(!error.isEmpty());
        }
        QVERIFY2(timer.elapsed() < kHostileFileMs, qPrintable(QString::number(timer.elapsed())));
    }

    // Every generated compression and layout, and the corpus's fax files, decode to the
    // pixels libtiff's own reader makes of them (fax pages go through our own decoder).
    void decodesAsLibtiffDoes_data() {
        columns<QString, TiffPage, int>("corpus", "layout", "tolerance");
        const QString own;
        addRow("G4 tiled", own, layout(PageKind::Bilevel, G4, 0, 1, 0, true), 0);
        addRow("G4 in strips", own, layout(PageKind::Bilevel, G4, 0, 1, 50), 0);
        addRow("G3 1-D byte-aligned EOLs", own, layout(PageKind::Bilevel, G3, 4), 0);
        addRow("G3 2-D byte-aligned, LSB first", own, layout(PageKind::Bilevel, G3, 5, 2), 0);
        addRow("G3 2-D in strips", own, layout(PageKind::Bilevel, G3, 1, 1, 37), 0);
        addRow("modified Huffman", own, layout(PageKind::Bilevel, Huffman), 0);
        addRow("bilevel PackBits", own, layout(PageKind::Bilevel, PackBits), 0);
        addRow("grey Deflate tiled", own, layout(PageKind::Gray8, Deflate, 0, 1, 0, true), 0);
        addRow("palette none", own, layout(PageKind::Palette8, None), 0);
        addRow("colour LZW", own, layout(PageKind::Rgb8, Lzw), 0);
        addRow("colour JPEG", own, layout(PageKind::Rgb8, Jpeg), 2);
        for (const char* f :
             {"libtiff__testfax4.tiff", "pillow__g4-fillorder-test.tif", "pillow__g4-multi.tiff"})
            addRow(f, QString::fromLatin1(f), TiffPage(), 0);
    }
    void decodesAsLibtiffDoes() {
        auto [corpus, shape, tolerance] =
            fetch<QString, TiffPage, int>("corpus", "layout", "tolerance");
        if (!corpus.isEmpty())
            KTDV_REQUIRE_CORPUS();
        const QString path = corpus.isEmpty()
                                 ? writeTiff(m_dir.filePath(QStringLiteral("layout.tif")), 2, shape)
                                 : corpusFile(QStringLiteral("good/") + corpus);
        const auto doc = Document::open(path);
        QVERIFY(doc);
        const int index = doc->pageCount() - 1;
        const DecodedPage page = doc->decodePage(index);
        QVERIFY2(page.ok() && page.complete, qPrintable(page.error));
        const QImage reference = libtiffPixels(path, index);
        QCOMPARE(page.image.size(), reference.size());
        const QImage ours = page.image.convertToFormat(QImage::Format_RGBA8888);
        int worst = 0;
        for (int y = 0; y < ours.height(); ++y)
            for (int x = 0; x < ours.width() * 4; ++x)
                worst = qMax(worst, qAbs(ours.constScanLine(y)[x] - reference.constScanLine(y)[x]));
        QVERIFY2(worst <= tolerance, qPrintable(QStringLiteral("differs by %1").arg(worst)));
        if (!corpus.isEmpty())
            return;
        // Kept compact in memory, and at the resolution stored.
        const QImage::Format formats[] = {QImage::Format_Mono, QImage::Format_Grayscale8,
                                          QImage::Format_RGB32, QImage::Format_Indexed8};
        QCOMPARE(page.image.format(), formats[int(shape.kind)]);
        QCOMPARE(doc->page(index).dpi, shape.dpi);
        QCOMPARE(page.image.dotsPerMeterY(), qRound(shape.dpi.height() / 0.0254));
    }

    // Garbled strips in the middle of a page: the page is shown, marked incomplete, with
    // the rows above the damage as written.
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
        columns<int>("compression");
        addRow("G4", int(G4));
        addRow("LZW grey", int(Lzw));
    }
    void damagedStripsShowTheRest() {
        auto [compression] = fetch<int>("compression");
        const TiffPage shape =
            layout(compression == Lzw ? PageKind::Gray8 : PageKind::Bilevel, compression, 0, 1, 30);
        const QString path = writeTiff(m_dir.filePath(QStringLiteral("damaged.tif")), 1, shape);
        QByteArray bytes = readAll(path);
        // The strips come before the directory: garble the middle of the image data.
        const qsizetype dataEnd = qFromLittleEndian<quint32>(bytes.constData() + 4);
        for (qsizetype i = dataEnd / 2; i < dataEnd * 3 / 4; ++i)
            bytes[i] = char(0x5A ^ (i & 0xFF));
        const auto doc = Document::open(writeBytes(path, bytes));
        QVERIFY(doc);
        const DecodedPage page = doc->decodePage(0);
        QVERIFY2(page.ok(), qPrintable(page.error));
        QVERIFY(!page.complete && !page.error.isEmpty());
        const QRect top(0, 0, shape.size.width(), 60);
        QVERIFY(samePixels(page.image.copy(top), renderPage(shape, 1).copy(top)));
    }
};

QTEST_MAIN(TestImagingDecode)
#include "tst_imagingdecode.moc"
