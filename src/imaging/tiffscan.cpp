// The page directory of a TIFF file, read from its bytes without libtiff: opening a
// thousand-page fax must not cost a thousand directory reads.

#include <QSet>

#include "imaging/decoders.h"
#include "imaging/limits.h"
#include "imaging/tiffbytes.h"

namespace ktdv::imaging::detail {

namespace {

using tiff::ByteView;

// Resolutions assumed when a page has none: fax pages are 200 dpi, anything else 96 dpi.
constexpr double kDefaultBilevelDpi = 200.0;
constexpr double kDefaultDpi = 96.0;

struct Fields {
    quint64 width = 0, height = 0;
    quint64 bitsPerSample = 1, samplesPerPixel = 1, compression = 1;
    double xres = 0, yres = 0;
    quint64 resUnit = 2;
};

double rationalAt(const ByteView& v, quint16 type, quint64 off) {
    if (type == 5 || type == 10) {
        const quint32 num = v.u32(off), den = v.u32(off + 4);
        return den ? double(num) / double(den) : 0.0;
    }
    if (type == 11) {
        const quint32 bits = v.u32(off);
        float f;
        memcpy(&f, &bits, 4);
        return double(f);
    }
    if (type == 12) {
        const quint64 bits = v.u64(off);
        double d;
        memcpy(&d, &bits, 8);
        return d;
    }
    return double(v.element(type, off, 0));
}

}  // namespace

bool scanTiffPages(const uchar* data, quint64 size, QVector<quint64>* offsets,
                   QVector<PageInfo>* pages, QString* error) {
    offsets->clear();
    pages->clear();
    if (!data || size < 8) {
        if (error)
            *error = QStringLiteral("The TIFF header is incomplete");
        return false;
    }
    const bool big = data[0] == 'M';
    const ByteView v(data, size, big);
    const quint16 magic = v.u16(2);
    const bool bigTiff = magic == 43;
    if (bigTiff && (v.u16(4) != 8 || size < 16)) {
        if (error)
            *error = QStringLiteral("The BigTIFF header is invalid");
        return false;
    }
    const quint64 entrySize = bigTiff ? 20 : 12;
    const quint64 countSize = bigTiff ? 8 : 2;
    const quint64 inlineSize = bigTiff ? 8 : 4;
    quint64 next = bigTiff ? v.u64(8) : v.u32(4);
    QSet<quint64> seen;
    QString stopReason;

    while (next != 0) {
        if (seen.contains(next)) {
            stopReason = QStringLiteral("The page directories loop");
            break;
        }
        if (pages->size() >= limits::kMaxPages) {
            stopReason = QStringLiteral("Too many pages");
            break;
        }
        if (!v.has(next, countSize)) {
            stopReason = QStringLiteral("A page directory lies outside the file");
            break;
        }
        seen.insert(next);
        const quint64 count = bigTiff ? v.u64(next) : v.u16(next);
        const quint64 first = next + countSize;
        if (count == 0 || count > 4096 || !v.has(first, count * entrySize)) {
            stopReason = QStringLiteral("A page directory is damaged");
            break;
        }
        Fields f;
        quint64 seenTags = 0;  // the first of duplicated tags counts
        for (quint64 i = 0; i < count; ++i) {
            const quint64 e = first + i * entrySize;
            const quint16 tag = v.u16(e);
            const quint16 type = v.u16(e + 2);
            const quint64 n = bigTiff ? v.u64(e + 4) : v.u32(e + 4);
            const int ts = tiff::typeSize(type);
            if (ts == 0 || n == 0)
                continue;
            quint64 valueOff = e + 4 + (bigTiff ? 8 : 4);
            if (quint64(ts) * n > inlineSize)
                valueOff = bigTiff ? v.u64(valueOff) : v.u32(valueOff);
            const int bit = tag >= 256 && tag <= 296 ? tag - 256 : -1;
            if (bit >= 0 && (seenTags & (quint64(1) << bit)))
                continue;
            if (bit >= 0)
                seenTags |= quint64(1) << bit;
            switch (tag) {
                case 256:
                    f.width = v.element(type, valueOff, 0);
                    break;
                case 257:
                    f.height = v.element(type, valueOff, 0);
                    break;
                case 258:
                    f.bitsPerSample = v.element(type, valueOff, 0);
                    break;
                case 259:
                    f.compression = v.element(type, valueOff, 0);
                    break;
                case 277:
                    f.samplesPerPixel = v.element(type, valueOff, 0);
                    break;
                case 282:
                    f.xres = rationalAt(v, type, valueOff);
                    break;
                case 283:
                    f.yres = rationalAt(v, type, valueOff);
                    break;
                case 296:
                    f.resUnit = v.element(type, valueOff, 0);
                    break;
                default:
                    break;
            }
        }
        PageInfo info;
        info.pixelSize =
            QSize(int(qMin<quint64>(f.width, INT_MAX)), int(qMin<quint64>(f.height, INT_MAX)));
        info.bitsPerPixel = int(qMin<quint64>(f.bitsPerSample * f.samplesPerPixel, 1024));
        info.compression = int(qMin<quint64>(f.compression, INT_MAX));
        const double fallback = info.bitsPerPixel == 1 ? kDefaultBilevelDpi : kDefaultDpi;
        double xdpi = f.xres, ydpi = f.yres;
        if (!(xdpi > 0) || !(ydpi > 0) || xdpi > 1e6 || ydpi > 1e6) {
            if (xdpi > 0 && xdpi <= 1e6)
                ydpi = xdpi;
            else if (ydpi > 0 && ydpi <= 1e6)
                xdpi = ydpi;
            else
                xdpi = ydpi = fallback;
        }
        if (f.resUnit == 3) {
            xdpi *= 2.54, ydpi *= 2.54;
        } else if (f.resUnit == 1) {  // no unit: only the aspect ratio is known
            ydpi = fallback * ydpi / xdpi;
            xdpi = fallback;
        }
        info.dpi = QSizeF(xdpi, ydpi);
        offsets->append(next);
        pages->append(info);
        const quint64 nextAt = first + count * entrySize;
        next = bigTiff ? v.u64(nextAt) : v.u32(nextAt);
        if (!v.has(nextAt, bigTiff ? 8 : 4))
            next = 0;
    }
    if (pages->isEmpty()) {
        if (error)
            *error =
                stopReason.isEmpty() ? QStringLiteral("The TIFF file has no pages") : stopReason;
        return false;
    }
    return true;
}

}  // namespace ktdv::imaging::detail
