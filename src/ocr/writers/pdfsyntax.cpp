#include "ocr/writers/pdfsyntax.h"

#include <QDateTime>

#include <array>

namespace ktdv::ocr::pdf {

namespace {

// Advance widths of Helvetica and Helvetica-Bold for the printable ASCII range, in 1/1000
// em; other characters count as 556.
constexpr std::array<short, 95> kRegular = {
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333,  278, 278, 556, 556, 556,
    556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, 1015, 667, 667, 722, 722, 667,
    611, 778, 722, 278, 500, 667, 556, 833, 722, 778, 667, 778, 722, 667,  611, 722, 667, 944, 667,
    667, 611, 278, 278, 278, 469, 556, 333, 556, 556, 500, 556, 556, 278,  556, 556, 222, 222, 500,
    222, 833, 556, 556, 556, 556, 333, 500, 278, 556, 500, 722, 500, 500,  500, 334, 260, 334, 584,
};
constexpr std::array<short, 95> kBold = {
    278, 333, 474, 556, 556, 889, 722, 238, 333, 333, 389, 584, 278, 333, 278, 278, 556, 556, 556,
    556, 556, 556, 556, 556, 556, 556, 333, 333, 584, 584, 584, 611, 975, 722, 722, 722, 722, 667,
    611, 778, 722, 278, 556, 722, 611, 833, 722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667,
    667, 611, 333, 278, 333, 584, 556, 333, 556, 611, 556, 611, 556, 333, 611, 611, 278, 278, 556,
    278, 889, 611, 611, 611, 611, 389, 556, 333, 611, 556, 778, 556, 556, 500, 389, 280, 389, 584,
};

}  // namespace

QByteArray num(double v) {
    QByteArray s = QByteArray::number(v, 'f', 3);
    while (s.contains('.') && (s.endsWith('0') || s.endsWith('.'))) {
        s.chop(1);
    }
    return s == "-0" ? QByteArray("0") : s;
}

QByteArray ref(int id) {
    return QByteArray::number(id) + " 0 R";
}

QByteArray literalString(const QByteArray& bytes) {
    QByteArray out = "(";
    for (char c : bytes) {
        const auto u = static_cast<uchar>(c);
        if (c == '(' || c == ')' || c == '\\') {
            out.append('\\');
            out.append(c);
        } else if (u < 32 || u > 126) {
            out.append('\\');
            out.append(QByteArray::number(u, 8).rightJustified(3, '0'));
        } else {
            out.append(c);
        }
    }
    out.append(')');
    return out;
}

QByteArray textString(const QString& text) {
    bool ascii = true;
    for (QChar c : text) {
        ascii = ascii && c.unicode() >= 32 && c.unicode() < 127;
    }
    if (ascii) {
        return literalString(text.toLatin1());
    }
    QByteArray hex = "<FEFF";
    for (QChar c : text) {
        hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    }
    return hex + ">";
}

QByteArray dateString(const QDateTime& when) {
    const QDateTime utc = (when.isValid() ? when : QDateTime::currentDateTimeUtc()).toUTC();
    return "(D:" + utc.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + "Z)";
}

double helveticaWidth(const QByteArray& bytes, bool bold) {
    const std::array<short, 95>& widths = bold ? kBold : kRegular;
    double w = 0;
    for (char c : bytes) {
        const auto u = static_cast<uchar>(c);
        w += (u >= 32 && u < 127) ? widths.at(u - 32) : 556;
    }
    return w / 1000.0;
}

}  // namespace ktdv::ocr::pdf
