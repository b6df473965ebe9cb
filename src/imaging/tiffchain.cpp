#include "imaging/tiffchain.h"

#include <QSet>

#include <unistd.h>
#include <algorithm>
#include <bitset>
#include <cerrno>
#include <cstring>
#include <memory>

#include "imaging/limits.h"
#include "imaging/safefilewriter.h"
#include "imaging/tiffstructure.h"

namespace ktdv::imaging::tiff {

namespace {

constexpr quint16 kStripOffsets = 273, kStripByteCounts = 279;
constexpr quint16 kTileOffsets = 324, kTileByteCounts = 325;
constexpr quint16 kFreeOffsets = 288, kFreeByteCounts = 289;
constexpr quint16 kJpegIf = 513, kJpegIfLength = 514;
constexpr quint16 kJpegQTables = 519, kJpegAcTables = 521;
constexpr quint16 kSubIfds = 330;
constexpr int kMaxDepth = 8;
constexpr int kMaxChildren = 256;
constexpr qsizetype kBufferBytes = 1 << 20;
// Out-of-line values up to this size are read with their directory.
constexpr quint64 kHeldValueBytes = 256;
// Bytes around a directory read with it (values usually lie next to their directory).
constexpr quint64 kWindow = 512;

bool isChildTag(quint16 tag) {
    return tag == kSubIfds || tag == 34665 || tag == 34853 || tag == 40965;
}

bool fail(QString* error, const QString& message) {
    if (error && error->isEmpty())
        *error = message;
    return false;
}

QVector<quint64> numbers(const QByteArray& value, quint16 type, quint64 count, bool big) {
    QVector<quint64> out;
    const ByteView v(reinterpret_cast<const uchar*>(value.constData()), quint64(value.size()), big);
    for (quint64 i = 0; i < count; ++i)
        out.append(v.element(type, 0, i));
    return out;
}

QVector<quint64> numbers(const FileSource& src, const DirEntry& e) {
    return numbers(valueOf(src, e), e.type, e.count, src.format().bigEndian);
}

// The value in another byte order or form; false when a BigTIFF value does not fit a
// classic file.
bool convert(QByteArray* value, quint16* type, const Format& from, const Format& to,
             QString* error) {
    const int size = typeSize(*type);
    if (from.bigEndian != to.bigEndian && size > 1) {
        const int unit = *type == 5 || *type == 10 ? 4 : size;  // rationals: two longs
        char* p = value->data();
        for (qsizetype i = 0; i + unit <= value->size(); i += unit)
            std::reverse(p + i, p + i + unit);
    }
    if (!to.bigTiff && (*type == 16 || *type == 17 || *type == 18)) {
        const QVector<quint64> wide =
            numbers(*value, *type, quint64(value->size() / 8), to.bigEndian);
        QByteArray narrow(wide.size() * 4, '\0');
        for (int i = 0; i < wide.size(); ++i) {
            const bool fits =
                *type == 17 ? qint64(wide[i]) == qint64(qint32(wide[i])) : wide[i] <= 0xFFFFFFFFull;
            if (!fits)
                return fail(error, QStringLiteral("The page does not fit a classic TIFF file"));
            put32(reinterpret_cast<uchar*>(narrow.data()) + i * 4, quint32(wide[i]), to.bigEndian);
        }
        *value = narrow;
        *type = *type == 16 ? 4 : *type == 17 ? 9 : 13;
    }
    return true;
}

// An entry holding offsets into the sink's file: 4-byte types where they fit.
DirEntry offsetEntry(quint16 tag, quint16 originalType, const QVector<quint64>& offsets,
                     const Format& f) {
    DirEntry e;
    e.tag = tag;
    const bool fits =
        std::all_of(offsets.begin(), offsets.end(), [](quint64 o) { return o <= 0xFFFFFFFFull; });
    const bool ifd = originalType == 13 || originalType == 18;
    if (!f.bigTiff || (fits && (originalType == 4 || originalType == 13)))
        e.type = ifd ? 13 : 4;
    else
        e.type = ifd ? 18 : 16;
    e.count = quint64(offsets.size());
    const int size = typeSize(e.type);
    e.value = QByteArray(offsets.size() * size, '\0');
    auto* p = reinterpret_cast<uchar*>(e.value.data());
    for (int i = 0; i < offsets.size(); ++i) {
        if (size == 8)
            put64(p + i * 8, offsets[i], f.bigEndian);
        else
            put32(p + i * 4, quint32(offsets[i]), f.bigEndian);
    }
    return e;
}

bool spend(CopyBudget& budget, quint64 bytes, QString* error) {
    if (bytes > budget.left)
        return fail(error, QStringLiteral("The image data overlaps itself"));
    budget.left -= bytes;
    return true;
}

// Size of a JPEG table at `off`: 64 bytes for quantisation, else 16 code counts and the
// values they count.
quint64 jpegTableSize(const FileSource& src, int kind, quint64 off) {
    if (kind == 0)
        return 64;
    const QByteArray counts = src.bytes(off, 16);
    quint64 size = 16;
    for (char c : counts)
        size += uchar(c);
    return counts.size() == 16 ? size : 0;
}

bool readDirectoryAt(const FileSource& src, quint64 at, Directory* dir, QString* error);

// Walks a directory's image data and children for their size, checking that they lie in
// the file.
class Measure {
public:
    explicit Measure(const FileSource& src) : m_src(src) {}
    QString error;

