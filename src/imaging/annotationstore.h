#pragma once
// Annotations of a page and where they live: one private tag in the page's own TIFF
// directory, so they travel with their page through deletes, moves and copies.
//
// Geometry is in pixels of the page as stored (unrotated, unflipped), so zooming, turning
// or flipping the view never changes a stored annotation. Colours are 0x00BBGGRR values,
// as the settings store keeps them. The payload layout is described in
// docs/annotation-format.md.
//
// Thread safety: everything here is reentrant; the file functions may run on any thread
// but two writers of the same file must not run at once.

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QRgb>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include "imaging/safefilewriter.h"

class QColor;

namespace ktdv::imaging {

// Private TIFF tag holding a page's annotations ("KTDocView annotations", type UNDEFINED).
inline constexpr quint16 kAnnotationTag = 65101;
// Payload version written by this code, and the newest one it can read.
inline constexpr quint16 kAnnotationFormatVersion = 1;

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
QRgb rgbFromBgr(qint32 bgr);

// The annotation record's type numbers (5 hollow, 6 filled or highlight, 7 text, 9 stamp).
bool kindFromRecordType(qint32 type, bool highlight, Annotation::Kind* kind);
qint32 recordTypeForKind(Annotation::Kind kind);

// What a page's stored annotations turned out to be.
enum class AnnotationStatus {
    Absent,         // no tag: the page has no annotations
    Loaded,         // read; entries this version cannot use are counted in skipped
    Damaged,        // ours, but truncated or corrupt
    FutureVersion,  // written by a newer version that this one cannot read
    Foreign,        // the tag holds something that is not ours
    TooLarge,       // above the limits of limits.h
};

struct AnnotationLoadResult {
    AnnotationStatus status = AnnotationStatus::Absent;
    QList<Annotation> annotations;
    int skipped = 0;  // entries not understood (kept in the file on the next save)
    QString error;
    bool ok() const {
        return status == AnnotationStatus::Absent || status == AnnotationStatus::Loaded;
    }
    // Whether a save may replace what is stored. Everything not read stays untouched.
    bool writable() const { return ok(); }
};

// The payload, without any file. decode never fails hard: bad input gives a status.
QByteArray encodeAnnotations(const QList<Annotation>& annotations);
AnnotationLoadResult decodeAnnotations(const QByteArray& payload);

struct AnnotationSaveOptions {
    // Replace a damaged payload of ours (a future or foreign one is never replaced).
    bool replaceDamaged = false;
};

class AnnotationStore {
public:
    // Annotations of page `page` (0-based) of a TIFF or fax file.
    static AnnotationLoadResult load(const QString& path, int page);
    // Stores `annotations` as the page's annotations through the safe write path. Refused,
    // with the file untouched, when the stored payload could not be read (see writable()),
    // or when the list exceeds the limits. Entries and fields of a newer version found in
    // the stored payload are carried over.
    static WriteResult save(const QString& path, int page, const QList<Annotation>& annotations,
                            const AnnotationSaveOptions& options = {});
};

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

// A stored payload after its page turned through `turn` (as transformAnnotations): the
// entries this version reads are turned, everything else is carried over as it was. False,
// with *turned untouched, when the payload cannot be read; it is then to be left alone.
// An empty payload gives an empty one.
bool turnStoredAnnotations(const QByteArray& stored, const QSizeF& pageSize, const QTransform& turn,
                           QByteArray* turned);

}  // namespace ktdv::imaging
