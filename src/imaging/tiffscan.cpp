// The page directory of a TIFF file, read from its bytes without libtiff: opening a
// thousand-page fax must not cost a thousand directory reads.

#include <QFile>
#include <QSet>

#include <algorithm>
#include <array>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

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

// The same reads from an open file, through a small window: the directories of a
// long document lie all over the file, next to each page's data, and reading the few
// bytes of each costs far less than mapping the file and touching one of its memory
// pages per directory.
class FileView : public tiff::FieldReader<FileView> {
public:
    FileView(QFile& file, quint64 size, bool bigEndian)
        : FieldReader(size, bigEndian), m_file(file) {}

    bool fetch(quint64 off, quint64 length, uchar* out) const {
        if (!has(off, length))
            return false;
        if (off < m_start || off + length > m_start + m_length) {
            m_start = off > kBefore ? off - kBefore : 0;
            m_length = 0;
            const quint64 want = std::min<quint64>(kWindow, size() - m_start);
            qint64 got = -1;
#ifdef Q_OS_UNIX
            got = ::pread(m_file.handle(), m_window.data(), size_t(want), off_t(m_start));
#endif
            if (got < 0 && m_file.seek(qint64(m_start)))
                got = m_file.read(reinterpret_cast<char*>(m_window.data()), qint64(want));
            if (got < 0 || off + length > m_start + quint64(got))
                return false;
            m_length = quint64(got);
        }
        std::memcpy(out, m_window.data() + (off - m_start), size_t(length));
        return true;
    }

private:
    static constexpr quint64 kWindow = 2048;
    static constexpr quint64 kBefore = 256;  // values are often written just before

    QFile& m_file;
    mutable std::array<uchar, kWindow> m_window{};
    mutable quint64 m_start = 0;
    mutable quint64 m_length = 0;
};

template <class View>
double rationalAt(const View& v, quint16 type, quint64 off) {
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

template <class View>
bool scanPages(const View& v, quint64 size, QVector<quint64>* offsets, QVector<PageInfo>* pages,
               QString* error) {
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
            stopReason = next >= size
                             ? QStringLiteral("The file ends before the next page directory")
                             : QStringLiteral("A page directory lies outside the file");
            break;
        }
        seen.insert(next);
        const quint64 count = bigTiff ? v.u64(next) : v.u16(next);
        const quint64 first = next + countSize;
        if (count > 0 && count <= 4096 && !v.has(first, count * entrySize)) {
            stopReason = QStringLiteral("The file ends inside a page directory");
            break;
        }
        bool page = count > 0 && count <= 4096 && v.has(first, count * entrySize);
        for (quint64 i = 0; page && i < count; ++i) {
            const quint64 e = first + i * entrySize;
            if (tiff::isPageEntry(v.u16(e), v.u16(e + 2)))
                break;
            page = i + 1 < count;
        }
        if (!page) {
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
        if (!v.has(nextAt, bigTiff ? 8 : 4)) {
            stopReason = QStringLiteral("The file ends inside a page directory");
            break;
        }
    }
    if (error)
        *error = stopReason;
    if (pages->isEmpty()) {
        if (error)
            *error = stopReason.isEmpty() ? QStringLiteral("The TIFF file has no pages")
                                          : QStringLiteral("Damaged before its first page");
        return false;
    }
    return true;
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
    return scanPages(ByteView(data, size, data[0] == 'M'), size, offsets, pages, error);
}

bool scanTiffPages(QFile& file, QVector<quint64>* offsets, QVector<PageInfo>* pages,
                   QString* error) {
    offsets->clear();
    pages->clear();
    const qint64 size = file.size();
    char order = 0;
    if (size < 8 || !file.seek(0) || file.read(&order, 1) != 1) {
        if (error)
            *error = QStringLiteral("The TIFF header is incomplete");
        return false;
    }
    return scanPages(FileView(file, quint64(size), order == 'M'), quint64(size), offsets, pages,
                     error);
}

QByteArray readTiffTag(QFile& file, quint64 ifdOffset, quint16 tag, TagRead* how) {
    TagRead ignored;
    TagRead& outcome = how ? *how : ignored;
    outcome = TagRead::Unreadable;
    const qint64 size = file.size();
    char order = 0;
    if (size < 8 || !file.seek(0) || file.read(&order, 1) != 1)
        return {};
    const FileView v(file, quint64(size), order == 'M');
    const bool bigTiff = v.u16(2) == 43;
    const quint64 count = bigTiff ? v.u64(ifdOffset) : v.u16(ifdOffset);
    const quint64 entrySize = bigTiff ? 20 : 12;
    const quint64 first = ifdOffset + (bigTiff ? 8 : 2);
    for (quint64 i = 0; i < count && i < 4096 && v.has(first + i * entrySize, entrySize); ++i) {
        const quint64 e = first + i * entrySize;
        if (v.u16(e) != tag)
            continue;
        const int typeSize = tiff::typeSize(v.u16(e + 2));
        const quint64 n = bigTiff ? v.u64(e + 4) : v.u32(e + 4);
        if (typeSize == 0)
            return {};
        if (n > quint64(limits::kMaxTagBytes) / quint64(typeSize)) {
            outcome = TagRead::TooLarge;
            return {};
        }
        const quint64 bytes = n * quint64(typeSize);
        quint64 at = e + (bigTiff ? 12 : 8);
        if (bytes > (bigTiff ? 8u : 4u))
            at = bigTiff ? v.u64(at) : v.u32(at);
        if (!v.has(at, bytes))
            return {};
        QByteArray value(qsizetype(bytes), Qt::Uninitialized);
        if (!file.seek(qint64(at)) || file.read(value.data(), value.size()) != value.size())
            return {};
        outcome = TagRead::Read;
        return value;
    }
    outcome = TagRead::Absent;
    return {};
}

}  // namespace ktdv::imaging::detail
