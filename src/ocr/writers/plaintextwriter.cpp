#include "ocr/writers/plaintextwriter.h"

#include "ocr/writers/textlayout.h"

namespace ktdv::ocr {

bool PlainTextWriter::beginDocument() {
    return write(byteOrderMark(m_encoding));
}

bool PlainTextWriter::writePage(const RecognizedPage& page) {
    QString text;
    if (pagesWritten() > 0) {
        text += QLatin1Char('\f');
    }
    const QStringList paragraphs = pageParagraphs(page);
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i > 0) {
            text += QStringLiteral("\r\n");
        }
        text += paragraphs.at(i) + QStringLiteral("\r\n");
    }
    return write(encodeText(text, m_encoding));
}

}  // namespace ktdv::ocr
