#include "imaging/tiffpageedit.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include "imaging/document.h"
#include "imaging/limits.h"
#include "imaging/tiffedit.h"
#include "imaging/tiffencode.h"
#include "imaging/tiffstructure.h"

namespace ktdv::imaging {

namespace {

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

}  // namespace

WriteResult deletePage(const QString& path, int index) {
    return detail::editFile(path, [index](detail::TiffEdit& edit, WriteResult* r) {
        if (!edit.validIndex(index)) {
            *r = failure(
                QCoreApplication::translate("ktdv::imaging", "There is no page %1").arg(index + 1));
            return false;
        }
        if (edit.pages().size() == 1) {
            *r = failure(
                QCoreApplication::translate("ktdv::imaging", "The last page cannot be deleted"));
            return false;
        }
        edit.pages().erase(edit.pages().begin() + index);
        edit.renumber();
        return true;
    });
}

WriteResult movePage(const QString& path, int from, int to) {
    return detail::editFile(path, [from, to](detail::TiffEdit& edit, WriteResult* r) {
        if (!edit.validIndex(from) || !edit.validIndex(to)) {
            *r = failure(QCoreApplication::translate("ktdv::imaging", "There is no such page"));
            return false;
        }
        r->ok = from == to;
        auto& pages = edit.pages();
        tiff::Directory page = std::move(pages[size_t(from)]);
        pages.erase(pages.begin() + from);
        pages.insert(pages.begin() + to, std::move(page));
        edit.renumber();
        return true;
    });
}

WriteResult compactFile(const QString& path) {
    return detail::compact(path);
}

namespace {

// Tags a caller may set: private and descriptive ones, never those that describe or locate
// the image data.
bool writableTag(quint16 tag) {
    return !tiff::isOffsetTag(tag) && tag >= 254 &&
           !(tag >= 256 && tag <= 532 && tag != 270 && tag != 305);
}

void setTag(tiff::Directory& page, quint16 tag, const QByteArray& value) {
    page.changed = true;
    if (value.isEmpty()) {
        page.remove(tag);
        return;
    }
    tiff::DirEntry e;
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

// The page's own coding where it can hold the new image.
detail::EncodeOptions codingOf(const detail::TiffEdit& edit, const tiff::Directory& page,
                               const QImage& image) {
    const tiff::FileSource& src = edit.source();
    detail::EncodeOptions options;
    options.compression = page.find(259) ? int(tiff::numberOf(src, page, 259)) : 1;
    options.group3Options = quint32(tiff::numberOf(src, page, 292)) & 5u;  // 2-D, fill bits
    options.minIsBlack = page.find(262) && tiff::numberOf(src, page, 262) == 1;
    options.bigEndian = edit.format().bigEndian;
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
    return options;
}

bool replaceImage(detail::TiffEdit& edit, int index, const QImage& image, bool quarterTurn,
                  const TagChange& change, WriteResult* r) {
    if (!edit.validIndex(index)) {
        *r = failure(
            QCoreApplication::translate("ktdv::imaging", "There is no page %1").arg(index + 1));
        return false;
    }
    if (image.isNull()) {
        *r = failure(QCoreApplication::translate("ktdv::imaging", "No image to write"));
        return false;
    }
    tiff::Directory& page = edit.pages()[size_t(index)];
    QTemporaryDir dir;
    if (!dir.isValid()) {
        *r = failure(
            QCoreApplication::translate("ktdv::imaging", "Cannot create a temporary folder"));
        return false;
    }
    const QString encoded = dir.filePath(QStringLiteral("page.tif"));
    QString error;
    if (!detail::encodeTiff(encoded, image, codingOf(edit, page, image), &error)) {
        *r = failure(
            QCoreApplication::translate("ktdv::imaging", "Cannot encode the page: %1").arg(error));
        return false;
    }
    detail::TiffEdit fresh;
    tiff::Directory source;
    tiff::CopyBudget budget;
    if (fresh.open(encoded, false, r)) {
        budget = tiff::CopyBudget::forSource(fresh.source());
        if (!tiff::copyDirectory(fresh.source(), fresh.pages().front(), edit.sink(), &source,
                                 budget, &error)) {
            *r = failure(QCoreApplication::translate("ktdv::imaging", "Cannot store the page: %1")
                             .arg(error));
            return false;
        }
    } else {
        return false;
    }
    for (quint16 tag : kImageTags)
        page.remove(tag);
    for (quint16 tag : kImageTags)
        if (const tiff::DirEntry* e = source.find(tag))
            page.set(*e);
    page.dataBytes = page.dataBytes - qMin(page.dataBytes, page.imageBytes) + source.imageBytes;
    page.imageBytes = source.imageBytes;
    page.changed = true;
    if (quarterTurn) {  // the resolutions turn with the page
        const tiff::DirEntry* x = page.find(kXResolution);
        const tiff::DirEntry* y = page.find(kYResolution);
        if (x && y) {
            tiff::DirEntry nx = *y, ny = *x;
            nx.tag = kXResolution;
            ny.tag = kYResolution;
            page.set(nx);
            page.set(ny);
        }
    }
    if (change.set)
        setTag(page, change.tag, change.value);
    return true;
}

WriteResult replaceImage(const QString& path, int index, const QImage& image, bool quarterTurn,
                         const TagChange& change) {
    return detail::editFile(path, [&](detail::TiffEdit& edit, WriteResult* r) {
        return replaceImage(edit, index, image, quarterTurn, change, r);
    });
}

}  // namespace

WriteResult replacePageImage(const QString& path, int index, const QImage& image,
                             bool quarterTurn) {
    return replaceImage(path, index, image, quarterTurn, {});
}

WriteResult replacePageImage(const QString& path, int index, const QImage& image, bool quarterTurn,
                             quint16 tag, const QByteArray& tagValue) {
    if (!writableTag(tag))
        return failure(
            QCoreApplication::translate("ktdv::imaging", "Tag %1 cannot be written").arg(tag));
    return replaceImage(path, index, image, quarterTurn, {true, tag, tagValue});
}

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
    if (value.size() > limits::kMaxTagBytes)
        return failure(
            QCoreApplication::translate("ktdv::imaging", "The value of tag %1 is too large")
                .arg(tag));
    return detail::editFile(path, [&](detail::TiffEdit& edit, WriteResult* r) {
        if (!edit.validIndex(index)) {
            *r = failure(
                QCoreApplication::translate("ktdv::imaging", "There is no page %1").arg(index + 1));
            return false;
        }
        if (!writableTag(tag)) {
            *r = failure(
                QCoreApplication::translate("ktdv::imaging", "Tag %1 cannot be written").arg(tag));
            return false;
        }
        tiff::Directory& page = edit.pages()[size_t(index)];
        r->ok = value.isEmpty() && !page.find(tag);
        if (!r->ok)
            setTag(page, tag, value);
        return true;
    });
}

}  // namespace ktdv::imaging
