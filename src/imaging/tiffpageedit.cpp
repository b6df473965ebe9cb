#include "imaging/tiffpageedit.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "imaging/decoders.h"
#include "imaging/document.h"
#include "imaging/limits.h"
#include "imaging/tiffbytes.h"
#include "imaging/tiffencode.h"
#include "imaging/tiffstructure.h"

namespace ktdv::imaging {

namespace {

constexpr quint16 kPageNumber = 297;
constexpr quint16 kXResolution = 282, kYResolution = 283;

// Tags that describe the image data itself; replaced as one set when a page's image is.
constexpr quint16 kImageTags[] = {256, 257, 258, 259, 262, 266, 273, 274, 277, 278,
                                  279, 280, 281, 284, 292, 293, 317, 320, 322, 323,
                                  324, 325, 338, 339, 340, 341, 347, 512, 513, 514,
                                  515, 517, 518, 519, 520, 521, 529, 530, 531, 532};

WriteResult failure(const QString& message) {
    WriteResult r;
    r.error = message;
    return r;
}

bool readOnly(const QString& path) {
    struct stat st;
    const QByteArray native = QFile::encodeName(path);
    if (::stat(native.constData(), &st) != 0)
        return false;
    return (st.st_mode & 0222) == 0 || !QFileInfo(path).isWritable();
}

// Reads the file's structure; an error result when it cannot be edited.
bool load(const QString& path, tiff::File* file, WriteResult* result) {
    if (!QFileInfo::exists(path)) {
        *result = failure(QStringLiteral("%1 does not exist").arg(path));
        return false;
    }
    if (readOnly(path)) {
        *result = failure(QStringLiteral("%1 is read-only").arg(path));
        return false;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *result = failure(QStringLiteral("Cannot read %1: %2").arg(path, f.errorString()));
        return false;
    }
    QString error;
    if (!tiff::read(f.readAll(), file, &error)) {
        *result = failure(QStringLiteral("Cannot edit %1: %2").arg(path, error));
        return false;
    }
    return true;
}

// PageNumber (page i of n) where a page carries it.
void renumber(tiff::File* file) {
    const quint16 total = quint16(qMin<size_t>(file->pages.size(), 0xFFFF));
    for (size_t i = 0; i < file->pages.size(); ++i) {
        tiff::Entry* e = file->pages[i].find(kPageNumber);
        if (!e || e->count < 2)
            continue;
        const int size = tiff::typeSize(e->type);
        if (size != 2 && size != 4)
            continue;
        auto* p = reinterpret_cast<uchar*>(e->value.data());
        if (size == 2) {
            tiff::put16(p, quint16(i), file->bigEndian);
            tiff::put16(p + 2, total, file->bigEndian);
        } else {
            tiff::put32(p, quint32(i), file->bigEndian);
            tiff::put32(p + 4, total, file->bigEndian);
        }
    }
}

WriteResult save(const QString& path, const tiff::File& file) {
    QString error;
    const QByteArray bytes = tiff::write(file, &error);
    if (bytes.isEmpty())
        return failure(error);
    return writeFileSafely(path,
                           [&bytes](QIODevice& out) { return out.write(bytes) == bytes.size(); });
}

bool validIndex(const tiff::File& file, int index) {
    return index >= 0 && size_t(index) < file.pages.size();
}

}  // namespace

WriteResult deletePage(const QString& path, int index) {
    tiff::File file;
    WriteResult r;
    if (!load(path, &file, &r))
        return r;
    if (!validIndex(file, index))
        return failure(QStringLiteral("There is no page %1").arg(index + 1));
    if (file.pages.size() == 1)
        return failure(QStringLiteral("The last page cannot be deleted"));
    file.pages.erase(file.pages.begin() + index);
    renumber(&file);
    return save(path, file);
}

WriteResult movePage(const QString& path, int from, int to) {
    tiff::File file;
    WriteResult r;
    if (!load(path, &file, &r))
        return r;
    if (!validIndex(file, from) || !validIndex(file, to))
        return failure(QStringLiteral("There is no such page"));
    if (from == to) {
        r.ok = true;
        return r;
    }
    tiff::Ifd page = std::move(file.pages[size_t(from)]);
    file.pages.erase(file.pages.begin() + from);
    file.pages.insert(file.pages.begin() + to, std::move(page));
    renumber(&file);
    return save(path, file);
}

namespace {

// Tags a caller may set: private and descriptive ones, never those that describe or locate
// the image data.
bool writableTag(quint16 tag) {
    return !tiff::isOffsetTag(tag) && tag >= 254 &&
           !(tag >= 256 && tag <= 532 && tag != 270 && tag != 305);
}

void setTag(tiff::Ifd& page, quint16 tag, const QByteArray& value) {
    if (value.isEmpty()) {
        page.remove(tag);
        return;
    }
    tiff::Entry e;
    e.tag = tag;
    e.type = 7;  // UNDEFINED
    e.count = quint64(value.size());
    e.value = value;
    page.set(e);
}

struct TagChange {
    bool set = false;
    quint16 tag = 0;
    QByteArray value;
};

WriteResult replaceImage(const QString& path, int index, const QImage& image, bool quarterTurn,
                         const TagChange& change);

}  // namespace

WriteResult replacePageImage(const QString& path, int index, const QImage& image,
                             bool quarterTurn) {
    return replaceImage(path, index, image, quarterTurn, {});
}

WriteResult replacePageImage(const QString& path, int index, const QImage& image, bool quarterTurn,
                             quint16 tag, const QByteArray& tagValue) {
    if (!writableTag(tag))
        return failure(QStringLiteral("Tag %1 cannot be written").arg(tag));
    return replaceImage(path, index, image, quarterTurn, {true, tag, tagValue});
}

namespace {

WriteResult replaceImage(const QString& path, int index, const QImage& image, bool quarterTurn,
                         const TagChange& change) {
    tiff::File file;
    WriteResult r;
    if (!load(path, &file, &r))
        return r;
    if (!validIndex(file, index))
        return failure(QStringLiteral("There is no page %1").arg(index + 1));
    if (image.isNull())
        return failure(QStringLiteral("No image to write"));
    tiff::Ifd& page = file.pages[size_t(index)];
    const bool big = file.bigEndian;

    // The page's own coding where it can hold the new image.
    detail::EncodeOptions options;
    options.compression = int(page.number(259, big));
    if (!page.find(259))
        options.compression = 1;
    options.group3Options = quint32(page.number(292, big)) & 5u;  // 2-D, fill bits
    options.minIsBlack = page.find(262) && page.number(262, big) == 1;
    options.bigEndian = big;
    switch (options.compression) {
        case 1:      // none
        case 3:      // G3
        case 4:      // G4
        case 5:      // LZW
        case 7:      // JPEG
        case 8:      // Deflate
        case 32946:  // Deflate (old code)
        case 32773:  // PackBits
            break;
        case 6:  // old-style JPEG is written as JPEG
            options.compression = 7;
            break;
        default:
            options.compression = 0;
    }
    const bool bilevel =
        image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB;
    if (bilevel && options.compression != 3 && options.compression != 4)
        options.compression = 4;
    QImage toWrite = image;
    // Resolution of the new image: the page's, swapped for a quarter turn.
    QTemporaryDir dir;
    if (!dir.isValid())
        return failure(QStringLiteral("Cannot create a temporary folder"));
    const QString encoded = dir.filePath(QStringLiteral("page.tif"));
    QString error;
    if (!detail::encodeTiff(encoded, toWrite, options, &error))
        return failure(QStringLiteral("Cannot encode the page: %1").arg(error));
    QFile encodedFile(encoded);
    if (!encodedFile.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("Cannot read the encoded page"));
    tiff::File fresh;
    if (!tiff::read(encodedFile.readAll(), &fresh, &error) || fresh.pages.empty())
        return failure(QStringLiteral("Cannot read the encoded page: %1").arg(error));
    const tiff::Ifd& source = fresh.pages.front();
    if (fresh.bigEndian != file.bigEndian)
        return failure(QStringLiteral("The encoded page's byte order differs"));

    for (quint16 tag : kImageTags)
        page.remove(tag);
    for (quint16 tag : kImageTags)
        if (const tiff::Entry* e = source.find(tag))
            page.set(*e);
    page.blocks = source.blocks;
    page.jpegInterchange.clear();
    page.jpegInterchangeBlock = -1;
    for (auto& t : page.jpegTables)
        t.clear();
    if (quarterTurn) {
        const tiff::Entry* x = page.find(kXResolution);
        const tiff::Entry* y = page.find(kYResolution);
        if (x && y) {
            tiff::Entry nx = *y, ny = *x;
            nx.tag = kXResolution;
            ny.tag = kYResolution;
            page.set(nx);
            page.set(ny);
        }
    }
    if (change.set)
        setTag(page, change.tag, change.value);
    // In BigTIFF files the offsets are rewritten as 8-byte values by the writer; the
    // counts copied from a classic file stay valid as they are.
    return save(path, file);
}

}  // namespace

QByteArray readPageTag(const QString& path, int index, quint16 tag, TagRead* how) {
    // Read on every page load: the open document keeps the directory offsets of the files
    // read last, so this reads the one directory and the entry's bytes.
    const auto doc = Document::open(path);
    if (!doc) {
        if (how)
            *how = TagRead::Unreadable;
        return {};
    }
    return doc->readPageTag(index, tag, how);
}

WriteResult writePageTag(const QString& path, int index, quint16 tag, const QByteArray& value) {
    tiff::File file;
    WriteResult r;
    if (value.size() > limits::kMaxTagBytes)
        return failure(QStringLiteral("The value of tag %1 is too large").arg(tag));
    if (!load(path, &file, &r))
        return r;
    if (!validIndex(file, index))
        return failure(QStringLiteral("There is no page %1").arg(index + 1));
    if (!writableTag(tag))
        return failure(QStringLiteral("Tag %1 cannot be written").arg(tag));
    tiff::Ifd& page = file.pages[size_t(index)];
    if (value.isEmpty() && !page.find(tag)) {
        r.ok = true;
        return r;
    }
    setTag(page, tag, value);
    return save(path, file);
}

}  // namespace ktdv::imaging
