#pragma once
// Conversions of stored texts to Boolean and numeric values with the rules of the classic
// run-time library: surrounding blanks ignored, "True"/"False" in any letter case, decimal
// numbers with an optional fraction and exponent, "&H" (hexadecimal) and "&O" (octal)
// prefixes, integers rounded half to even. Failures throw ViewerError: 13 "Type mismatch"
// for a text that is not a value of the type, 6 "Overflow" for a value outside it.
// Any thread.

#include <QString>

namespace ktdv::classic {

// Number held by text, or throws 13. "True"/"False" are not numbers.
double toNumber(const QString& text);
// "True"/"False" (any case), or any number: 0 is False, anything else True.
bool toBool(const QString& text);
// Rounded half to even; throws 6 outside -32768..32767.
qint16 toInt16(const QString& text);
// Rounded half to even; throws 6 outside the 32-bit range.
qint32 toInt32(const QString& text);
// Throws 6 when the text holds a number too large for a double.
double toDouble(const QString& text);

}  // namespace ktdv::classic
