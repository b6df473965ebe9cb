#pragma once
// Bounds-checked reading of TIFF numbers from a byte buffer in either byte order.
// Internal to the imaging layer.

#include <QtGlobal>

#include <cstring>

namespace ktdv::imaging::tiff {

// TIFF field types and their sizes in bytes (0 for unknown types).
inline int typeSize(quint16 type) {
    switch (type) {
        case 1:  // BYTE
        case 2:  // ASCII
        case 6:  // SBYTE
        case 7:  // UNDEFINED
            return 1;
        case 3:  // SHORT
        case 8:  // SSHORT
            return 2;
        case 4:   // LONG
        case 9:   // SLONG
        case 11:  // FLOAT
        case 13:  // IFD
            return 4;
        case 5:   // RATIONAL
        case 10:  // SRATIONAL
        case 12:  // DOUBLE
        case 16:  // LONG8
        case 17:  // SLONG8
        case 18:  // IFD8
            return 8;
        default:
            return 0;
    }
}

// Whether a directory entry makes its directory a page: a known type, and not one of the
// free-space tags that edits drop. A directory without one is damaged and ends the chain
// for the viewer and the editor alike.
inline bool isPageEntry(quint16 tag, quint16 type) {
    return typeSize(type) != 0 && tag != 288 && tag != 289;
}

// Byte-order-aware reads of TIFF numbers over any source of bytes of a known size. Source
// provides fetch(offset, length, out), which copies the bytes out and fails outside the
// source. Each reader returns 0 where fetch() fails; callers check has() where it matters.
template <class Source>
class FieldReader {
public:
    FieldReader(quint64 size, bool bigEndian) : m_size(size), m_big(bigEndian) {}

    quint64 size() const { return m_size; }
    bool bigEndian() const { return m_big; }
    bool has(quint64 offset, quint64 length) const {
        return offset <= m_size && length <= m_size - offset;
    }
    quint16 u16(quint64 off) const {
        uchar p[2];
        if (!source().fetch(off, 2, p))
            return 0;
        return m_big ? quint16((p[0] << 8) | p[1]) : quint16((p[1] << 8) | p[0]);
    }
    quint32 u32(quint64 off) const {
        uchar p[4];
        if (!source().fetch(off, 4, p))
            return 0;
        return m_big ? (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3]
                     : (quint32(p[3]) << 24) | (quint32(p[2]) << 16) | (quint32(p[1]) << 8) | p[0];
    }
    quint64 u64(quint64 off) const {
        if (!has(off, 8))
            return 0;
        const quint64 a = u32(off), b = u32(off + 4);
        return m_big ? (a << 32) | b : (b << 32) | a;
    }
    // One element of an array of the given integer type.
    quint64 element(quint16 type, quint64 off, quint64 index) const {
        switch (typeSize(type)) {
            case 1: {
                uchar b = 0;
                return source().fetch(off + index, 1, &b) ? b : 0;
            }
            case 2:
                return u16(off + index * 2);
            case 4:
                return u32(off + index * 4);
            case 8:
                return u64(off + index * 8);
            default:
                return 0;
        }
    }

private:
    const Source& source() const { return static_cast<const Source&>(*this); }

    quint64 m_size;
    bool m_big;
};

// The reads over a buffer in memory.
class ByteView : public FieldReader<ByteView> {
public:
    ByteView(const uchar* data, quint64 size, bool bigEndian)
        : FieldReader(size, bigEndian), m_data(data) {}

    const uchar* data() const { return m_data; }
    bool fetch(quint64 off, quint64 length, uchar* out) const {
        if (!has(off, length))
            return false;
        std::memcpy(out, m_data + off, size_t(length));
        return true;
    }

private:
    const uchar* m_data;
};

// Writers of numbers in a byte order.
inline void put16(uchar* p, quint16 v, bool big) {
    if (big) {
        p[0] = uchar(v >> 8), p[1] = uchar(v);
    } else {
        p[0] = uchar(v), p[1] = uchar(v >> 8);
    }
}
inline void put32(uchar* p, quint32 v, bool big) {
    for (int i = 0; i < 4; ++i)
        p[big ? 3 - i : i] = uchar(v >> (8 * i));
}
inline void put64(uchar* p, quint64 v, bool big) {
    for (int i = 0; i < 8; ++i)
        p[big ? 7 - i : i] = uchar(v >> (8 * i));
}

}  // namespace ktdv::imaging::tiff
