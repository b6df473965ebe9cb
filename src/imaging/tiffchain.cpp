#include "imaging/tiffchain.h"

#include <QCoreApplication>
#include <QSet>

#include <unistd.h>
#include <algorithm>
#include <bitset>
#include <cerrno>
#include <cstring>

#include "imaging/limits.h"
#include "imaging/safefilewriter.h"
#include "imaging/tiffstructure.h"

namespace ktdv::imaging::tiff {

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

// The value in another byte order or form; false when a BigTIFF value does not fit a
// classic file.

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
            image += numbersOf(m_src, *e).value(0);
        for (quint16 t = kJpegQTables; t <= kJpegAcTables; ++t)
            if (const DirEntry* e = dir->find(t))
                image += 64 * e->count;
        for (const DirEntry& e : dir->entries) {
            if (!isSubDirectoryTag(e.tag))
                continue;
            const QVector<quint64> offsets = numbersOf(m_src, e);
            if (offsets.size() > kMaxChildren || depth >= kMaxDepth)
                return fail(&error, QCoreApplication::translate("ktdv::imaging",
                                                                "Too many sub-directories"));
            for (quint64 next : offsets) {
                for (int k = 0; next != 0 && k < kMaxChildren; ++k) {
                    if (m_visited.contains(next))
                        return fail(&error, QCoreApplication::translate("ktdv::imaging",
                                                                        "The directories loop"));
                    m_visited.insert(next);
                    Directory child;
                    if (!readDirectory(m_src, next, &child, &error) || !run(&child, depth + 1))
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
            return fail(&error, QCoreApplication::translate("ktdv::imaging",
                                                            "The image data's sizes are missing"));
        const QVector<quint64> o = numbersOf(m_src, *offsets), c = numbersOf(m_src, *counts);
        for (int i = 0; i < o.size(); ++i) {
            if (!m_src.has(o[i], c[i]))
                return fail(&error, QCoreApplication::translate(
                                        "ktdv::imaging", "Image data lies outside the file"));
            *bytes += c[i];
        }
        return true;
    }

    const FileSource& m_src;
    QSet<quint64> m_visited;
};

// Copies directories of one source into a sink, each visited once.
}  // namespace

bool readDirectory(const FileSource& src, quint64 at, Directory* dir, QString* error) {
    const Format& f = src.format();
    *dir = Directory();
    dir->at = at;
    if (!src.has(at, f.countSize()))
        return fail(error, QCoreApplication::translate("ktdv::imaging", "A directory is damaged"));
    const QByteArray countBytes = src.bytes(at, f.countSize());
    if (countBytes.isEmpty())
        return fail(error, QCoreApplication::translate("ktdv::imaging", "The file cannot be read"));
    const ByteView counted(reinterpret_cast<const uchar*>(countBytes.constData()), f.countSize(),
                           f.bigEndian);
    const quint64 n = f.bigTiff ? counted.u64(0) : counted.u16(0);
    if (n == 0 || n > 4096 || !src.has(at, f.countSize() + n * f.entrySize() + f.linkSize()))
        return fail(error, QCoreApplication::translate("ktdv::imaging", "A directory is damaged"));
    // The table and what lies around it in one read.
    const quint64 tableAt = at + f.countSize();
    const quint64 tableSize = n * f.entrySize() + f.linkSize();
    const quint64 windowAt = tableAt - qMin(tableAt, kWindow);
    const QByteArray window =
        src.bytes(windowAt, qMin(src.size() - windowAt, tableAt - windowAt + tableSize + kWindow));
    if (quint64(window.size()) < tableAt - windowAt + tableSize)
        return fail(error, QCoreApplication::translate("ktdv::imaging", "The file cannot be read"));
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
            return fail(
                error,
                QCoreApplication::translate("ktdv::imaging", "Tag %1 is too large").arg(entry.tag));
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
                return fail(error, QCoreApplication::translate("ktdv::imaging",
                                                               "Tag %1 lies outside the file")
                                       .arg(entry.tag));
            if (entry.valueAt >= windowAt && v.has(entry.valueAt - windowAt, size))
                entry.value = window.mid(qsizetype(entry.valueAt - windowAt), qsizetype(size));
            else if (size <= kHeldValueBytes &&
                     (entry.value = src.bytes(entry.valueAt, size)).isEmpty())
                return fail(
                    error, QCoreApplication::translate("ktdv::imaging", "The file cannot be read"));
        }
        dir->entries.append(entry);
    }
    if (!pageEntry)
        return fail(error, QCoreApplication::translate("ktdv::imaging", "A directory is damaged"));
    const quint64 link = base + n * f.entrySize();
    dir->next = f.bigTiff ? v.u64(link) : v.u32(link);
    return true;
}

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

bool isSubDirectoryTag(quint16 tag) {
    return tag == kSubIfds || tag == 34665 || tag == 34853 || tag == 40965;
}

QVector<quint64> numbersOf(const FileSource& src, const DirEntry& e) {
    return numbers(valueOf(src, e), e.type, e.count, src.format().bigEndian);
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
        if (!readDirectory(src, next, &dir, &damage)) {
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
        return fail(error,
                    QCoreApplication::translate("ktdv::imaging", "The TIFF file has no pages"));
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
            m_error = QCoreApplication::translate("ktdv::imaging", "Cannot read the image data");
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
        m_error = QCoreApplication::translate("ktdv::imaging", "Cannot write the file: %1")
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
            m_error = QCoreApplication::translate("ktdv::imaging", "Cannot write the file: %1")
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

}  // namespace ktdv::imaging::tiff
