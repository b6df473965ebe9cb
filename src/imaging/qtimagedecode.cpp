// BMP, GIF, JPEG and PNG pages through Qt's image readers. The page size is checked
// against our limits before anything is decoded; Qt's own allocation limit is raised so
// that it never refuses a page our limits accept. GIF files show their first frame.
// Resolution comes from the file (BMP header, JFIF density, EXIF resolution, PNG pHYs);
// a file without one is taken as 96 dpi.

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>

#include <mutex>

#include "imaging/decoders.h"
#include "imaging/limits.h"
#include "imaging/tiffbytes.h"

namespace ktdv::imaging::detail {

namespace {

constexpr double kDefaultDpi = 96.0;
constexpr qint64 kResolutionScanBytes = 256 * 1024;

const char* qtFormatName(FileFormat format) {
    switch (format) {
        case FileFormat::Bmp:
            return "bmp";
        case FileFormat::Gif:
            return "gif";
        case FileFormat::Jpeg:
            return "jpeg";
        case FileFormat::Png:
            return "png";
        default:
            return "";
    }
}

FileFormat formatOfFile(const QString& path) {
    return detectFormat(path);
}

void raiseQtAllocationLimit() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Qt counts every page at 32 bits per pixel; our limit is on the real size.
        QImageReader::setAllocationLimit(int(limits::kMaxPageBytes * 4 / (1024 * 1024)));
    });
}

int bitsOf(QImage::Format f) {
    switch (f) {
        case QImage::Format_Mono:
        case QImage::Format_MonoLSB:
            return 1;
        case QImage::Format_Indexed8:
        case QImage::Format_Grayscale8:
        case QImage::Format_Alpha8:
            return 8;
        case QImage::Format_RGB32:
        case QImage::Format_RGB888:
        case QImage::Format_BGR888:
            return 24;
        case QImage::Format_Invalid:
            return 0;
        default:
            return QImage::toPixelFormat(f).bitsPerPixel();
    }
}

// Bits per pixel of the decoded page in memory.
int memoryBits(int fileBits) {
    return fileBits == 1 ? 1 : fileBits == 8 ? 8 : 32;
}

// Resolution from an EXIF block (a TIFF structure).
QSizeF exifDpi(const uchar* p, qint64 size) {
    if (size < 8)
        return {};
    const bool big = p[0] == 'M';
    const tiff::ByteView v(p, quint64(size), big);
    const quint32 ifd = v.u32(4);
    if (!v.has(ifd, 2))
        return {};
    const quint16 n = v.u16(ifd);
    double x = 0, y = 0;
    quint64 unit = 2;
    for (quint16 i = 0; i < n && i < 512; ++i) {
        const quint64 e = ifd + 2 + quint64(i) * 12;
        if (!v.has(e, 12))
            break;
        const quint16 tag = v.u16(e), type = v.u16(e + 2);
        if ((tag == 282 || tag == 283) && type == 5) {
            const quint32 off = v.u32(e + 8);
            const quint32 num = v.u32(off), den = v.u32(off + 4);
            const double d = den ? double(num) / den : 0;
            (tag == 282 ? x : y) = d;
        } else if ((tag == 282 || tag == 283) && (type == 3 || type == 4)) {
            (tag == 282 ? x : y) = double(v.element(type, e + 8, 0));
        } else if (tag == 296) {
            unit = v.element(type, e + 8, 0);
        }
    }
    if (!(x > 0 && y > 0 && x < 1e6 && y < 1e6) || unit == 1)
        return {};
    if (unit == 3)
        x *= 2.54, y *= 2.54;
    return {x, y};
}

QSizeF jpegDpi(const QByteArray& d) {
    const auto* p = reinterpret_cast<const uchar*>(d.constData());
    const qint64 n = d.size();
    QSizeF exif;
    qint64 i = 2;
    while (i + 4 <= n) {
        if (p[i] != 0xFF)
            break;
        const uchar marker = p[i + 1];
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            i += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9)
            break;
        const int length = (p[i + 2] << 8) | p[i + 3];
        const uchar* seg = p + i + 4;
        const qint64 segLen = qMin<qint64>(length - 2, n - (i + 4));
        if (marker == 0xE0 && segLen >= 12 && memcmp(seg, "JFIF\0", 5) == 0) {
            const int units = seg[7];
            const int xd = (seg[8] << 8) | seg[9], yd = (seg[10] << 8) | seg[11];
            if ((units == 1 || units == 2) && xd > 0 && yd > 0) {
                const double f = units == 2 ? 2.54 : 1.0;
                return {xd * f, yd * f};
            }
        } else if (marker == 0xE1 && segLen > 14 && memcmp(seg, "Exif\0", 5) == 0) {
            exif = exifDpi(seg + 6, segLen - 6);
        }
        if (length < 2)
            break;
        i += 2 + length;
    }
    return exif;
}

QSizeF bmpDpi(const QByteArray& d) {
    if (d.size() < 46)
        return {};
    const tiff::ByteView v(reinterpret_cast<const uchar*>(d.constData()), quint64(d.size()), false);
    if (v.u32(14) < 40)
        return {};
    const qint32 x = qint32(v.u32(38)), y = qint32(v.u32(42));
    if (x <= 0 || y <= 0 || x > 1000000 || y > 1000000)
        return {};
    return {x * 0.0254, y * 0.0254};
}

