#include "imaging/pagedigest.h"

#include "imaging/document.h"
#include "imaging/limits.h"
#include "imaging/tiffchain.h"

#include <QCryptographicHash>
#include <QFile>

#include <algorithm>
#include <array>

namespace ktdv::imaging {

namespace {

// Tags that decide how a page's data decodes.
constexpr std::array<quint16, 30> kDecodingTags = {
    256, 257, 258, 259, 262, 266, 274, 277, 278, 282, 283, 284, 292, 293, 296,
    317, 320, 322, 323, 338, 339, 347, 512, 515, 517, 518, 519, 520, 521, 530};
constexpr quint16 kStripOffsets = 273;
constexpr quint16 kStripByteCounts = 279;
constexpr quint16 kTileOffsets = 324;
constexpr quint16 kTileByteCounts = 325;
constexpr quint16 kJpegInterchange = 513;
constexpr quint16 kJpegInterchangeLength = 514;
constexpr qint64 kChunk = 1 << 20;

void addNumber(QCryptographicHash& hash, quint64 value) {
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(&value), sizeof value));
}

bool addRange(QCryptographicHash& hash, const tiff::FileSource& src, quint64 at, quint64 length,
              quint64& budget) {
    if (length > budget || at > src.size() || length > src.size() - at)
        return false;
    budget -= length;
    addNumber(hash, length);
    for (quint64 done = 0; done < length;) {
        const quint64 piece = std::min<quint64>(kChunk, length - done);
        const QByteArray bytes = src.bytes(at + done, piece);
        if (quint64(bytes.size()) != piece)
            return false;
        hash.addData(bytes);
        done += piece;
    }
    return true;
}

QByteArray tiffPageDigest(QFile& file, quint64 directoryAt) {
    tiff::Format format;
    quint64 first = 0;
    const int fd = file.handle();
    const auto size = quint64(file.size());
    if (!tiff::readFormat(fd, size, &format, &first))
        return {};
    const tiff::FileSource src(fd, size, format);
    tiff::Directory dir;
    QString error;
    if (!tiff::readDirectory(src, directoryAt, &dir, &error))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData("tiff");
    addNumber(hash, format.bigEndian ? 1 : 0);
    for (const quint16 tag : kDecodingTags) {
        const tiff::DirEntry* e = dir.find(tag);
        if (!e)
            continue;
        if (e->size() > quint64(limits::kMaxTagBytes))
            return {};
        addNumber(hash, (quint64(tag) << 16) | e->type);
        addNumber(hash, e->count);
        hash.addData(tiff::valueOf(src, *e));
    }
    // The image data itself, however it is laid out in the file.
    quint64 budget = size;
    for (const auto& [offsets, counts] :
         {std::pair{kStripOffsets, kStripByteCounts}, std::pair{kTileOffsets, kTileByteCounts},
          std::pair{kJpegInterchange, kJpegInterchangeLength}}) {
        const tiff::DirEntry* at = dir.find(offsets);
        const tiff::DirEntry* length = dir.find(counts);
        if (!at || !length)
            continue;
        const QVector<quint64> starts = tiff::numbersOf(src, *at);
        const QVector<quint64> lengths = tiff::numbersOf(src, *length);
        if (starts.size() != lengths.size())
            return {};
        for (qsizetype i = 0; i < starts.size(); ++i) {
            if (!addRange(hash, src, starts.at(i), lengths.at(i), budget))
                return {};
        }
    }
    return hash.result();
}

}  // namespace

QByteArray pageDigest(const Document& document, int index) {
    if (index < 0 || index >= document.pageCount())
        return {};
    // The digest and the decoding read the file as it is now; a file of another size no
    // longer matches the directory offsets read when the document was opened. (No time
    // check: local times would set up the C library's time zone on worker threads.)
    QFile file(document.path());
    if (!file.open(QIODevice::ReadOnly) || file.size() != document.fileSize())
        return {};
    if (document.format() == FileFormat::Tiff) {
        if (index >= document.directoryOffsets().size())
            return {};
        return tiffPageDigest(file, document.directoryOffsets().at(index));
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    addNumber(hash, quint64(document.format()));
    addNumber(hash, quint64(index));
    if (!hash.addData(&file))
        return {};
    return hash.result();
}

}  // namespace ktdv::imaging