    bool run(Directory* dir, int depth) {
        quint64 image = 0, children = 0;
        if (!blocks(*dir, kStripOffsets, kStripByteCounts, &image) ||
            !blocks(*dir, kTileOffsets, kTileByteCounts, &image))
            return false;
        if (const DirEntry* e = dir->find(kJpegIfLength))
            image += numbers(m_src, *e).value(0);
        for (quint16 t = kJpegQTables; t <= kJpegAcTables; ++t)
            if (const DirEntry* e = dir->find(t))
                image += 64 * e->count;
        for (const DirEntry& e : dir->entries) {
            if (!isChildTag(e.tag))
                continue;
            const QVector<quint64> offsets = numbers(m_src, e);
            if (offsets.size() > kMaxChildren || depth >= kMaxDepth)
                return fail(&error, QStringLiteral("Too many sub-directories"));
            for (quint64 next : offsets) {
                for (int k = 0; next != 0 && k < kMaxChildren; ++k) {
                    if (m_visited.contains(next))
                        return fail(&error, QStringLiteral("The directories loop"));
                    m_visited.insert(next);
                    Directory child;
                    if (!readDirectoryAt(m_src, next, &child, &error) || !run(&child, depth + 1))
                        return false;
                    children += tableBytes(child, m_src.format()) + child.dataBytes;
                    next = e.tag == kSubIfds && offsets.size() == 1 ? child.next : 0;
                }
            }
        }
        dir->imageBytes = image;
        dir->dataBytes = image + children;
        return true;
    }

private:
    bool blocks(const Directory& dir, quint16 offsetTag, quint16 countTag, quint64* bytes) {
        const DirEntry* offsets = dir.find(offsetTag);
        if (!offsets)
            return true;
        const DirEntry* counts = dir.find(countTag);
        if (!counts || counts->count != offsets->count)
            return fail(&error, QStringLiteral("The image data's sizes are missing"));
        const QVector<quint64> o = numbers(m_src, *offsets), c = numbers(m_src, *counts);
        for (int i = 0; i < o.size(); ++i) {
            if (!m_src.has(o[i], c[i]))
                return fail(&error, QStringLiteral("Image data lies outside the file"));
            *bytes += c[i];
        }
        return true;
    }

