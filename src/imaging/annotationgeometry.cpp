#include "imaging/annotationgeometry.h"

namespace ktdv::imaging {

AnnotationHit hitTest(const QList<Annotation>& annotations, const QPointF& pagePoint,
                      qreal tolerance) {
    for (qsizetype i = annotations.size() - 1; i >= 0; --i) {
        const QRectF bounds = annotations[i].rect.normalized();
        const QRectF grown = bounds.adjusted(-tolerance, -tolerance, tolerance, tolerance);
        if (pagePoint.x() >= grown.left() && pagePoint.x() <= grown.right() &&
            pagePoint.y() >= grown.top() && pagePoint.y() <= grown.bottom())
            return {static_cast<int>(i), bounds};
    }
    return {};
}

QTransform pageTurnMatrix(const QSizeF& pageSize, const QTransform& turn) {
    const QTransform linear(turn.m11(), turn.m12(), turn.m21(), turn.m22(), 0, 0);
    const QRectF moved = linear.mapRect(QRectF(QPointF(0, 0), pageSize));
    return linear * QTransform::fromTranslate(-moved.left(), -moved.top());
}

QTransform turnTransform(const QSizeF& pageSize, int quarterTurns, bool flip) {
    const TextOrientation clockwise{quarterTurns, false};
    QTransform linear = clockwise.matrix();
    if (flip)
        linear *= QTransform(1, 0, 0, -1, 0, 0);
    return pageTurnMatrix(pageSize, linear);
}

QList<Annotation> transformAnnotations(const QList<Annotation>& annotations, const QSizeF& pageSize,
                                       const QTransform& turn) {
    const QTransform oldToNew = pageTurnMatrix(pageSize, turn);
    QList<Annotation> out;
    out.reserve(annotations.size());
    for (Annotation a : annotations) {
        a.rect = oldToNew.mapRect(a.rect.normalized());
        const TextOrientation o = TextOrientation{a.textTurns, a.textMirrored}.followedBy(oldToNew);
        a.textTurns = o.turns;
        a.textMirrored = o.mirrored;
        out.append(a);
    }
    return out;
}

QList<Annotation> transformForTurn(const QList<Annotation>& annotations, const QSizeF& pageSize,
                                   int quarterTurns, bool flip) {
    return transformAnnotations(annotations, pageSize, turnTransform(pageSize, quarterTurns, flip));
}

}  // namespace ktdv::imaging
