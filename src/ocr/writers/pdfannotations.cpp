#include "ocr/writers/pdfannotations.h"

#include "ocr/writers/pdfsyntax.h"
#include "ocr/writers/textencoding.h"

#include <QColor>
#include <QStringList>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace ktdv::ocr {

using pdf::num;
using pdf::ref;

namespace {

using imaging::Annotation;

// Font measures of Helvetica in ems.
constexpr double kAscent = 0.718;
constexpr double kDescent = 0.207;
constexpr double kLineSpacing = 1.16;
// Stamp padding beside its text and corner rounding, as the page view draws them.
constexpr double kStampPadX = 0.5;
constexpr double kStampRadius = 0.2;
// Bézier handle length that approximates a quarter circle.
constexpr double kCircleHandle = 0.5523;

QByteArray rgb(const QColor& c) {
    return num(c.redF()) + " " + num(c.greenF()) + " " + num(c.blueF());
}

QByteArray colorArray(qint32 bgr) {
    const QColor c = imaging::colorFromBgr(bgr);
    return c.isValid() ? "[" + rgb(c) + "]" : QByteArray("[]");
}

// A frame of the given width drawn inside the box (0, 0, w, h).
QByteArray frame(double w, double h, qint32 bgr, double width) {
    const QColor c = imaging::colorFromBgr(bgr);
    const double lw = std::min({width, w / 2, h / 2});
    if (!c.isValid() || lw <= 0) {
        return {};
    }
    return "q " + rgb(c) + " RG " + num(lw) + " w 0 J 0 j " + num(lw / 2) + " " + num(lw / 2) +
           " " + num(w - lw) + " " + num(h - lw) + " re S Q\n";
}

QByteArray fill(double w, double h, qint32 bgr) {
    const QColor c = imaging::colorFromBgr(bgr);
    return c.isValid() ? rgb(c) + " rg 0 0 " + num(w) + " " + num(h) + " re f\n" : QByteArray();
}

QByteArray roundedRect(double x, double y, double w, double h, double r) {
    const double k = r * kCircleHandle;
    auto p = [](double a, double b) -> QByteArray { return num(a) + " " + num(b) + " "; };
    return p(x + r, y) + "m " + p(x + w - r, y) + "l " + p(x + w - r + k, y) + p(x + w, y + r - k) +
           p(x + w, y + r) + "c " + p(x + w, y + h - r) + "l " + p(x + w, y + h - r + k) +
           p(x + w - r + k, y + h) + p(x + w - r, y + h) + "c " + p(x + r, y + h) + "l " +
           p(x + r - k, y + h) + p(x, y + h - r + k) + p(x, y + h - r) + "c " + p(x, y + r) + "l " +
           p(x, y + r - k) + p(x + r - k, y) + p(x + r, y) + "c h\n";
}

// The text's lines, wrapped at word boundaries to fit width at the font size.
QList<QByteArray> wrapped(const QString& text, double width, double size) {
    QList<QByteArray> lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QByteArray line;
        for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QByteArray next = line.isEmpty()
                                        ? encodeText(word, TextEncoding::Windows1252)
                                        : line + ' ' + encodeText(word, TextEncoding::Windows1252);
            if (!line.isEmpty() && pdf::helveticaWidth(next) * size > width) {
                lines.append(line);
                line = encodeText(word, TextEncoding::Windows1252);
            } else {
                line = next;
            }
        }
        lines.append(line);
    }
    return lines;
}

QByteArray textFrame(const Annotation& a, double w, double h) {
    QByteArray out = fill(w, h, a.fillColor) + frame(w, h, a.borderColor, a.lineWidth);
    const QColor ink = imaging::colorFromBgr(a.textColor);
    const double pad = std::max(a.lineWidth, 2.0) + 1;
    const double size = std::max(1, a.fontPointSize);
    if (a.text.isEmpty() || !ink.isValid() || w <= 2 * pad || h <= 2 * pad) {
        return out;
    }
    out += "q " + num(pad) + " " + num(pad) + " " + num(w - 2 * pad) + " " + num(h - 2 * pad) +
           " re W n BT /Helv " + num(size) + " Tf " + rgb(ink) + " rg " + num(size * kLineSpacing) +
           " TL " + num(pad) + " " + num(h - pad - size * kAscent) + " Td\n";
    for (const QByteArray& line : wrapped(a.text, w - 2 * pad, size)) {
        out += pdf::literalString(line) + " Tj T*\n";
    }
    return out + "ET Q\n";
}

