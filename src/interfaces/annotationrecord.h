#pragma once
// The record exchanged with the page view's AnnotationCommand. Its wire form is the
// 104-byte layout hosts of the original component expect; inside the process the two
// string references are carried as QStrings.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace ktdv {

struct AnnotationRecord {
    // Annotation kinds the viewer creates.
    static constexpr qint32 kHollowRectangle = 5;
    static constexpr qint32 kFilledRectangle = 6;  // also a highlight
    static constexpr qint32 kText = 7;
    static constexpr qint32 kStamp = 9;
    static constexpr int kWireSize = 104;

    qint32 reserved0 = 0;  // offset 0
    qint32 type = 0;       // offset 4
    QString text;          // offset 52: string reference (stamp text)
    QString text2;         // offset 56: second string reference
    qint32 top = 0;        // offset 60, twips
    qint32 left = 0;       // offset 64
    qint32 bottom = 0;     // offset 68
    qint32 right = 0;      // offset 72

    // The 104-byte little-endian layout; string references are written as 0.
    QByteArray toWire() const;
    static AnnotationRecord fromWire(const QByteArray& bytes);
};

}  // namespace ktdv
