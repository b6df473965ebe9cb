#include "imaging/annotationpainter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace ktdv::imaging {

namespace {

// Stamp padding around its text, as fractions of the font size.
constexpr qreal kStampPadX = 0.5;
constexpr qreal kStampPadY = 0.3;
// Text sizes are measured at this pixel size and scaled, so hinting does not skew them.
constexpr int kMeasureSize = 200;
// Translucency of a highlight where the device cannot multiply colours.
constexpr qreal kHighlightOpacity = 0.4;

// A frame of the given width drawn inside box, so the annotation's bounds hold it all.
void drawFrame(QPainter& painter, const QRectF& box, const QColor& color, qreal width) {
    if (!color.isValid() || width <= 0)
        return;
    const qreal w = std::min({width, box.width() / 2, box.height() / 2});
    if (w <= 0)
        return;
    QPen pen(color, w, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(w / 2, w / 2, -w / 2, -w / 2));
}

void paintHighlight(QPainter& painter, const QRectF& box, const QColor& color) {
    if (!color.isValid())
        return;
    // Multiplying keeps dark text dark and tints the paper; devices that cannot blend get
    // a translucent wash instead.
    const QPaintEngine* engine = painter.paintEngine();
    if (engine && engine->hasFeature(QPaintEngine::BlendModes))
        painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    else
        painter.setOpacity(kHighlightOpacity);
    painter.fillRect(box, color);
}

void paintText(QPainter& painter, const QRectF& box, const Annotation& a) {
    const QColor fill = colorFromBgr(a.fillColor);
    if (fill.isValid())
        painter.fillRect(box, fill);
    drawFrame(painter, box, colorFromBgr(a.borderColor), a.lineWidth);
    const QColor ink = colorFromBgr(a.textColor);
    if (a.text.isEmpty() || !ink.isValid())
        return;
    const qreal pad = std::max<qreal>(a.lineWidth, 2) + 1;
    const QRectF inner = box.adjusted(pad, pad, -pad, -pad);
    if (inner.isEmpty())
        return;
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(AnnotationPainter::font(a.fontPointSize, false));
    painter.setPen(ink);
    painter.setClipRect(inner, Qt::IntersectClip);
    painter.drawText(inner, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, a.text);
}

void paintStamp(QPainter& painter, const QRectF& box, const Annotation& a) {
    const QColor ink = colorFromBgr(a.borderColor);
    if (!ink.isValid())
        return;
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const qreal w = std::min({a.lineWidth, box.width() / 2, box.height() / 2});
    if (w > 0) {
        const QRectF frame = box.adjusted(w / 2, w / 2, -w / 2, -w / 2);
        const qreal radius = std::min(frame.width(), frame.height()) * 0.2;
        QPainterPath path;
        path.addRoundedRect(frame, radius, radius);
        painter.setPen(QPen(ink, w));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    }
    if (a.text.isEmpty())
        return;
    const QFont font = AnnotationPainter::font(a.fontPointSize, true);
    painter.setFont(font);
    painter.setPen(ink);
    // Another machine may substitute a wider face than the one the box was measured with:
    // shrink the text about the centre until it fits.
    const qreal room = box.width() - 2 * kStampPadX * a.fontPointSize;
    const qreal advance = QFontMetricsF(font).horizontalAdvance(a.text);
    if (advance > room && room > 0 && advance > 0) {
        const qreal s = room / advance;
        const QPointF c = box.center();
        painter.translate(c);
        painter.scale(s, s);
        painter.translate(-c);
    }
    painter.drawText(box, Qt::AlignCenter | Qt::TextDontClip | Qt::TextSingleLine, a.text);
}

}  // namespace

QFont AnnotationPainter::font(int pixelSize, bool bold) {
    QFont f;
    f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                   QStringLiteral("Arial")});
    f.setStyleHint(QFont::SansSerif);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setPixelSize(std::max(1, pixelSize));
    f.setBold(bold);
    return f;
}

QSizeF AnnotationPainter::stampBoxPoints(const QString& text, int pointSize) {
    const qreal pt = std::max(1, pointSize);
    const QFontMetricsF fm(font(kMeasureSize, true));
    const qreal scale = pt / kMeasureSize;
    const qreal advance = std::max(fm.horizontalAdvance(text) * scale, pt);
    const qreal height = (fm.ascent() + fm.descent()) * scale;
    return {advance + 2 * kStampPadX * pt, height + 2 * kStampPadY * pt};
}

void AnnotationPainter::paintOne(QPainter& painter, const Annotation& a,
                                 const QTransform& pageToDevice, const QSizeF& pageDpi) {
    QSizeF size;
    const QTransform frame = annotationFrame(a, pageDpi, &size);
    if (size.isEmpty())
        return;
    painter.save();
    painter.setWorldTransform(frame * pageToDevice * painter.worldTransform());
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRectF box(QPointF(0, 0), size);
    switch (a.kind) {
        case Annotation::FilledRect: {
            const QColor fill = colorFromBgr(a.fillColor);
            if (fill.isValid())
                painter.fillRect(box, fill);
            drawFrame(painter, box, colorFromBgr(a.borderColor), a.lineWidth);
            break;
        }
        case Annotation::HollowRect:
            drawFrame(painter, box, colorFromBgr(a.borderColor), a.lineWidth);
            break;
        case Annotation::Highlight:
            paintHighlight(painter, box, colorFromBgr(a.fillColor));
            break;
        case Annotation::Text:
            paintText(painter, box, a);
            break;
        case Annotation::Stamp:
            paintStamp(painter, box, a);
            break;
    }
    painter.restore();
}

void AnnotationPainter::paint(QPainter& painter, const QList<Annotation>& annotations,
                              const QTransform& pageToDevice, const QSizeF& pageDpi) {
    for (const Annotation& a : annotations)
        paintOne(painter, a, pageToDevice, pageDpi);
}

}  // namespace ktdv::imaging
