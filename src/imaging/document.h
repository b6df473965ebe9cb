#pragma once
// A document on disk: its format (by content, never by name), its pages and their
// properties. Opening reads the page directory only; pages are decoded on demand.
//
// Thread safety: a Document is immutable after open() and may be shared between threads;
// decodePage() opens its own file handle and may run on any thread concurrently.
//
// Decoded pages:
// - Bilevel pages are Format_Mono with the colour table {black, white}: index 0 is black
//   whatever the file's photometric interpretation (1-bit palette pages keep their two
//   palette colours). Grey pages of 2 to 16 bits become Grayscale8, palette pages
//   Indexed8, colour pages RGB32 (ARGB32 when they carry alpha).
// - PageInfo::pixelSize is the size as stored; a page whose orientation tag asks for a
//   quarter turn (5 to 8) decodes to the transposed size, its resolution swapped.
// - Resolution: from the file; where it has none, 200 dpi for bilevel TIFF pages and
//   96 dpi for everything else; fax streams without a TIFF wrapper are 204 x 196 dpi.
// - A page whose data is damaged shows what could be decoded (complete = false and
//   error set) when at least one strip or tile decoded; otherwise the image is null.
// - Pages larger than limits.h allows are refused from their header, before any pixel
//   memory is allocated.
// - PDF pages are drawn, not decoded: decodePage() draws the page at the resolution of its
//   PageInfo (kPdfDpi, lower for a page too large for a 64 MB picture), renderPage() at
//   any resolution and any part of it, in RGB32 on white.

#include <QDateTime>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QVector>

#include <memory>

namespace ktdv::imaging {

namespace detail {
class PdfSource;
}

enum class FileFormat { Unknown, Tiff, RawFaxG3, Bmp, Gif, Jpeg, Png, Pdf };

// The resolution PDF pages are shown at by default: 100 % zoom shows a page at its true
// size on a 96 dpi screen.
inline constexpr double kPdfDpi = 96.0;

// One word of a page's text layer: box in pixels at the resolution asked for; words of
// one line share their line number.
struct TextLayerWord {
    QString text;
    QRect box;
    int line = 0;
};

// How reading one tag of a page went. A tag that is there but cannot be read is not
// absent: whoever would replace it must know that something is stored.
enum class TagRead {
    Absent,      // the page has no such tag
    Read,        // its bytes were read
    TooLarge,    // its value is larger than limits::kMaxTagBytes
    Unreadable,  // damaged entry, value outside the file, or the file changed or is gone
};

// Format from the first bytes of the file (magic numbers); raw G3 fax streams are
// recognised by their EOL codes.
FileFormat detectFormat(const QString& path);
FileFormat detectFormat(const QByteArray& head);

struct PageInfo {
    QSize pixelSize;       // as stored
    QSizeF dpi;            // dots per inch (x, y); fax 204 x 98 stays non-square
    int bitsPerPixel = 0;  // 1 for bilevel pages
    int compression = 0;   // TIFF compression code (1 none, 3 G3, 4 G4, 5 LZW, ...); 0 if not TIFF
    bool bilevel() const { return bitsPerPixel == 1; }
    // Size in inches at the page's resolution.
    QSizeF physicalSizeInches() const;
};

struct DecodedPage {
    QImage image;          // Format_Mono for bilevel pages (0 = black), else Grayscale8,
                           // Indexed8, RGB32 or ARGB32; dotsPerMeterX/Y carry the resolution
    bool complete = true;  // false when only part of the page could be decoded
    QString error;         // why the page is partial or missing
    bool ok() const { return !image.isNull(); }
};

class Document {
public:
    // nullptr (and *error set) when the file is missing, unreadable, of an unknown format,
    // or exceeds the limits of limits.h. Errors, here and in decoded pages, are short
    // sentences a user can read ("Not a picture"), without the file's name.
    static std::shared_ptr<const Document> open(const QString& path, QString* error = nullptr);
    // The same for a PDF document that may need a password: *locked (when given) tells
    // that the file asks for one and password is missing or wrong.
    static std::shared_ptr<const Document> open(const QString& path, QString* error,
                                                const QByteArray& password, bool* locked);

    QString path() const { return m_path; }
    FileFormat format() const { return m_format; }
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    const PageInfo& page(int index) const { return m_pages.at(index); }
    QDateTime modified() const { return m_modified; }
    qint64 fileSize() const { return m_fileSize; }

    // Decodes one page at its native resolution, honouring fill order, photometric
    // interpretation and orientation. Never throws; bounded in time and memory.
    DecodedPage decodePage(int index) const;
    // PDF pages: the page, or region of it (pixels at dpi), drawn at dpi (lowered where the
    // whole page would exceed the limits); other formats: decodePage(index). Any thread.
    DecodedPage renderPage(int index, double dpi, const QRect& region = QRect()) const;
    // The words of a PDF page's text layer, boxes in pixels at dpi; empty for a page
    // without one and for other formats. Any thread.
    QVector<TextLayerWord> textLayer(int index, double dpi) const;

    // The bytes of a private tag of one TIFF page ("" unless *how is Read; Absent for other
    // formats), read from the page's own directory: no walk of the directory chain and no
    // mapping of the file. Any thread.
    QByteArray readPageTag(int index, quint16 tag, TagRead* how = nullptr) const;

    // Offsets of the TIFF page directories (empty for other formats).
    const QVector<quint64>& directoryOffsets() const { return m_ifdOffsets; }
    // Why the TIFF directory chain ended before its proper end (a file cut short, a loop,
    // too many pages); "" when every page directory was read. The pages before the break
    // are the document's pages.
    QString directoryDamage() const { return m_directoryDamage; }

private:
    Document() = default;
    // The directory of a TIFF file opened shortly before and unchanged since (document.cpp).
    static bool recentDirectory(Document& doc, size_t headHash);
    static void rememberDirectory(const Document& doc, size_t headHash);
    std::shared_ptr<const detail::PdfSource> m_pdf;
    QString m_path;
    FileFormat m_format = FileFormat::Unknown;
    QVector<PageInfo> m_pages;
    QVector<quint64> m_ifdOffsets;
    QString m_directoryDamage;
    QDateTime m_modified;
    qint64 m_fileSize = 0;
};

}  // namespace ktdv::imaging
