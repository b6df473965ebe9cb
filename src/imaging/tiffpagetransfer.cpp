#include "imaging/tiffpagetransfer.h"

#include <QFile>
#include <QFileInfo>

#include "imaging/tiffbytes.h"
#include "imaging/tiffstructure.h"

namespace ktdv::imaging {

namespace {

constexpr quint16 kPageNumber = 297;

WriteResult failure(const QString& message) {
    return WriteResult{false, message};
}

bool readStructure(const QString& path, tiff::File* file, WriteResult* result) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *result = failure(QStringLiteral("Cannot read %1: %2").arg(path, f.errorString()));
        return false;
    }
    QString error;
    if (!tiff::read(f.readAll(), file, &error) || file->pages.empty()) {
        *result = failure(QStringLiteral("Cannot read the pages of %1: %2").arg(path, error));
        return false;
    }
    return true;
}

// The document and the page to put into it, both in the same byte order.
bool loadBoth(const QString& path, const QString& pageFile, tiff::File* file, tiff::Ifd* page,
              WriteResult* result) {
    const QFileInfo info(path);
    const auto writeBits =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!info.isWritable() || !(info.permissions() & writeBits)) {
        *result = failure(QStringLiteral("%1 is read-only").arg(path));
        return false;
    }
    tiff::File source;
    if (!readStructure(path, file, result) || !readStructure(pageFile, &source, result))
        return false;
    if (source.bigEndian != file->bigEndian) {
        *result = failure(QStringLiteral("The page's byte order differs from the document's"));
        return false;
    }
    *page = std::move(source.pages.front());
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
        auto* p = reinterpret_cast<uchar*>(e->value.data());
        if (size == 2) {
            tiff::put16(p, quint16(i), file->bigEndian);
            tiff::put16(p + 2, total, file->bigEndian);
        } else if (size == 4) {
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

}  // namespace

WriteResult extractPage(const QString& path, int index, const QString& pageFile) {
    tiff::File file;
    WriteResult r;
    if (!readStructure(path, &file, &r))
        return r;
    if (index < 0 || size_t(index) >= file.pages.size())
        return failure(QStringLiteral("There is no page %1").arg(index + 1));
    tiff::File one;
    one.bigEndian = file.bigEndian;
    one.bigTiff = file.bigTiff;
    one.pages.push_back(std::move(file.pages[size_t(index)]));
    return save(pageFile, one);
}

WriteResult insertPage(const QString& path, int index, const QString& pageFile) {
    tiff::File file;
    tiff::Ifd page;
    WriteResult r;
    if (!loadBoth(path, pageFile, &file, &page, &r))
        return r;
    if (index < 0 || size_t(index) > file.pages.size())
        return failure(QStringLiteral("There is no place for page %1").arg(index + 1));
    file.pages.insert(file.pages.begin() + index, std::move(page));
    renumber(&file);
    return save(path, file);
}

WriteResult replacePage(const QString& path, int index, const QString& pageFile) {
    tiff::File file;
    tiff::Ifd page;
    WriteResult r;
    if (!loadBoth(path, pageFile, &file, &page, &r))
        return r;
    if (index < 0 || size_t(index) >= file.pages.size())
        return failure(QStringLiteral("There is no page %1").arg(index + 1));
    file.pages[size_t(index)] = std::move(page);
    renumber(&file);
    return save(path, file);
}

}  // namespace ktdv::imaging