QSizeF pngDpi(const QByteArray& d) {
    const tiff::ByteView v(reinterpret_cast<const uchar*>(d.constData()), quint64(d.size()), true);
    quint64 i = 8;
    while (v.has(i, 12)) {
        const quint32 length = v.u32(i);
        const char* type = d.constData() + i + 4;
        if (memcmp(type, "pHYs", 4) == 0 && length >= 9 && v.has(i + 8, 9)) {
            const quint32 x = v.u32(i + 8), y = v.u32(i + 12);
            if (d.at(qsizetype(i + 16)) == 1 && x > 0 && y > 0 && x < 100000000 && y < 100000000)
                return {x * 0.0254, y * 0.0254};
            return {};
        }
        if (memcmp(type, "IDAT", 4) == 0)
            break;
        i += 12 + quint64(length);
    }
    return {};
}

QSizeF fileDpi(const QString& path, FileFormat format) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(kResolutionScanBytes);
    switch (format) {
        case FileFormat::Bmp:
            return bmpDpi(head);
        case FileFormat::Jpeg:
            return jpegDpi(head);
        case FileFormat::Png:
            return pngDpi(head);
        default:
            return {};
    }
}

// The page size from the file's header, for the few files whose size Qt reports only
// after decoding (top-down BMP).
QSize headerSize(const QString& path, FileFormat format) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray d = file.read(32);
    const tiff::ByteView v(reinterpret_cast<const uchar*>(d.constData()), quint64(d.size()), false);
    if (format == FileFormat::Bmp && v.has(14, 12) && v.u32(14) >= 40) {
        const qint64 w = qint32(v.u32(18)), h = qint32(v.u32(22));
        const qint64 limit = limits::kMaxPageDimension + 1;
        return QSize(int(qBound<qint64>(0, w, limit)), int(qBound<qint64>(0, qAbs(h), limit)));
    }
    if (format == FileFormat::Gif && v.has(6, 4))
        return QSize(v.u16(6), v.u16(8));
    return {};
}

QSize pageSize(QImageReader& reader, const QString& path, FileFormat format) {
    const QSize size = reader.size();
    return size.isValid() ? size : headerSize(path, format);
}

// Bilevel pages as Format_Mono with index 0 black, two-colour ones (green and black, say)
// as Format_Indexed8 so that they keep their colours; anything else in a format the viewer
// paints directly. The page limits are checked at 8 bits per pixel or more.
QImage normalised(QImage image) {
    if (image.format() == QImage::Format_MonoLSB)
        image = image.convertToFormat(QImage::Format_Mono);
    if (image.format() == QImage::Format_Mono) {
        const QVector<QRgb> table = image.colorTable();
        if (table.size() == 2 && qGray(table[0]) > qGray(table[1]) && qAlpha(table[0]) == 255 &&
            qAlpha(table[1]) == 255) {
            image.invertPixels();
            image.setColorTable({table[1], table[0]});
        }
        return image.allGray() ? image : image.convertToFormat(QImage::Format_Indexed8);
    }
    switch (image.format()) {
        case QImage::Format_Indexed8:
        case QImage::Format_Grayscale8:
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied:
            return image;
        default:
            return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                 : QImage::Format_RGB32);
    }
}

}  // namespace

bool probeQtImage(const QString& path, FileFormat format, PageInfo* info, QString* error) {
    raiseQtAllocationLimit();
    QImageReader reader(path, qtFormatName(format));
    reader.setDecideFormatFromContent(false);
    const QSize size = pageSize(reader, path, format);
    if (!size.isValid() || size.isEmpty()) {
        if (error)
            *error = QCoreApplication::translate("ktdv::imaging", "The image cannot be read: %1")
                         .arg(reader.errorString());
        return false;
    }
    int bits = bitsOf(reader.imageFormat());
    if (bits == 0)
        bits = format == FileFormat::Gif ? 8 : 24;
    if (!pageFitsLimits(size.width(), size.height(), memoryBits(bits), error))
        return false;
    info->pixelSize = size;
    info->bitsPerPixel = bits;
    info->compression = 0;
    QSizeF dpi = fileDpi(path, format);
    if (!(dpi.width() > 0 && dpi.height() > 0))
        dpi = QSizeF(kDefaultDpi, kDefaultDpi);
    info->dpi = dpi;
    return true;
}

DecodedPage decodeQtImage(const QString& path, const PageInfo& info) {
    raiseQtAllocationLimit();
    DecodedPage page;
    const FileFormat format = formatOfFile(path);
    QImageReader reader(path, qtFormatName(format));
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true);
    const QSize size = pageSize(reader, path, format);
    const int bits = qMax(8, bitsOf(reader.imageFormat()));
    // Limits first: the size in the header decides before a byte is decoded.
    if (!size.isValid() ||
        !pageFitsLimits(size.width(), size.height(), memoryBits(bits), &page.error)) {
        page.complete = false;
        if (page.error.isEmpty())
            page.error =
                QCoreApplication::translate("ktdv::imaging", "The image cannot be read: %1")
                    .arg(reader.errorString());
        return page;
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        page.complete = false;
        page.error = QCoreApplication::translate("ktdv::imaging", "The image cannot be read: %1")
                         .arg(reader.errorString());
        return page;
    }
    page.image = normalised(image);
    QSizeF dpi = info.dpi;
    if (page.image.size() != info.pixelSize && page.image.size().transposed() == info.pixelSize)
        dpi.transpose();
    page.image.setDotsPerMeterX(dotsPerMeter(dpi.width()));
    page.image.setDotsPerMeterY(dotsPerMeter(dpi.height()));
    return page;
}

}  // namespace ktdv::imaging::detail
