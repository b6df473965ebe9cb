#pragma once
// Draws a page's annotations. One code path serves the screen at any zoom, turn and flip,
// printing and PDF export: the caller says how page pixels map to its device.
//
// Thread safety: may run on any thread with a painter on a QImage; widget painters on the
// UI thread only, as Qt requires.

#include <QList>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include "imaging/annotationmodel.h"

class QFont;
class QPainter;

namespace ktdv::imaging {

class AnnotationPainter {
public:
    // Paints annotations in list order (the last one on top). pageToDevice maps page pixels
    // of the stored page to the painter's coordinates and is applied on top of the painter's
    // current transform; pageDpi is the page's resolution, which sets the size of text and
    // frame lines (given in points). The painter's state is restored afterwards.
    static void paint(QPainter& painter, const QList<Annotation>& annotations,
                      const QTransform& pageToDevice, const QSizeF& pageDpi = QSizeF(96, 96));
    static void paintOne(QPainter& painter, const Annotation& annotation,
                         const QTransform& pageToDevice, const QSizeF& pageDpi = QSizeF(96, 96));

    // The face used for text frames and stamps, sized in pixels.
    static QFont font(int pixelSize, bool bold);
    // Size in points of the box a stamp with this text needs.
    static QSizeF stampBoxPoints(const QString& text, int pointSize);
};

}  // namespace ktdv::imaging
