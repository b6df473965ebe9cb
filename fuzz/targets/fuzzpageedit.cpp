#include "targets/fuzztargets.h"

#include <QFile>

#include "imaging/annotationstore.h"
#include "imaging/document.h"
#include "imaging/tiffpageedit.h"

namespace ktdv::fuzz {

namespace {

void writeInput(const QString& path, const uint8_t* data, size_t size) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        fail("cannot write the input file");
}

bool samePage(const imaging::PageInfo& a, const imaging::PageInfo& b) {
    return a.pixelSize == b.pixelSize && a.bitsPerPixel == b.bitsPerPixel &&
           a.compression == b.compression;
}

}  // namespace

// The input is the file. Every edit is either refused or leaves a file that opens, with
// the pages the edit asked for.
int fuzzPageEdit(const uint8_t* data, size_t size) {
    using namespace imaging;
    const QString path = scratchFile("pageedit.tif");
    writeInput(path, data, size);
    const auto before = Document::open(path);
    const int pages = before ? before->pageCount() : 0;

    if (deletePage(path, 0).ok) {
        const auto after = Document::open(path);
        if (!after)
            fail("the file does not open after deleting a page");
        if (before && before->format() == FileFormat::Tiff) {
            if (after->pageCount() != pages - 1)
                fail("deleting a page did not remove exactly one page");
            if (!samePage(after->page(0), before->page(1)))
                fail("deleting page 0 changed another page");
        }
    }

    writeInput(path, data, size);
    const int from = pages > 1 ? pages - 1 : 0;
    if (movePage(path, from, 0).ok || (pages <= 1 && movePage(path, 0, 1).ok)) {
        const auto after = Document::open(path);
        if (!after)
            fail("the file does not open after moving a page");
        if (before && before->format() == FileFormat::Tiff) {
            if (after->pageCount() != pages)
                fail("moving a page changed the page count");
            if (!samePage(after->page(0), before->page(from)))
                fail("the moved page is not where it was moved to");
        }
    }

    // The annotation tag of the first page goes through the same structure reader.
    readPageTag(path, 0, kAnnotationTag);
    return 0;
}

}  // namespace ktdv::fuzz
