#pragma once
// Builders of test documents, written into a folder the test owns (a QTemporaryDir).
// Every generated page carries its page number in large text, so a test can tell pages
// apart by their pixels, and a few fine lines, so scaling faults show.

#include <QByteArray>
#include <QFileInfo>
#include <QImage>
#include <QList>
#include <QPair>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QTest>

namespace ktdv::test {

// TIFF compression codes, so tests need not include libtiff.
enum Compression : int {
    None = 1,
    Huffman = 2,  // modified Huffman: 1-D rows, each byte aligned
    G3 = 3,       // options in TiffPage::group3Options
    G4 = 4,
    Lzw = 5,
    Jpeg = 7,
    Deflate = 8,
    PackBits = 32773,
};

enum class PageKind { Bilevel, Gray8, Rgb8, Palette8 };

struct TiffPage {
    QSize size{1240, 1754};  // A4 at 150 dpi
    QSizeF dpi{150, 150};
    PageKind kind = PageKind::Bilevel;
    int compression = G4;
    quint32 group3Options = 0;  // 1 = 2-D coding, 4 = byte-aligned EOLs
    int fillOrder = 1;          // 2 = least significant bit first
    bool tiled = false;
    int rowsPerStrip = 0;                      // 0 = libtiff's default
    QList<QPair<quint16, QString>> asciiTags;  // extra ASCII tags, e.g. {270, "description"}
    QString label;                             // text drawn on the page; "" = "Page <n>"
};

// The picture a page of the given layout holds (page number n is 1-based).
QImage renderPage(const TiffPage& layout, int n);

// Writes a multi-page TIFF (mode as libtiff's: "w8" BigTIFF, "wb" big-endian). Returns the
// path, or "" on failure.
QString writeTiff(const QString& path, const QList<TiffPage>& pages, const char* mode = "w");
// n pages alike.
QString writeTiff(const QString& path, int pageCount, const TiffPage& layout = TiffPage());

// BMP, JPEG, PNG through Qt (GIF pages come from the corpus: Qt writes no GIF).
QString writeImage(const QString& path, const QImage& image, const char* format);

// A page of text rendered at the given resolution (Format_Mono when bilevel).
QImage renderTextPage(const QStringList& lines, QSize size, int dpi, int pointSize,
                      const QString& family = QStringLiteral("DejaVu Serif"), bool bilevel = true);

// The same pixels (compared as 32-bit RGB), sizes equal.
bool samePixels(const QImage& a, const QImage& b);

// A page as libtiff's own RGBA reader decodes it (0-based page), null when it cannot: the
// reference our decoders are compared with.
QImage libtiffPixels(const QString& path, int page);

// Each page of a TIFF file as libtiff reads it: every tag as printed (but the directory's
// own offset) and the raw strip or tile bytes. Equal snapshots: same tags, same image data.
QStringList pageSnapshots(const QString& path);

// Raw (still compressed) strip bytes of every page of a TIFF file: edits that must not
// re-encode image data compare these before and after.
QList<QByteArray> rawPages(const QString& path);

// What libtiff's tiffinfo says on stderr while it reads every directory and strip of the
// file, line by line; {"tiffinfo failed"} when it did not run to a clean exit.
QStringList tiffinfoComplaints(const QString& path);
// What tiffcp says when it decodes every page into an uncompressed copy ("tiffcp failed").
QStringList tiffcpComplaints(const QString& path);

// ../shared/corpus (from KTDV_CORPUS_DIR), and one file in it.
QString corpusDir();
QString corpusFile(const QString& relative);

}  // namespace ktdv::test

// In a test function that reads the corpus: fails it, naming the folder, when the corpus is
// not there (never a silent skip). Data functions list their rows whether it is there or not.
#define KTDV_REQUIRE_CORPUS()                                                                    \
    QVERIFY2(QFileInfo(ktdv::test::corpusFile(QStringLiteral("SOURCES.md"))).isFile(),           \
             qPrintable(QStringLiteral("the test corpus is missing at %1 (set KTDV_CORPUS_DIR)") \
                            .arg(ktdv::test::corpusDir())))

namespace ktdv::test {

// Bytes of a file ("" when unreadable).
QByteArray readAll(const QString& path);
// Writes the bytes as the whole file. Returns the path, or "" on failure.
QString writeBytes(const QString& path, const QByteArray& bytes);

}  // namespace ktdv::test
