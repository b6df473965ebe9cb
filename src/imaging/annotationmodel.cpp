#include "imaging/annotationmodel.h"

#include <QColor>

#include <array>

#include "imaging/annotationpainter.h"

namespace ktdv::imaging {

QColor colorFromBgr(qint32 bgr) {
    if (bgr < 0)
        return QColor();
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

qint32 bgrFromColor(const QColor& color) {
    if (!color.isValid())
        return Annotation::kNoColor;
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

namespace {

const std::array<TextOrientation, 8>& allOrientations() {
    static const std::array<TextOrientation, 8> all = {
        TextOrientation{0, false}, TextOrientation{1, false}, TextOrientation{2, false},
        TextOrientation{3, false}, TextOrientation{0, true},  TextOrientation{1, true},
        TextOrientation{2, true},  TextOrientation{3, true}};
    return all;
}

QSizeF usableDpi(const QSizeF& dpi) {
    return dpi.width() > 0 && dpi.height() > 0 ? dpi : QSizeF(72, 72);
}

}  // namespace

QTransform TextOrientation::matrix() const {
    const QTransform quarter(0, 1, -1, 0, 0, 0);
    QTransform t;
    for (int i = 0; i < ((turns % 4) + 4) % 4; ++i)
        t *= quarter;
    if (mirrored)
        t *= QTransform(-1, 0, 0, 1, 0, 0);
    return t;
}

TextOrientation TextOrientation::upright(const QTransform& pageToDevice) {
    TextOrientation best;
    qreal bestScore = -1e300;
    for (const TextOrientation& o : allOrientations()) {
        const QTransform t = o.matrix() * pageToDevice;
        const qreal score = t.m11() + t.m22();
        if (score > bestScore) {
            bestScore = score;
            best = o;
        }
    }
    return best;
}

TextOrientation TextOrientation::followedBy(const QTransform& oldToNew) const {
    const QTransform t = matrix() * oldToNew;
    TextOrientation best = *this;
    qreal bestScore = -1e300;
    for (const TextOrientation& o : allOrientations()) {
        const QTransform c = o.matrix();
        const qreal score =
            c.m11() * t.m11() + c.m12() * t.m12() + c.m21() * t.m21() + c.m22() * t.m22();
        if (score > bestScore) {
            bestScore = score;
            best = o;
        }
    }
    return best;
}

QTransform annotationFrame(const Annotation& annotation, const QSizeF& pageDpi, QSizeF* localSize) {
    const QSizeF dpi = usableDpi(pageDpi);
    const QTransform linear =
        TextOrientation{annotation.textTurns, annotation.textMirrored}.matrix() *
        QTransform::fromScale(dpi.width() / 72.0, dpi.height() / 72.0);
    const QRectF r = annotation.rect.normalized();
    // The frame's size: the page box taken back through the linear part.
    const QRectF back = linear.inverted().mapRect(QRectF(QPointF(0, 0), r.size()));
    const QSizeF size = back.size();
    const QRectF there = linear.mapRect(QRectF(QPointF(0, 0), size));
    if (localSize)
        *localSize = size;
    return linear * QTransform::fromTranslate(r.left() - there.left(), r.top() - there.top());
}

// --- Annotation -------------------------------------------------------------------------

Annotation Annotation::make(Kind kind, const QRectF& rect) {
    Annotation a;
    a.kind = kind;
    a.rect = rect.normalized();
    a.created = QDateTime::currentDateTimeUtc();
    switch (kind) {
        case FilledRect:
            a.fillColor = 0xFF0000;
            a.borderColor = kNoColor;
            a.lineWidth = 0;
            break;
        case HollowRect:
            a.fillColor = kNoColor;
            a.borderColor = 0x0000FF;
            a.lineWidth = 2;
            break;
        case Highlight:
            a.fillColor = 0x00FFFF;
            a.borderColor = kNoColor;
            a.lineWidth = 0;
            break;
        case Text:
            a.fillColor = kNoColor;
            a.borderColor = 0x000000;
            a.textColor = 0x000000;
            a.lineWidth = 1;
            break;
        case Stamp:
            a.fillColor = kNoColor;
            a.borderColor = 0x0000FF;
            a.textColor = 0x0000FF;
            a.lineWidth = 2;
            a.fontPointSize = 16;
            break;
    }
    return a;
}

void Annotation::orientTextFor(const QTransform& pageToDevice) {
    const TextOrientation o = TextOrientation::upright(pageToDevice);
    textTurns = o.turns;
    textMirrored = o.mirrored;
}

Annotation Annotation::stampAt(const QPointF& anchor, const QString& text, int pointSize,
                               const QSizeF& pageDpi, const QTransform& pageToDevice) {
    Annotation a = make(Stamp, QRectF());
    a.text = text;
    a.fontPointSize = pointSize > 0 ? pointSize : a.fontPointSize;
    a.orientTextFor(pageToDevice);
    const QSizeF box = AnnotationPainter::stampBoxPoints(a.text, a.fontPointSize);
    const QSizeF dpi = usableDpi(pageDpi);
    // The box in page pixels, grown from the anchor in the text's own directions.
    const QTransform local = TextOrientation{a.textTurns, a.textMirrored}.matrix() *
                             QTransform::fromScale(dpi.width() / 72.0, dpi.height() / 72.0) *
                             QTransform::fromTranslate(anchor.x(), anchor.y());
    a.rect = local.mapRect(QRectF(QPointF(0, 0), box));
    return a;
}

bool Annotation::operator==(const Annotation& o) const {
    return kind == o.kind && rect == o.rect && fillColor == o.fillColor &&
           borderColor == o.borderColor && textColor == o.textColor && lineWidth == o.lineWidth &&
           text == o.text && fontPointSize == o.fontPointSize && textTurns == o.textTurns &&
           textMirrored == o.textMirrored && created == o.created && extra == o.extra;
}

}  // namespace ktdv::imaging
