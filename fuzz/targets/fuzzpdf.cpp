#include <QByteArray>
#include <QFile>

#include "imaging/document.h"
#include "imaging/limits.h"
#include "targets/fuzztargets.h"

namespace ktdv::fuzz {

namespace {

// Pages looked at per input: the page tree of a mutated file may claim many.
constexpr int kPagesLooked = 4;

}  // namespace

int fuzzPdf(const uint8_t* data, size_t size) {
    // Every input is a PDF to the format detection: the signature, then the fuzzer's bytes.
    QByteArray bytes("%PDF-1.7\n");
    bytes.append(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = scratchFile("pdf");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("cannot write the input file");
    file.close();
    if (imaging::detectFormat(path) != imaging::FileFormat::Pdf)
        fail("a file with the signature is not a PDF document");
    const auto document = imaging::Document::open(path);
    if (!document)
        return 0;
    if (document->pageCount() <= 0 || document->pageCount() > limits::kMaxPages)
        fail("page count outside its bounds");
    for (int i = 0; i < qMin(kPagesLooked, document->pageCount()); ++i) {
        const imaging::DecodedPage shown = document->decodePage(i);
        if (shown.ok() && shown.image.sizeInBytes() > limits::kMaxPageBytes)
            fail("a page above the memory bound");
        const imaging::DecodedPage part = document->renderPage(i, 150, QRect(10, 10, 64, 64));
        if (part.ok() && part.image.size() != QSize(64, 64))
            fail("a part of another size than asked for");
        document->textLayer(i, 72);
    }
    return 0;
}

}  // namespace ktdv::fuzz
