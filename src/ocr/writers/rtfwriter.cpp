#include "ocr/writers/rtfwriter.h"

#include "ocr/writers/textlayout.h"

namespace ktdv::ocr {

QByteArray RtfWriter::escape(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out.append('\\');
            out.append(static_cast<char>(u));
        } else if (u == '\t') {
            out.append("\\tab ");
        } else if (u < 0x20) {
            continue;
        } else if (u < 0x80) {
            out.append(static_cast<char>(u));
        } else {
            // Signed 16-bit value, one fallback character for readers without Unicode.
            out.append("\\u");
            out.append(QByteArray::number(static_cast<int>(static_cast<qint16>(u))));
            out.append('?');
        }
    }
    return out;
}

bool RtfWriter::beginDocument() {
    return write(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1"
        "{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}}\r\n");
}

bool RtfWriter::writePage(const RecognizedPage& page) {
    QByteArray out;
    if (pagesWritten() > 0) {
        out.append("\\page\r\n");
    }
    for (const QString& paragraph : pageParagraphs(page)) {
        out.append("\\pard\\plain\\f0\\fs24 ");
        out.append(escape(paragraph));
        out.append("\\par\r\n");
    }
    return write(out);
}

bool RtfWriter::endDocument() {
    return write("}\r\n");
}

}  // namespace ktdv::ocr
