#include "imaging/tiffstructure.h"

#include <QSet>

#include <algorithm>
#include <bitset>

#include "imaging/limits.h"
#include "imaging/tiffbytes.h"

namespace ktdv::imaging::tiff {

namespace {

constexpr quint16 kStripOffsets = 273, kStripByteCounts = 279;
constexpr quint16 kTileOffsets = 324, kTileByteCounts = 325;
constexpr quint16 kFreeOffsets = 288, kFreeByteCounts = 289;
constexpr quint16 kJpegIf = 513, kJpegIfLength = 514;
constexpr quint16 kJpegQTables = 519, kJpegDcTables = 520, kJpegAcTables = 521;
constexpr quint16 kSubIfds = 330, kExifIfd = 34665, kGpsIfd = 34853, kInteropIfd = 40965;
constexpr int kMaxDepth = 8;
constexpr int kMaxChildren = 256;

bool isChildTag(quint16 tag) {
    return tag == kSubIfds || tag == kExifIfd || tag == kGpsIfd || tag == kInteropIfd;
}

class Reader {
public:
    Reader(const QByteArray& bytes, bool big, bool bigTiff)
        : m_v(reinterpret_cast<const uchar*>(bytes.constData()), quint64(bytes.size()), big),
          m_bigTiff(bigTiff) {}

    QString error;

    quint64 firstIfd() const { return m_bigTiff ? m_v.u64(8) : m_v.u32(4); }
    bool validIfdStart(quint64 off) const {
        const quint64 countSize = m_bigTiff ? 8 : 2;
        if (!m_v.has(off, countSize))
            return false;
        const quint64 n = m_bigTiff ? m_v.u64(off) : m_v.u16(off);
        if (n == 0 || n > 4096 || !m_v.has(off + countSize, n * entrySize()))
            return false;  // a missing link reads as 0
        for (quint64 i = 0; i < n; ++i) {
            const quint64 e = off + countSize + i * entrySize();
            if (isPageEntry(m_v.u16(e), m_v.u16(e + 2)))
                return true;
        }
        return false;
    }

    bool readIfd(quint64 off, Ifd* ifd, quint64* next, int depth) {
        if (depth > kMaxDepth)
            return fail(QStringLiteral("Directories nest too deeply"));
        if (!validIfdStart(off))
            return fail(QStringLiteral("A directory is damaged"));
        if (m_visited.contains(off))
            return fail(QStringLiteral("The directories loop"));
        m_visited.insert(off);
        const quint64 countSize = m_bigTiff ? 8 : 2;
        const quint64 n = m_bigTiff ? m_v.u64(off) : m_v.u16(off);
        const quint64 inlineSize = m_bigTiff ? 8 : 4;
        std::bitset<65536> stored;
        for (quint64 i = 0; i < n; ++i) {
            const quint64 e = off + countSize + i * entrySize();
            Entry entry;
            entry.tag = m_v.u16(e);
            entry.type = m_v.u16(e + 2);
            entry.count = m_bigTiff ? m_v.u64(e + 4) : m_v.u32(e + 4);
            const int ts = typeSize(entry.type);
            if (ts == 0)
                continue;  // unknown type: its size is unknowable, as libtiff skips it
            if (entry.count > quint64(limits::kMaxTagBytes) / quint64(ts))
                return fail(QStringLiteral("Tag %1 is too large").arg(entry.tag));
            const quint64 size = entry.count * quint64(ts);
            quint64 at = e + 4 + (m_bigTiff ? 8 : 4);
            if (size > inlineSize)
                at = m_bigTiff ? m_v.u64(at) : m_v.u32(at);
            if (!m_v.has(at, size))
                return fail(QStringLiteral("Tag %1 lies outside the file").arg(entry.tag));
            // A repeated tag: the first counts, as for the page walk and libtiff.
            if (entry.tag == kFreeOffsets || entry.tag == kFreeByteCounts || stored.test(entry.tag))
                continue;
            stored.set(entry.tag);
            if (!copyAllowed(size))
                return fail(QStringLiteral("Tag %1 overlaps other data").arg(entry.tag));
            entry.value =
                QByteArray(reinterpret_cast<const char*>(m_v.data() + at), qsizetype(size));
            ifd->set(entry);
        }
        const quint64 nextAt = off + countSize + n * entrySize();
        if (next)
            *next = m_bigTiff ? m_v.u64(nextAt) : m_v.u32(nextAt);
        return readBlocks(ifd, kStripOffsets, kStripByteCounts) &&
               readBlocks(ifd, kTileOffsets, kTileByteCounts) && readJpeg(ifd) &&
               readChildren(ifd, depth);
    }

private:
    quint64 entrySize() const { return m_bigTiff ? 20 : 12; }
    // Values and image data are copied out of the file: directories whose values share
    // bytes must not multiply it (a small file could otherwise claim gigabytes).
    bool copyAllowed(quint64 size) {
        m_copiedBytes += size;
        return m_copiedBytes <= 4 * m_v.size() + 65536;
    }
    bool fail(const QString& message) {
        if (error.isEmpty())
            error = message;
        return false;
    }
    QByteArray slice(quint64 off, quint64 size) const {
        return QByteArray(reinterpret_cast<const char*>(m_v.data() + off), qsizetype(size));
    }
    QVector<quint64> numbers(const Entry& e) const {
        QVector<quint64> out;
        const tiff::ByteView local(reinterpret_cast<const uchar*>(e.value.constData()),
                                   quint64(e.value.size()), m_v.bigEndian());
        for (quint64 i = 0; i < e.count; ++i)
            out.append(local.element(e.type, 0, i));
        return out;
    }

