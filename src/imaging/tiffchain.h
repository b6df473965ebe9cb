#pragma once
// TIFF directories read in place from an open file with positioned reads: the tags and
// small values are held, image data and large values are referred to by offset and length
// and loaded only when needed. The page edits append new directories (and new page data)
// after a file's end through a Sink; the streamed rewrite that compacts a file copies one
// directory tree at a time. Internal to the imaging layer.

#include <QByteArray>
#include <QString>
#include <QVector>

#include <vector>

#include "imaging/tiffbytes.h"

namespace ktdv::imaging::tiff {

// Byte order and form (classic or BigTIFF) of a file.
struct Format {
    bool bigEndian = false;
    bool bigTiff = false;
    quint64 countSize() const { return bigTiff ? 8 : 2; }
    quint64 entrySize() const { return bigTiff ? 20 : 12; }
    quint64 linkSize() const { return bigTiff ? 8 : 4; }  // also the largest inline value
    quint64 firstLinkAt() const { return bigTiff ? 8 : 4; }
    quint64 alignment() const { return bigTiff ? 8 : 2; }
    // The file header with a first-directory link of 0.
    QByteArray header() const;
};

// Positioned reads of an open file (the descriptor is not owned).
class FileSource : public FieldReader<FileSource> {
public:
    FileSource(int fd, quint64 size, Format format)
        : FieldReader(size, format.bigEndian), m_fd(fd), m_format(format) {}
    bool fetch(quint64 off, quint64 length, uchar* out) const;
    // The bytes, or "" when they lie outside the file or cannot be read.
    QByteArray bytes(quint64 off, quint64 length) const;
    const Format& format() const { return m_format; }

private:
    int m_fd;
    Format m_format;
};

// The header of an open file: false when it is not a TIFF file.
bool readFormat(int fd, quint64 size, Format* format, quint64* firstIfd);

struct DirEntry {
    quint16 tag = 0;
    quint16 type = 0;
    quint64 count = 0;
    QByteArray value;     // in the file's byte order; always held when it fits inline
    quint64 valueAt = 0;  // where an out-of-line value lies in the file it was read from
                          // (0: not stored there, write `value` with the directory)
    quint64 size() const { return count * quint64(typeSize(type)); }
};

struct Directory {
    quint64 at = 0;             // where it lies in the file (0: a new directory, not stored yet)
    quint64 next = 0;           // the link stored in it
    QVector<DirEntry> entries;  // ascending tag order
    bool changed = false;       // must be stored anew
    quint64 dataBytes = 0;      // what it refers to (image data, tables, sub-directories)
    quint64 imageBytes = 0;     // the image data alone (strips, tiles, JPEG data and tables)

    const DirEntry* find(quint16 tag) const;
    void set(const DirEntry& entry);  // insert or replace, keeping tag order
    void remove(quint16 tag);
};

// Reads the directory at `at` (its entries and small values): false with *error when it
// is damaged ("A directory is damaged") or a value lies outside the file.
bool readDirectory(const FileSource& src, quint64 at, Directory* dir, QString* error);
// SubIFDs, EXIF, GPS and Interoperability: tags whose values are directory offsets.
bool isSubDirectoryTag(quint16 tag);
// An entry's value as numbers.
QVector<quint64> numbersOf(const FileSource& src, const DirEntry& e);

// The bytes of an entry's value (read from the file when not held).
QByteArray valueOf(const FileSource& src, const DirEntry& e);
// Element i of an entry's value as a number (0 when absent).
quint64 numberOf(const FileSource& src, const Directory& dir, quint16 tag, quint64 i = 0);
// Bytes a directory's own table and the values stored with it take.
quint64 tableBytes(const Directory& dir, const Format& format);

// The page chain as the viewer sees it (it ends at a loop, a broken link or the page
// limit), each page measured (dataBytes) and checked: false with *error when a page's
// data lies outside the file, a tag is too large or a sub-directory loops.
bool readPages(const FileSource& src, quint64 first, std::vector<Directory>* pages, QString* error);

// Writes after a position of an open file through a buffer of about a megabyte. The
// first write announces faults::Step::Append when `announce` is set.
class Sink {
public:
    Sink(int fd, quint64 start, Format format, bool announce = false)
        : m_fd(fd), m_at(start), m_format(format), m_announce(announce) {}
    const Format& format() const { return m_format; }
    quint64 pos() const { return m_at + quint64(m_buffer.size()); }
    bool ok() const { return m_error.isEmpty(); }
    const QString& error() const { return m_error; }
    void align();
    quint64 append(const QByteArray& bytes);  // where they start
    // Copies bytes of `src` in pieces; where they start in *at.
    bool copy(const FileSource& src, quint64 off, quint64 length, quint64* at);
    void patchLink(quint64 at, quint64 value);  // a directory link or the header's
    bool flush();

private:
    int m_fd;
    quint64 m_at;  // where the buffer starts in the file
    Format m_format;
    bool m_announce;
    QByteArray m_buffer;
    QString m_error;
};

// Writes a directory at the sink's end, linked to `next`; *linkAt is where the link lies.
// Entries with valueAt keep pointing there (the directory must be of the sink's file).
quint64 writeDirectory(Sink& sink, const Directory& dir, quint64 next, quint64* linkAt);

// Bytes a copy may take from its source: a file whose directories share data must not
// become many times its size.
struct CopyBudget {
    quint64 left = 0;
    static CopyBudget forSource(const FileSource& src) { return {4 * src.size() + 65536}; }
};

// Copies all that `dir` (of src) refers to into the sink, in the sink's format, and gives
// the directory with every value held and every offset pointing into the sink's file.
bool copyDirectory(const FileSource& src, const Directory& dir, Sink& sink, Directory* out,
                   CopyBudget& budget, QString* error, int depth = 0);

// Sets *error (when given and still empty) to message; false, for `return fail(...)`.
bool fail(QString* error, const QString& message);
// The count numbers of a tag's value of the given type, in the file's byte order.
QVector<quint64> numbers(const QByteArray& value, quint16 type, quint64 count, bool big);

}  // namespace ktdv::imaging::tiff