    const FileSource& m_src;
    QSet<quint64> m_visited;
};

bool readDirectoryAt(const FileSource& src, quint64 at, Directory* dir, QString* error) {
    const Format& f = src.format();
    *dir = Directory();
    dir->at = at;
    if (!src.has(at, f.countSize()))
        return fail(error, QStringLiteral("A directory is damaged"));
    const QByteArray countBytes = src.bytes(at, f.countSize());
    if (countBytes.isEmpty())
        return fail(error, QStringLiteral("The file cannot be read"));
    const ByteView counted(reinterpret_cast<const uchar*>(countBytes.constData()), f.countSize(),
                           f.bigEndian);
    const quint64 n = f.bigTiff ? counted.u64(0) : counted.u16(0);
    if (n == 0 || n > 4096 || !src.has(at, f.countSize() + n * f.entrySize() + f.linkSize()))
        return fail(error, QStringLiteral("A directory is damaged"));
    // The table and what lies around it in one read.
    const quint64 tableAt = at + f.countSize();
    const quint64 tableSize = n * f.entrySize() + f.linkSize();
    const quint64 windowAt = tableAt - qMin(tableAt, kWindow);
    const QByteArray window =
        src.bytes(windowAt, qMin(src.size() - windowAt, tableAt - windowAt + tableSize + kWindow));
    if (quint64(window.size()) < tableAt - windowAt + tableSize)
        return fail(error, QStringLiteral("The file cannot be read"));
    const ByteView v(reinterpret_cast<const uchar*>(window.constData()), quint64(window.size()),
                     f.bigEndian);
    const quint64 base = tableAt - windowAt;
    std::bitset<65536> seen;
    bool pageEntry = false;
    for (quint64 i = 0; i < n; ++i) {
        const quint64 e = base + i * f.entrySize();
        DirEntry entry;
        entry.tag = v.u16(e);
        entry.type = v.u16(e + 2);
        entry.count = f.bigTiff ? v.u64(e + 4) : v.u32(e + 4);
        const int ts = typeSize(entry.type);
        pageEntry = pageEntry || isPageEntry(entry.tag, entry.type);
        if (ts == 0)
            continue;  // unknown type: its size is unknowable, as libtiff skips it
        if (entry.count > quint64(limits::kMaxTagBytes) / quint64(ts))
            return fail(error, QStringLiteral("Tag %1 is too large").arg(entry.tag));
        // A repeated tag: the first counts. Free-space lists are dropped.
        if (entry.tag == kFreeOffsets || entry.tag == kFreeByteCounts || seen.test(entry.tag))
            continue;
        seen.set(entry.tag);
        const quint64 size = entry.size();
        const quint64 field = e + 4 + (f.bigTiff ? 8 : 4);
        if (size <= f.linkSize()) {
            entry.value = window.mid(qsizetype(field), qsizetype(size));
        } else {
            entry.valueAt = f.bigTiff ? v.u64(field) : v.u32(field);
            if (!src.has(entry.valueAt, size))
                return fail(error, QStringLiteral("Tag %1 lies outside the file").arg(entry.tag));
            if (entry.valueAt >= windowAt && v.has(entry.valueAt - windowAt, size))
                entry.value = window.mid(qsizetype(entry.valueAt - windowAt), qsizetype(size));
            else if (size <= kHeldValueBytes &&
                     (entry.value = src.bytes(entry.valueAt, size)).isEmpty())
                return fail(error, QStringLiteral("The file cannot be read"));
        }
        dir->entries.append(entry);
    }
    if (!pageEntry)
        return fail(error, QStringLiteral("A directory is damaged"));
    const quint64 link = base + n * f.entrySize();
    dir->next = f.bigTiff ? v.u64(link) : v.u32(link);
    return true;
}

// Copies directories of one source into a sink, each visited once.
class Copier {
public:
    Copier(const FileSource& src, Sink& sink, CopyBudget& budget)
        : m_src(src), m_sink(sink), m_budget(budget) {}
    QString error;

    bool copy(const Directory& dir, Directory* out, int depth) {
        const Format &from = m_src.format(), &to = m_sink.format();
        *out = Directory();
        out->changed = true;
        const quint64 start = m_sink.pos();
        for (const DirEntry& e : dir.entries) {
            if (isOffsetTag(e.tag))
                continue;
            DirEntry c = e;
            c.valueAt = 0;
            c.value = valueOf(m_src, e);
            if (!spend(m_budget, quint64(c.value.size()), &error) ||
                !convert(&c.value, &c.type, from, to, &error))
                return false;
            c.count = quint64(c.value.size()) / quint64(typeSize(c.type));
            out->set(c);
        }
        QVector<quint64> stripAt;
        if (!blocks(dir, kStripOffsets, kStripByteCounts, out, &stripAt) ||
            !blocks(dir, kTileOffsets, kTileByteCounts, out, &stripAt) || !jpeg(dir, out, stripAt))
            return false;
        out->imageBytes = m_sink.pos() - start;
        if (!children(dir, out, depth))
            return false;
        out->dataBytes = m_sink.pos() - start;
        return m_sink.ok() || fail(&error, m_sink.error());
    }

private:
    bool place(quint64 off, quint64 length, quint64* at) {
        if (!m_src.has(off, length))
            return fail(&error, QStringLiteral("Image data lies outside the file"));
        return spend(m_budget, length, &error) &&
               (m_sink.copy(m_src, off, length, at) || fail(&error, m_sink.error()));
    }

