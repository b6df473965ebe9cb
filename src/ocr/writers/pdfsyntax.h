#pragma once
// Small pieces of PDF syntax shared by the PDF writer and its annotations: numbers, object
// references, strings, and the advance widths of the standard Helvetica faces.

#include <QByteArray>
#include <QString>

class QDateTime;

namespace ktdv::ocr::pdf {

// A number with at most three decimals, trailing zeros dropped ("12.5", "0").
QByteArray num(double v);
// "12 0 R".
QByteArray ref(int id);
// A literal string "(...)" of the bytes, with parentheses, backslashes and bytes outside
// printable ASCII escaped.
QByteArray literalString(const QByteArray& bytes);
// A text string for dictionaries (/Contents, /NM): literal for printable ASCII, else UTF-16BE
// with its byte-order mark, in hex.
QByteArray textString(const QString& text);
// A date "(D:YYYYMMDDHHmmSSZ)" in UTC.
QByteArray dateString(const QDateTime& when);
// Width of Windows-1252 bytes in Helvetica (or Helvetica-Bold), in ems.
double helveticaWidth(const QByteArray& bytes, bool bold = false);

}  // namespace ktdv::ocr::pdf