    bool readBlocks(Ifd* ifd, quint16 offsetTag, quint16 countTag) {
        const Entry* offsets = ifd->find(offsetTag);
        if (!offsets)
            return true;
        const Entry* counts = ifd->find(countTag);
        if (!counts || counts->count != offsets->count)
            return fail(QStringLiteral("The image data's sizes are missing"));
        const QVector<quint64> o = numbers(*offsets), c = numbers(*counts);
        for (int i = 0; i < o.size(); ++i) {
            if (!m_v.has(o[i], c[i]))
                return fail(QStringLiteral("Image data lies outside the file"));
            if (!copyAllowed(c[i]))
                return fail(QStringLiteral("The image data overlaps itself"));
            ifd->blocks.append(slice(o[i], c[i]));
        }
        return true;
    }

    bool readJpeg(Ifd* ifd) {
        if (const Entry* e = ifd->find(kJpegIf)) {
            const Entry* length = ifd->find(kJpegIfLength);
            const quint64 off = numbers(*e).value(0);
            // Old-style JPEG writers often point it at the first strip, without a length.
            const Entry* strips = ifd->find(kStripOffsets);
            if (!strips)
                strips = ifd->find(kTileOffsets);
            const QVector<quint64> starts = strips ? numbers(*strips) : QVector<quint64>();
            const qsizetype alias = starts.indexOf(off);
            quint64 size = length ? numbers(*length).value(0) : 0;
            if (alias >= 0 && (!length || size <= quint64(ifd->blocks.value(alias).size()))) {
                ifd->jpegInterchangeBlock = int(alias);
            } else {
                if (!length) {  // up to the next image data, or the end of the file
                    quint64 end = m_v.size();
                    for (quint64 s : starts)
                        if (s > off && s < end)
                            end = s;
                    size = qMin<quint64>(end - qMin(end, off), quint64(limits::kMaxTagBytes));
                }
                if (!m_v.has(off, size) || !copyAllowed(size))
                    return fail(QStringLiteral("JPEG data lies outside the file"));
                ifd->jpegInterchange = slice(off, size);
            }
        }
        for (int t = 0; t < 3; ++t) {
            const Entry* e = ifd->find(quint16(kJpegQTables + t));
            if (!e)
                continue;
            for (quint64 off : numbers(*e)) {
                quint64 size = 64;
                if (t > 0) {  // 16 code counts, then the values they count
                    if (!m_v.has(off, 16))
                        return fail(QStringLiteral("A JPEG table is damaged"));
                    size = 16;
                    for (int k = 0; k < 16; ++k)
                        size += m_v.data()[off + quint64(k)];
                }
                if (!m_v.has(off, size) || !copyAllowed(size))
                    return fail(QStringLiteral("A JPEG table is damaged"));
                ifd->jpegTables[t].append(slice(off, size));
            }
        }
        return true;
    }

