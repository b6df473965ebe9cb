#pragma once
// The payload that holds a page's annotations, without any file: a header with magic,
// versions, length and checksum, then a JSON body. The layout is described in
// docs/annotation-format.md.
//
// Thread safety: everything here is reentrant.

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include "imaging/annotationmodel.h"

namespace ktdv::imaging {

// Payload version written by this code, and the newest one it can read.
inline constexpr quint16 kAnnotationFormatVersion = 1;

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

// The payload. decode never fails hard: bad input gives a status.
QByteArray encodeAnnotations(const QList<Annotation>& annotations);
AnnotationLoadResult decodeAnnotations(const QByteArray& payload);

// A payload in full: what it holds, and what a rewrite must carry over unchanged.
struct AnnotationPayload {
    AnnotationLoadResult result;
    QJsonArray keptEntries;  // entries this version could not use, raw
    QJsonObject keptTop;     // top-level keys this version does not know

    static AnnotationPayload failed(AnnotationStatus status, const QString& error);
};
AnnotationPayload decodePayload(const QByteArray& payload);
// annotations after the entries kept from an earlier payload, with its unknown keys.
QByteArray encodePayload(const QList<Annotation>& annotations, const AnnotationPayload& kept);
// Whether a payload can hold this rectangle (finite, not absurdly far out, not inverted).
bool isStorableRect(const QRectF& rect);

// A stored payload after its page turned through `turn` (as transformAnnotations): the
// entries this version reads are turned, everything else is carried over as it was. False,
// with *turned untouched, when the payload cannot be read; it is then to be left alone.
// An empty payload gives an empty one.
bool turnStoredAnnotations(const QByteArray& stored, const QSizeF& pageSize, const QTransform& turn,
                           QByteArray* turned);

}  // namespace ktdv::imaging