    bool blocks(const Directory& dir, quint16 offsetTag, quint16 countTag, Directory* out,
                QVector<quint64>* starts) {
        const DirEntry* offsets = dir.find(offsetTag);
        if (!offsets)
            return true;
        const DirEntry* counts = dir.find(countTag);
        if (!counts || counts->count != offsets->count)
            return fail(&error, QStringLiteral("The image data's sizes are missing"));
        const QVector<quint64> o = numbers(m_src, *offsets), c = numbers(m_src, *counts);
        QVector<quint64> placed;
        for (int i = 0; i < o.size(); ++i) {
            quint64 at = 0;
            if (!place(o[i], c[i], &at))
                return false;
            placed.append(at);
        }
        *starts = o;
        m_placed = placed;
        out->set(offsetEntry(offsetTag, offsets->type, placed, m_sink.format()));
        return true;
    }

    bool jpeg(const Directory& dir, Directory* out, const QVector<quint64>& starts) {
        if (const DirEntry* e = dir.find(kJpegIf)) {
            const quint64 off = numbers(m_src, *e).value(0);
            const DirEntry* length = dir.find(kJpegIfLength);
            quint64 size = length ? numbers(m_src, *length).value(0) : 0;
            const qsizetype alias = starts.indexOf(off);
            const quint64 aliasSize =
                alias >= 0 ? numberOf(m_src, dir, kStripByteCounts, alias) : 0;
            quint64 at = 0;
            if (alias >= 0 && (!length || size <= aliasSize)) {
                at = m_placed.value(alias);  // old-style JPEG: the data starts with a strip
            } else {
                if (!length) {  // up to the next image data, or the end of the file
                    quint64 end = m_src.size();
                    for (quint64 s : starts)
                        if (s > off && s < end)
                            end = s;
                    size = qMin<quint64>(end - qMin(end, off), quint64(limits::kMaxTagBytes));
                }
                if (!place(off, size, &at))
                    return fail(&error, QStringLiteral("JPEG data lies outside the file"));
            }
            out->set(offsetEntry(kJpegIf, e->type, {at}, m_sink.format()));
        }
        for (int t = 0; t < 3; ++t) {
            const DirEntry* e = dir.find(quint16(kJpegQTables + t));
            if (!e)
                continue;
            QVector<quint64> placed;
            for (quint64 off : numbers(m_src, *e)) {
                const quint64 size = jpegTableSize(m_src, t, off);
                quint64 at = 0;
                if (size == 0 || !place(off, size, &at))
                    return fail(&error, QStringLiteral("A JPEG table is damaged"));
                placed.append(at);
            }
            out->set(offsetEntry(e->tag, e->type, placed, m_sink.format()));
        }
        return true;
    }

    bool children(const Directory& dir, Directory* out, int depth) {
        for (const DirEntry& e : dir.entries) {
            if (!isChildTag(e.tag))
                continue;
            const QVector<quint64> offsets = numbers(m_src, e);
            if (offsets.size() > kMaxChildren || depth >= kMaxDepth)
                return fail(&error, QStringLiteral("Too many sub-directories"));
            QVector<quint64> firsts;
            for (quint64 next : offsets) {
                quint64 first = 0, previousLink = 0;
                // SubIFDs may be chained; the other kinds are single directories.
                for (int k = 0; next != 0 && k < kMaxChildren; ++k) {
                    if (m_visited.contains(next))
                        return fail(&error, QStringLiteral("The directories loop"));
                    m_visited.insert(next);
                    Directory child, copied;
                    if (!readDirectoryAt(m_src, next, &child, &error) ||
                        !copy(child, &copied, depth + 1))
                        return false;
                    quint64 link = 0;
                    const quint64 at = writeDirectory(m_sink, copied, 0, &link);
                    if (!first)
                        first = at;
                    if (previousLink)
                        m_sink.patchLink(previousLink, at);
                    previousLink = link;
                    next = e.tag == kSubIfds && offsets.size() == 1 ? child.next : 0;
                }
                firsts.append(first);
            }
            out->set(offsetEntry(e.tag, e.type, firsts, m_sink.format()));
        }
        return true;
    }

