#pragma once
// The character sets of the plain-text exports, with tables of our own so no converter
// library is needed at run time. Characters a set cannot hold become '?'.

#include <QByteArray>
#include <QString>

namespace ktdv::ocr {

enum class TextEncoding { Windows1252, Cp437, Utf16LE };

// Bytes of the text in the encoding (no byte-order mark).
QByteArray encodeText(const QString& text, TextEncoding encoding);
// The byte-order mark a file in this encoding starts with ("" for the 8-bit sets).
QByteArray byteOrderMark(TextEncoding encoding);
// The code of one character in an 8-bit set, or -1 when the set lacks it.
int byteFor(char32_t ch, TextEncoding encoding);

}  // namespace ktdv::ocr