    bool readChildren(Ifd* ifd, int depth) {
        for (const Entry& e : QVector<Entry>(ifd->entries)) {
            if (!isChildTag(e.tag))
                continue;
            const QVector<quint64> offsets = numbers(e);
            if (offsets.size() > kMaxChildren)
                return fail(QStringLiteral("Too many sub-directories"));
            for (quint64 off : offsets) {
                std::vector<Ifd> chain;
                quint64 next = off;
                // SubIFDs may be chained; the other kinds are single directories.
                while (next != 0 && int(chain.size()) < kMaxChildren) {
                    Ifd child;
                    quint64 after = 0;
                    if (!readIfd(next, &child, &after, depth + 1))
                        return false;
                    chain.push_back(std::move(child));
                    next = e.tag == kSubIfds && offsets.size() == 1 ? after : 0;
                }
                ifd->childTags.push_back(e.tag);
                ifd->children.push_back(std::move(chain));
            }
        }
        return true;
    }

    tiff::ByteView m_v;
    bool m_bigTiff;
    QSet<quint64> m_visited;
    quint64 m_copiedBytes = 0;
};

class Writer {
public:
    Writer(bool big, bool bigTiff) : m_big(big), m_bigTiff(bigTiff) {}

    QByteArray out;

    void header() {
        out.append(m_big ? "MM" : "II", 2);
        appendNumber(m_bigTiff ? 43 : 42, 2);
        if (m_bigTiff) {
            appendNumber(8, 2);
            appendNumber(0, 2);
        }
        m_firstLink = quint64(out.size());
        appendNumber(0, m_bigTiff ? 8 : 4);
    }
    quint64 firstLink() const { return m_firstLink; }

    // Writes a directory, its data and its children; returns its offset and where its
    // link to the next directory lies.
    quint64 writeIfd(const Ifd& ifd, quint64* linkAt) {
        QVector<quint64> blockOffsets;
        for (const QByteArray& b : ifd.blocks)
            blockOffsets.append(appendBlock(b));
        quint64 jpegIf = 0;
        if (ifd.jpegInterchangeBlock >= 0)
            jpegIf = blockOffsets.value(ifd.jpegInterchangeBlock);
        else if (ifd.find(kJpegIf))
            jpegIf = appendBlock(ifd.jpegInterchange);
        QVector<quint64> tables[3];
        for (int t = 0; t < 3; ++t)
            for (const QByteArray& b : ifd.jpegTables[t])
                tables[t].append(appendBlock(b));
        // Children, each chain linked in order.
        QHash<quint16, QVector<quint64>> childOffsets;
        for (size_t c = 0; c < ifd.children.size(); ++c) {
            quint64 first = 0, previousLink = 0;
            for (const Ifd& child : ifd.children[c]) {
                quint64 link = 0;
                const quint64 at = writeIfd(child, &link);
                if (!first)
                    first = at;
                if (previousLink)
                    patch(previousLink, at);
                previousLink = link;
            }
            childOffsets[ifd.childTags[c]].append(first);
        }

        QVector<Entry> entries = ifd.entries;
        for (Entry& e : entries) {
            switch (e.tag) {
                case kStripOffsets:
                case kTileOffsets:
                    e = offsetEntry(e, blockOffsets);
                    break;
                case kJpegIf:
                    e = offsetEntry(e, {jpegIf});
                    break;
                case kJpegQTables:
                case kJpegDcTables:
                case kJpegAcTables:
                    e = offsetEntry(e, tables[e.tag - kJpegQTables]);
                    break;
                default:
                    if (isChildTag(e.tag))
                        e = offsetEntry(e, childOffsets.value(e.tag));
            }
        }
        align();
        const quint64 ifdAt = quint64(out.size());
        const quint64 countSize = m_bigTiff ? 8 : 2, entrySize = m_bigTiff ? 20 : 12;
        const quint64 linkSize = m_bigTiff ? 8 : 4, inlineSize = m_bigTiff ? 8 : 4;
        const quint64 ifdSize = countSize + quint64(entries.size()) * entrySize + linkSize;
        QByteArray values;
        QByteArray table(qsizetype(ifdSize), '\0');
        auto* p = reinterpret_cast<uchar*>(table.data());
        if (m_bigTiff)
            put64(p, quint64(entries.size()), m_big);
        else
            put16(p, quint16(entries.size()), m_big);
        for (int i = 0; i < entries.size(); ++i) {
            const Entry& e = entries[i];
            uchar* q = p + countSize + quint64(i) * entrySize;
            put16(q, e.tag, m_big);
            put16(q + 2, e.type, m_big);
            if (m_bigTiff)
                put64(q + 4, e.count, m_big);
            else
                put32(q + 4, quint32(e.count), m_big);
            uchar* field = q + (m_bigTiff ? 12 : 8);
            if (quint64(e.value.size()) <= inlineSize) {
                memcpy(field, e.value.constData(), size_t(e.value.size()));
            } else {
                if (values.size() % 2)
                    values.append('\0');
                const quint64 at = ifdAt + ifdSize + quint64(values.size());
                if (m_bigTiff)
                    put64(field, at, m_big);
                else
                    put32(field, quint32(at), m_big);
                values.append(e.value);
            }
        }
        out.append(table);
        out.append(values);
        *linkAt = ifdAt + ifdSize - linkSize;
        return ifdAt;
    }

