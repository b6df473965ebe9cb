#include "ocr/writers/tabularwriter.h"

#include "ocr/writers/textencoding.h"
#include "ocr/writers/textlayout.h"

namespace ktdv::ocr {

bool TabularWriter::writePage(const RecognizedPage& page) {
    QString text;
    if (pagesWritten() > 0) {
        text += QLatin1Char('\f');
    }
    for (const auto& row : pageRows(page)) {
        text += tabularRow(row) + QStringLiteral("\r\n");
    }
    return write(encodeText(text, TextEncoding::Windows1252));
}

}  // namespace ktdv::ocr
