#pragma once
// An annotation of a page as the program keeps it. Geometry is in pixels of the page as
// stored (unrotated, unflipped), so zooming, turning or flipping the view never changes a
// stored annotation. Colours are 0x00BBGGRR values, as the settings store keeps them.
//
// Thread safety: everything here is reentrant.

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QTransform>

class QColor;

namespace ktdv::imaging {

// Which way text runs on the stored page: quarter turns clockwise, then a left-right
// mirror. Transforms here use page coordinates with y pointing down.
struct TextOrientation {
    int turns = 0;
    bool mirrored = false;

    // The linear map from the text's own axes to the page's.
    QTransform matrix() const;
    // The orientation that reads upright through pageToDevice (the nearest one when the
    // transform is not made of quarter turns and mirrors).
    static TextOrientation upright(const QTransform& pageToDevice);
    // This orientation after the page itself went through oldToNew.
    TextOrientation followedBy(const QTransform& oldToNew) const;
};

struct Annotation {
    enum Kind { FilledRect, HollowRect, Highlight, Text, Stamp };
    static constexpr qint32 kNoColor = -1;

    Kind kind = FilledRect;
    // Bounds in page pixels of the stored page; for a stamp the box its text needs,
    // computed when it was placed (see stampAt).
    QRectF rect;
    qint32 fillColor = 0xFF0000;    // 0x00BBGGRR, or kNoColor
    qint32 borderColor = 0x0000FF;  // frame, and the text of a stamp
    qint32 textColor = 0x000000;    // text of a text frame
    qreal lineWidth = 1.0;          // frame width in points; 0 = no frame
    QString text;                   // text frame contents or stamp text
    int fontPointSize = 12;
    // Orientation of the text relative to the stored page: quarter turns clockwise, then a
    // left-right mirror. Text is placed so that it reads upright in the view it was made in.
    int textTurns = 0;
    bool textMirrored = false;
    QDateTime created;
    // Fields of newer versions that this one does not know; written back unchanged.
    QJsonObject extra;

    // A rectangle, highlight or text frame with the usual colours of its kind.
    static Annotation make(Kind kind, const QRectF& rect);
    // A stamp whose top-left corner, as seen through pageToDevice, is anchor (page pixels).
    // Its box is sized for the text in bold at pointSize on a page of pageDpi resolution.
    static Annotation stampAt(const QPointF& anchor, const QString& text, int pointSize,
                              const QSizeF& pageDpi, const QTransform& pageToDevice = {});
    // Makes the text read upright through pageToDevice (only its quarter turns and mirror
    // count).
    void orientTextFor(const QTransform& pageToDevice);

    bool operator==(const Annotation& other) const;
    bool operator!=(const Annotation& other) const { return !(*this == other); }
};

// The annotation's own frame: units are points, x runs along its text, (0,0) is the
// corner where its text starts. localSize receives the frame's size in points.
QTransform annotationFrame(const Annotation& annotation, const QSizeF& pageDpi, QSizeF* localSize);

// 0x00BBGGRR <-> colour. kNoColor gives an invalid QColor and back.
QColor colorFromBgr(qint32 bgr);
qint32 bgrFromColor(const QColor& color);

}  // namespace ktdv::imaging