    void patch(quint64 at, quint64 value) {
        auto* p = reinterpret_cast<uchar*>(out.data()) + at;
        if (m_bigTiff)
            put64(p, value, m_big);
        else
            put32(p, quint32(value), m_big);
    }

private:
    void align() {
        while (out.size() % (m_bigTiff ? 8 : 2))
            out.append('\0');
    }
    quint64 appendBlock(const QByteArray& b) {
        align();
        const quint64 at = quint64(out.size());
        out.append(b);
        return at;
    }
    void appendNumber(quint64 v, int bytes) {
        uchar buf[8];
        if (bytes == 2)
            put16(buf, quint16(v), m_big);
        else if (bytes == 4)
            put32(buf, quint32(v), m_big);
        else
            put64(buf, v, m_big);
        out.append(reinterpret_cast<const char*>(buf), bytes);
    }
    // The entry with new offsets: 4-byte types stay (LONG, IFD) where the offsets fit.
    Entry offsetEntry(const Entry& original, const QVector<quint64>& offsets) const {
        Entry e;
        e.tag = original.tag;
        const bool fits = std::all_of(offsets.begin(), offsets.end(),
                                      [](quint64 o) { return o <= 0xFFFFFFFFull; });
        if (!m_bigTiff || (fits && (original.type == 4 || original.type == 13))) {
            e.type = original.type == 13 ? 13 : 4;
        } else {
            e.type = original.type == 18 || original.type == 13 ? 18 : 16;
        }
        e.count = quint64(offsets.size());
        const int size = typeSize(e.type);
        e.value = QByteArray(qsizetype(offsets.size()) * size, '\0');
        auto* p = reinterpret_cast<uchar*>(e.value.data());
        for (int i = 0; i < offsets.size(); ++i) {
            if (size == 8)
                put64(p + i * 8, offsets[i], m_big);
            else
                put32(p + i * 4, quint32(offsets[i]), m_big);
        }
        return e;
    }

