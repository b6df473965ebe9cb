#pragma once
// Where annotations lie: hit testing, and annotations following their page through turns
// and mirrors.
//
// Thread safety: everything here is reentrant.

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>

#include "imaging/annotationmodel.h"

namespace ktdv::imaging {

struct AnnotationHit {
    int index = -1;  // -1 when nothing is under the point
    QRectF bounds;   // page pixels
    bool found() const { return index >= 0; }
};

// The topmost (last drawn) annotation whose bounds, grown by tolerance page pixels,
// contain pagePoint. Edges count as inside.
AnnotationHit hitTest(const QList<Annotation>& annotations, const QPointF& pagePoint,
                      qreal tolerance = 0);

// The annotations of a page that is turned clockwise by quarterTurns quarters and then,
// when flip is set, mirrored top to bottom (as the page view flips). pageSize is the size
// before the turn.
QList<Annotation> transformForTurn(const QList<Annotation>& annotations, const QSizeF& pageSize,
                                   int quarterTurns, bool flip);
// The same for any turn made of quarter turns and mirrors, given by its linear part (its
// translation is ignored: the turned page is moved back to start at (0, 0), as
// QImage::transformed does).
QList<Annotation> transformAnnotations(const QList<Annotation>& annotations, const QSizeF& pageSize,
                                       const QTransform& turn);
// The map of old page pixels to new ones for such a turn.
QTransform pageTurnMatrix(const QSizeF& pageSize, const QTransform& turn);
QTransform turnTransform(const QSizeF& pageSize, int quarterTurns, bool flip);

}  // namespace ktdv::imaging
