#pragma once
// A TIFF file as a tree of directories whose tags and data blocks are kept as raw bytes,
// so pages can be dropped, reordered or retagged and written back without decoding.
// Offsets are not kept: the writer lays the file out anew and relocates every
// offset-bearing tag (strips, tiles, JPEG interchange data and tables, sub-directories,
// EXIF, GPS and Interoperability directories). FreeOffsets/FreeByteCounts are dropped.
// Byte order and classic/BigTIFF are kept. Reentrant; no shared state.

#include <QByteArray>
#include <QString>
#include <QVector>

#include <vector>

namespace ktdv::imaging::tiff {

struct Entry {
    quint16 tag = 0;
    quint16 type = 0;
    quint64 count = 0;
    QByteArray value;  // count * type size bytes, in the file's byte order
};

struct Ifd {
    QVector<Entry> entries;             // ascending tag order
    QVector<QByteArray> blocks;         // strips or tiles (StripOffsets/TileOffsets)
    QByteArray jpegInterchange;         // JPEGInterchangeFormat data
    int jpegInterchangeBlock = -1;      // or: it starts where this block starts
    QVector<QByteArray> jpegTables[3];  // JPEGQTables, JPEGDCTables, JPEGACTables
    // Directories hanging off this one: SubIFDs (each with its chain), EXIF, GPS, Interop.
    std::vector<quint16> childTags;          // the tag each child hangs from
    std::vector<std::vector<Ifd>> children;  // one chain per child (most chains hold one)

    const Entry* find(quint16 tag) const;
    Entry* find(quint16 tag);
    // Numeric value i of a tag (0 when absent).
    quint64 number(quint16 tag, bool bigEndian, quint64 index = 0) const;
    void set(const Entry& entry);  // insert or replace, keeping tag order
    void remove(quint16 tag);
};

struct File {
    bool bigEndian = false;
    bool bigTiff = false;
    std::vector<Ifd> pages;
};

// Reads the whole structure. Fails (with *error) when a page's data lies outside the
// file or a sub-directory loops; a broken or looping page chain ends the page list
// (as the viewer shows it).
bool read(const QByteArray& bytes, File* file, QString* error);
// Lays the file out anew. "" (and *error) when a classic TIFF would pass 4 GB.
QByteArray write(const File& file, QString* error = nullptr);

// True when two directories hold the same tags (offset values aside), data and children.
bool sameContent(const Ifd& a, const Ifd& b);

// Tags whose values are offsets into the file (relocated by the writer).
bool isOffsetTag(quint16 tag);

}  // namespace ktdv::imaging::tiff