QByteArray stamp(const Annotation& a, double w, double h) {
    const QColor ink = imaging::colorFromBgr(a.borderColor);
    if (!ink.isValid()) {
        return {};
    }
    QByteArray out;
    const double lw = std::min({a.lineWidth, w / 2, h / 2});
    if (lw > 0) {
        const double fw = w - lw;
        const double fh = h - lw;
        out += "q " + rgb(ink) + " RG " + num(lw) + " w " +
               roundedRect(lw / 2, lw / 2, fw, fh, std::min(fw, fh) * kStampRadius) + "S Q\n";
    }
    if (a.text.isEmpty()) {
        return out;
    }
    const QByteArray text = encodeText(a.text, TextEncoding::Windows1252);
    double size = std::max(1, a.fontPointSize);
    const double advance = pdf::helveticaWidth(text, true) * size;
    const double room = w - 2 * kStampPadX * size;
    if (advance > room && room > 0) {
        size *= room / advance;  // a wider face than the box was measured with: shrink
    }
    const double x = (w - pdf::helveticaWidth(text, true) * size) / 2;
    const double y = h / 2 - (kAscent - kDescent) / 2 * size;
    return out + "BT /HelvB " + num(size) + " Tf " + rgb(ink) + " rg " + num(x) + " " + num(y) +
           " Td " + pdf::literalString(text) + " Tj ET\n";
}

}  // namespace

int pdfAnnotationFont(const Annotation& annotation) {
    switch (annotation.kind) {
        case Annotation::Text:
            return 1;
        case Annotation::Stamp:
            return 2;
        default:
            return 0;
    }
}

PdfAnnotation pdfAnnotation(const Annotation& a, const PdfAnnotationPlace& place,
                            const QString& name) {
    QSizeF size;
    const QTransform local = imaging::annotationFrame(a, place.dpi, &size);
    if (size.isEmpty() || place.dpi.width() <= 0 || place.dpi.height() <= 0) {
        return {};
    }
    // Page pixels to PDF points, and the form's space (y up) to the annotation's frame.
    const QTransform toPage(72.0 / place.dpi.width(), 0, 0, -72.0 / place.dpi.height(), 0,
                            place.pageHeight);
    const double w = size.width();
    const double h = size.height();
    const QTransform form = QTransform(1, 0, 0, -1, 0, h) * local * toPage;
    const QRectF r = toPage.mapRect(a.rect.normalized());
    const QByteArray rect = "[" + num(r.left()) + " " + num(r.top()) + " " + num(r.right()) + " " +
                            num(r.bottom()) + "]";

    PdfAnnotation out;
    QByteArray resources;
    QByteArray subtype;
    QByteArray specific;
    const QByteArray border = "/BS << /Type /Border /W " + num(a.lineWidth) + " /S /S >>";
    switch (a.kind) {
        case Annotation::FilledRect:
        case Annotation::HollowRect:
            subtype = "Square";
            specific = "/C " + colorArray(a.borderColor) + " " + border;
            if (a.kind == Annotation::FilledRect && a.fillColor != Annotation::kNoColor) {
                specific += " /IC " + colorArray(a.fillColor);
                out.appearance = fill(w, h, a.fillColor);
            }
            out.appearance += frame(w, h, a.borderColor, a.lineWidth);
            break;
        case Annotation::Highlight:
            subtype = "Highlight";
            specific = "/C " + colorArray(a.fillColor) + " /QuadPoints [" + num(r.left()) + " " +
                       num(r.bottom()) + " " + num(r.right()) + " " + num(r.bottom()) + " " +
                       num(r.left()) + " " + num(r.top()) + " " + num(r.right()) + " " +
                       num(r.top()) + "]";
            // Multiplied, so the text below stays dark, as on the screen.
            resources = "/ExtGState << /Mul << /Type /ExtGState /BM /Multiply >> >>";
            out.appearance = "/Mul gs " + fill(w, h, a.fillColor);
            break;
        case Annotation::Text: {
            subtype = "FreeText";
            const QColor ink = imaging::colorFromBgr(a.textColor);
            specific = "/DA (/Helv " + num(std::max(1, a.fontPointSize)) + " Tf " +
                       rgb(ink.isValid() ? ink : QColor(Qt::black)) + " rg) /Q 0 " + border;
            if (a.fillColor != Annotation::kNoColor) {
                specific += " /C " + colorArray(a.fillColor);
            }
            resources = "/Font << /Helv " + ref(place.regularFont) + " >>";
            out.appearance = textFrame(a, w, h);
            break;
        }
        case Annotation::Stamp:
            subtype = "Stamp";
            specific = "/C " + colorArray(a.borderColor);
            resources = "/Font << /HelvB " + ref(place.boldFont) + " >>";
            out.appearance = stamp(a, w, h);
            break;
    }
    const QByteArray date = pdf::dateString(a.created);
    out.entries = "/Type /Annot /Subtype /" + subtype + " /Rect " + rect + " /Contents " +
                  pdf::textString(a.text) + " /NM " + pdf::textString(name) + " /F 4 /M " + date +
                  " /CreationDate " + date + " " + specific;
    out.formEntries = "/Type /XObject /Subtype /Form /FormType 1 /BBox [0 0 " + num(w) + " " +
                      num(h) + "] /Matrix [" + num(form.m11()) + " " + num(form.m12()) + " " +
                      num(form.m21()) + " " + num(form.m22()) + " 0 0] /Resources << " + resources +
                      " >>";
    return out;
}

}  // namespace ktdv::ocr
