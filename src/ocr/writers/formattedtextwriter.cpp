#include "ocr/writers/formattedtextwriter.h"

#include "ocr/writers/textlayout.h"

namespace ktdv::ocr {

bool FormattedTextWriter::beginDocument() {
    return write(byteOrderMark(m_encoding));
}

bool FormattedTextWriter::writePage(const RecognizedPage& page) {
    QString text;
    if (pagesWritten() > 0) {
        text += QLatin1Char('\f');
    }
    for (const QString& line : formattedPage(page)) {
        text += line + QStringLiteral("\r\n");
    }
    return write(encodeText(text, m_encoding));
}

}  // namespace ktdv::ocr