    const FileSource& m_src;
    Sink& m_sink;
    CopyBudget& m_budget;
    QVector<quint64> m_placed;  // where the strips or tiles went
    QSet<quint64> m_visited;
};

}  // namespace

QByteArray Format::header() const {
    QByteArray h(bigTiff ? 16 : 8, '\0');
    auto* p = reinterpret_cast<uchar*>(h.data());
    p[0] = p[1] = bigEndian ? 'M' : 'I';
    put16(p + 2, bigTiff ? 43 : 42, bigEndian);
    if (bigTiff)
        put16(p + 4, 8, bigEndian);
    return h;
}

bool FileSource::fetch(quint64 off, quint64 length, uchar* out) const {
    if (!has(off, length))
        return false;
    quint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(m_fd, out + done, size_t(length - done), off_t(off + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += quint64(n);
    }
    return true;
}

QByteArray FileSource::bytes(quint64 off, quint64 length) const {
    QByteArray out(qsizetype(length), Qt::Uninitialized);
    if (!fetch(off, length, reinterpret_cast<uchar*>(out.data())))
        return {};
    return out;
}

bool readFormat(int fd, quint64 size, Format* format, quint64* firstIfd) {
    uchar head[16] = {};
    const FileSource raw(fd, size, Format());
    if (!raw.fetch(0, qMin<quint64>(size, 16), head) || size < 8)
        return false;
    if (head[0] != head[1] || (head[0] != 'I' && head[0] != 'M'))
        return false;
    format->bigEndian = head[0] == 'M';
    const FileSource src(fd, size, *format);
    const quint16 magic = src.u16(2);
    if (magic != 42 && magic != 43)
        return false;
    format->bigTiff = magic == 43;
    *firstIfd = format->bigTiff ? FileSource(fd, size, *format).u64(8) : src.u32(4);
    return true;
}

const DirEntry* Directory::find(quint16 tag) const {
    for (const DirEntry& e : entries)
        if (e.tag == tag)
            return &e;
    return nullptr;
}

void Directory::set(const DirEntry& entry) {
    const auto it = std::lower_bound(entries.begin(), entries.end(), entry.tag,
                                     [](const DirEntry& e, quint16 tag) { return e.tag < tag; });
    if (it != entries.end() && it->tag == entry.tag)
        *it = entry;
    else
        entries.insert(it, entry);
}

void Directory::remove(quint16 tag) {
    entries.removeIf([tag](const DirEntry& e) { return e.tag == tag; });
}

QByteArray valueOf(const FileSource& src, const DirEntry& e) {
    if (!e.value.isEmpty() || e.size() == 0 || !e.valueAt)
        return e.value;
    return src.bytes(e.valueAt, e.size());
}

quint64 numberOf(const FileSource& src, const Directory& dir, quint16 tag, quint64 i) {
    const DirEntry* e = dir.find(tag);
    if (!e || i >= e->count)
        return 0;
    const QByteArray v = valueOf(src, *e);
    return ByteView(reinterpret_cast<const uchar*>(v.constData()), quint64(v.size()),
                    src.format().bigEndian)
        .element(e->type, 0, i);
}

quint64 tableBytes(const Directory& dir, const Format& f) {
    quint64 bytes = f.countSize() + quint64(dir.entries.size()) * f.entrySize() + f.linkSize();
    for (const DirEntry& e : dir.entries)
        if (e.size() > f.linkSize())
            bytes += (e.size() + 1) & ~1ull;
    return bytes;
}

bool readPages(const FileSource& src, quint64 first, std::vector<Directory>* pages,
               QString* error) {
    pages->clear();
    QSet<quint64> seen;
    Measure measure(src);
    for (quint64 next = first;
         next != 0 && !seen.contains(next) && int(pages->size()) < limits::kMaxPages;) {
        seen.insert(next);
        Directory dir;
        QString damage;
        if (!readDirectoryAt(src, next, &dir, &damage)) {
            // A damaged directory ends the chain, as for the viewer; a damaged value fails.
            if (damage == QLatin1String("A directory is damaged"))
                break;
            return fail(error, damage);
        }
        if (!measure.run(&dir, 0))
            return fail(error, measure.error);
        next = dir.next;
        pages->push_back(std::move(dir));
    }
    if (pages->empty())
        return fail(error, QStringLiteral("The TIFF file has no pages"));
    return true;
}

void Sink::align() {
    while (pos() % m_format.alignment())
        m_buffer.append('\0');
}

quint64 Sink::append(const QByteArray& bytes) {
    if (m_buffer.size() + bytes.size() > kBufferBytes)
        flush();
    const quint64 at = pos();
    m_buffer.append(bytes);
    return at;
}

bool Sink::copy(const FileSource& src, quint64 off, quint64 length, quint64* at) {
    align();
    *at = pos();
    for (quint64 done = 0; done < length && ok();) {
        const quint64 piece = qMin<quint64>(length - done, kBufferBytes);
        const QByteArray bytes = src.bytes(off + done, piece);
        if (quint64(bytes.size()) != piece) {
            m_error = QStringLiteral("Cannot read the image data");
            return false;
        }
        append(bytes);
        done += piece;
    }
    return ok();
}

void Sink::patchLink(quint64 at, quint64 value) {
    uchar link[8];
    if (m_format.bigTiff)
        put64(link, value, m_format.bigEndian);
    else
        put32(link, quint32(value), m_format.bigEndian);
    const int size = int(m_format.linkSize());
    if (at >= m_at) {
        std::memcpy(m_buffer.data() + (at - m_at), link, size_t(size));
    } else if (ok() && ::pwrite(m_fd, link, size_t(size), off_t(at)) != size) {
        m_error = QStringLiteral("Cannot write the file: %1")
                      .arg(QString::fromLocal8Bit(strerror(errno)));
    }
}

bool Sink::flush() {
    if (!ok())
        return false;
    if (m_announce) {
        m_announce = false;
        if (faults::hit(faults::Step::Append)) {
            m_error = QStringLiteral("Cannot write the file (injected fault)");
            return false;
        }
    }
    qsizetype done = 0;
    while (done < m_buffer.size()) {
        const ssize_t n = ::pwrite(m_fd, m_buffer.constData() + done,
                                   size_t(m_buffer.size() - done), off_t(m_at + quint64(done)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_error = QStringLiteral("Cannot write the file: %1")
                          .arg(QString::fromLocal8Bit(strerror(n < 0 ? errno : ENOSPC)));
            return false;
        }
        done += n;
    }
    m_at += quint64(m_buffer.size());
    m_buffer.clear();
    return true;
}

quint64 writeDirectory(Sink& sink, const Directory& dir, quint64 next, quint64* linkAt) {
    const Format& f = sink.format();
    sink.align();
    const quint64 at = sink.pos();
    const quint64 tableSize =
        f.countSize() + quint64(dir.entries.size()) * f.entrySize() + f.linkSize();
    QByteArray table(qsizetype(tableSize), '\0');
    QByteArray values;
    auto* p = reinterpret_cast<uchar*>(table.data());
    if (f.bigTiff)
        put64(p, quint64(dir.entries.size()), f.bigEndian);
    else
        put16(p, quint16(dir.entries.size()), f.bigEndian);
    for (int i = 0; i < dir.entries.size(); ++i) {
        const DirEntry& e = dir.entries[i];
        uchar* q = p + f.countSize() + quint64(i) * f.entrySize();
        put16(q, e.tag, f.bigEndian);
        put16(q + 2, e.type, f.bigEndian);
        if (f.bigTiff)
            put64(q + 4, e.count, f.bigEndian);
        else
            put32(q + 4, quint32(e.count), f.bigEndian);
        uchar* field = q + (f.bigTiff ? 12 : 8);
        quint64 valueAt = e.valueAt;
        if (e.size() <= f.linkSize()) {
            std::memcpy(field, e.value.constData(),
                        size_t(qMin<quint64>(e.size(), quint64(e.value.size()))));
            continue;
        }
        if (!valueAt) {
            if (values.size() % 2)
                values.append('\0');
            valueAt = at + tableSize + quint64(values.size());
            values.append(e.value);
        }
        if (f.bigTiff)
            put64(field, valueAt, f.bigEndian);
        else
            put32(field, quint32(valueAt), f.bigEndian);
    }
    const quint64 link = tableSize - f.linkSize();
    if (f.bigTiff)
        put64(p + link, next, f.bigEndian);
    else
        put32(p + link, quint32(next), f.bigEndian);
    sink.append(table + values);
    *linkAt = at + link;
    return at;
}

bool copyDirectory(const FileSource& src, const Directory& dir, Sink& sink, Directory* out,
                   CopyBudget& budget, QString* error, int depth) {
    Copier copier(src, sink, budget);
    if (copier.copy(dir, out, depth))
        return true;
    return fail(error, copier.error);
}

}  // namespace ktdv::imaging::tiff
