// Copying a directory tree from one file into another (tiffchain.h).
#include <QCoreApplication>
#include <QSet>

#include <algorithm>

#include "imaging/limits.h"
#include "imaging/tiffchain.h"
#include "imaging/tiffstructure.h"

namespace ktdv::imaging::tiff {

namespace {

constexpr quint16 kStripOffsets = 273, kStripByteCounts = 279;
constexpr quint16 kTileOffsets = 324, kTileByteCounts = 325;
constexpr quint16 kJpegIf = 513, kJpegIfLength = 514;
constexpr quint16 kJpegQTables = 519;
constexpr quint16 kSubIfds = 330;
constexpr int kMaxDepth = 8;
constexpr int kMaxChildren = 256;

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
                return fail(error,
                            QCoreApplication::translate(
                                "ktdv::imaging", "The page does not fit a classic TIFF file"));
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
        return fail(error,
                    QCoreApplication::translate("ktdv::imaging", "The image data overlaps itself"));
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
            return fail(&error, QCoreApplication::translate("ktdv::imaging",
                                                            "Image data lies outside the file"));
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
            return fail(&error, QCoreApplication::translate("ktdv::imaging",
                                                            "The image data's sizes are missing"));
        const QVector<quint64> o = numbersOf(m_src, *offsets), c = numbersOf(m_src, *counts);
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
            const quint64 off = numbersOf(m_src, *e).value(0);
            const DirEntry* length = dir.find(kJpegIfLength);
            quint64 size = length ? numbersOf(m_src, *length).value(0) : 0;
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
                    return fail(&error, QCoreApplication::translate(
                                            "ktdv::imaging", "JPEG data lies outside the file"));
            }
            out->set(offsetEntry(kJpegIf, e->type, {at}, m_sink.format()));
        }
        for (int t = 0; t < 3; ++t) {
            const DirEntry* e = dir.find(quint16(kJpegQTables + t));
            if (!e)
                continue;
            QVector<quint64> placed;
            for (quint64 off : numbersOf(m_src, *e)) {
                const quint64 size = jpegTableSize(m_src, t, off);
                quint64 at = 0;
                if (size == 0 || !place(off, size, &at))
                    return fail(&error, QCoreApplication::translate("ktdv::imaging",
                                                                    "A JPEG table is damaged"));
                placed.append(at);
            }
            out->set(offsetEntry(e->tag, e->type, placed, m_sink.format()));
        }
        return true;
    }

    bool children(const Directory& dir, Directory* out, int depth) {
        for (const DirEntry& e : dir.entries) {
            if (!isSubDirectoryTag(e.tag))
                continue;
            const QVector<quint64> offsets = numbersOf(m_src, e);
            if (offsets.size() > kMaxChildren || depth >= kMaxDepth)
                return fail(&error, QCoreApplication::translate("ktdv::imaging",
                                                                "Too many sub-directories"));
            QVector<quint64> firsts;
            for (quint64 next : offsets) {
                quint64 first = 0, previousLink = 0;
                // SubIFDs may be chained; the other kinds are single directories.
                for (int k = 0; next != 0 && k < kMaxChildren; ++k) {
                    if (m_visited.contains(next))
                        return fail(&error, QCoreApplication::translate("ktdv::imaging",
                                                                        "The directories loop"));
                    m_visited.insert(next);
                    Directory child, copied;
                    if (!readDirectory(m_src, next, &child, &error) ||
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

bool copyDirectory(const FileSource& src, const Directory& dir, Sink& sink, Directory* out,
                   CopyBudget& budget, QString* error, int depth) {
    Copier copier(src, sink, budget);
    if (copier.copy(dir, out, depth))
        return true;
    return fail(error, copier.error);
}

}  // namespace ktdv::imaging::tiff
