#include "targets/fuzztargets.h"

#include <QByteArray>
#include <QFile>

#include "imaging/document.h"

namespace ktdv::fuzz {

namespace {

bool writeInput(const QString& path, const uint8_t* data, size_t size) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size);
}

}  // namespace

int fuzzDocument(const uint8_t* data, size_t size) {
    const QString path = scratchFile("document");
    if (!writeInput(path, data, size))
        fail("cannot write the input file");
    const imaging::FileFormat byContent = imaging::detectFormat(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (byContent != imaging::detectFormat(path))
        fail("detectFormat differs between bytes and file");

    const auto document = imaging::Document::open(path);
    if (!document)
        return 0;
    if (document->pageCount() <= 0)
        fail("an open document without pages");
    for (int i = 0; i < document->pageCount(); ++i) {
        const imaging::DecodedPage page = document->decodePage(i);
        if (page.ok() && page.image.format() == QImage::Format_Invalid)
            fail("decoded page without a format");
    }
    return 0;
}

}  // namespace ktdv::fuzz