    bool m_big, m_bigTiff;
    quint64 m_firstLink = 0;
};

}  // namespace

const Entry* Ifd::find(quint16 tag) const {
    for (const Entry& e : entries)
        if (e.tag == tag)
            return &e;
    return nullptr;
}

Entry* Ifd::find(quint16 tag) {
    for (Entry& e : entries)
        if (e.tag == tag)
            return &e;
    return nullptr;
}

quint64 Ifd::number(quint16 tag, bool bigEndian, quint64 index) const {
    const Entry* e = find(tag);
    if (!e || index >= e->count)
        return 0;
    const ByteView v(reinterpret_cast<const uchar*>(e->value.constData()), quint64(e->value.size()),
                     bigEndian);
    return v.element(e->type, 0, index);
}

void Ifd::set(const Entry& entry) {
    const auto it = std::lower_bound(entries.begin(), entries.end(), entry.tag,
                                     [](const Entry& e, quint16 tag) { return e.tag < tag; });
    if (it != entries.end() && it->tag == entry.tag)
        *it = entry;
    else
        entries.insert(it, entry);
}

void Ifd::remove(quint16 tag) {
    entries.removeIf([tag](const Entry& e) { return e.tag == tag; });
}

bool isOffsetTag(quint16 tag) {
    return tag == kStripOffsets || tag == kTileOffsets || tag == kJpegIf ||
           (tag >= kJpegQTables && tag <= kJpegAcTables) || isChildTag(tag) || tag == kFreeOffsets;
}

bool read(const QByteArray& bytes, File* file, QString* error) {
    *file = File();
    const auto failWith = [error](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    if (bytes.size() < 8)
        return failWith(QStringLiteral("Not a TIFF file"));
    const bool big = bytes.startsWith("MM");
    if (!big && !bytes.startsWith("II"))
        return failWith(QStringLiteral("Not a TIFF file"));
    const ByteView v(reinterpret_cast<const uchar*>(bytes.constData()), quint64(bytes.size()), big);
    const quint16 magic = v.u16(2);
    if (magic != 42 && magic != 43)
        return failWith(QStringLiteral("Not a TIFF file"));
    file->bigEndian = big;
    file->bigTiff = magic == 43;
    Reader reader(bytes, big, file->bigTiff);
    quint64 next = reader.firstIfd();
    QSet<quint64> pages;
    // The page chain ends where the viewer's page list ends: at a loop, a broken link
    // or the page limit.
    while (next != 0 && !pages.contains(next) && int(file->pages.size()) < limits::kMaxPages &&
           reader.validIfdStart(next)) {
        pages.insert(next);
        Ifd ifd;
        quint64 after = 0;
        if (!reader.readIfd(next, &ifd, &after, 0))
            return failWith(reader.error);
        file->pages.push_back(std::move(ifd));
        next = after;
    }
    if (file->pages.empty())
        return failWith(QStringLiteral("The TIFF file has no pages"));
    return true;
}

QByteArray write(const File& file, QString* error) {
    Writer w(file.bigEndian, file.bigTiff);
    w.header();
    quint64 link = w.firstLink();
    for (const Ifd& page : file.pages) {
        quint64 nextLink = 0;
        const quint64 at = w.writeIfd(page, &nextLink);
        w.patch(link, at);
        link = nextLink;
    }
    if (!file.bigTiff && quint64(w.out.size()) > 0xFFFFFFFFull) {
        if (error)
            *error = QStringLiteral("The file would exceed 4 GB");
        return {};
    }
    return w.out;
}

bool sameContent(const Ifd& a, const Ifd& b) {
    if (a.entries.size() != b.entries.size() || a.blocks != b.blocks ||
        a.jpegInterchange != b.jpegInterchange ||
        a.jpegInterchangeBlock != b.jpegInterchangeBlock || a.childTags != b.childTags ||
        a.children.size() != b.children.size())
        return false;
    for (int t = 0; t < 3; ++t)
        if (a.jpegTables[t] != b.jpegTables[t])
            return false;
    for (int i = 0; i < a.entries.size(); ++i) {
        const Entry &x = a.entries[i], &y = b.entries[i];
        if (x.tag != y.tag)
            return false;
        if (isOffsetTag(x.tag)) {
            if (x.count != y.count)
                return false;
        } else if (x.type != y.type || x.count != y.count || x.value != y.value) {
            return false;
        }
    }
    for (size_t c = 0; c < a.children.size(); ++c) {
        if (a.children[c].size() != b.children[c].size())
            return false;
        for (size_t k = 0; k < a.children[c].size(); ++k)
            if (!sameContent(a.children[c][k], b.children[c][k]))
                return false;
    }
    return true;
}

}  // namespace ktdv::imaging::tiff
