#include "classicconversion.h"

#include <QCoreApplication>

#include "viewererror.h"

#include <cmath>
#include <limits>

namespace ktdv::classic {
namespace {

[[noreturn]] void typeMismatch() {
    throw ViewerError(ViewerError::kTypeMismatch,
                      QCoreApplication::translate("ktdv::ViewerError", "Type mismatch"));
}

[[noreturn]] void overflow() {
    throw ViewerError(ViewerError::kOverflow,
                      QCoreApplication::translate("ktdv::ViewerError", "Overflow"));
}

// "&H1F" / "&O17": the digits are a 16-bit value when they fit in 4 hex (6 octal)
// digits and a 32-bit value otherwise, both read as signed, as the classic library does.
bool parseRadix(const QString& t, double* out) {
    if (t.size() < 3 || t.at(0) != QLatin1Char('&')) {
        return false;
    }
    const QChar kind = t.at(1).toUpper();
    int base = 0;
    if (kind == QLatin1Char('H')) {
        base = 16;
    } else if (kind == QLatin1Char('O')) {
        base = 8;
    } else {
        return false;
    }
    const QString digits = t.mid(2);
    bool ok = false;
    const qulonglong raw = digits.toULongLong(&ok, base);
    if (!ok) {
        typeMismatch();
    }
    if (raw > 0xFFFFFFFFull) {
        overflow();
    }
    if (raw <= 0xFFFF && digits.size() <= (base == 16 ? 4 : 6)) {
        *out = static_cast<qint16>(static_cast<quint16>(raw));
    } else {
        *out = static_cast<qint32>(static_cast<quint32>(raw));
    }
    return true;
}

// Decimal number: [sign] digits [. digits] [e|E|d|D [sign] digits], at least one digit.
bool isDecimal(const QString& t) {
    int i = 0;
    const int n = t.size();
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
        ++i;
    }
    int mantissaDigits = 0;
    while (i < n && t[i].isDigit()) {
        ++i;
        ++mantissaDigits;
    }
    if (i < n && t[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && t[i].isDigit()) {
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return false;
    }
    if (i < n && QStringLiteral("eEdD").contains(t[i])) {
        ++i;
        if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
            ++i;
        }
        int expDigits = 0;
        while (i < n && t[i].isDigit()) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0) {
            return false;
        }
    }
    return i == n;
}

double roundHalfEven(double v) {
    return std::nearbyint(v);
}

}  // namespace

double toNumber(const QString& text) {
    const QString t = text.trimmed();
    double v = 0;
    if (parseRadix(t, &v)) {
        return v;
    }
    // Only ASCII digits count; QChar::isDigit also accepts other scripts' digits.
    for (const QChar c : t) {
        if (c.unicode() > 0x7F) {
            typeMismatch();
        }
    }
    if (!isDecimal(t)) {
        typeMismatch();
    }
    QString c = t;
    c.replace(QLatin1Char('d'), QLatin1Char('e')).replace(QLatin1Char('D'), QLatin1Char('e'));
    bool ok = false;
    v = c.toDouble(&ok);
    if (!ok || !std::isfinite(v)) {
        // The grammar was checked above, so a failure here is a value out of range.
        overflow();
    }
    return v;
}

bool toBool(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
        return false;
    }
    return toNumber(t) != 0.0;
}

qint16 toInt16(const QString& text) {
    const double v = roundHalfEven(toNumber(text));
    if (v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max()) {
        overflow();
    }
    return static_cast<qint16>(v);
}

qint32 toInt32(const QString& text) {
    const double v = roundHalfEven(toNumber(text));
    if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max()) {
        overflow();
    }
    return static_cast<qint32>(v);
}

double toDouble(const QString& text) {
    return toNumber(text);
}

}  // namespace ktdv::classic
