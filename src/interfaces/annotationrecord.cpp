#include "interfaces/annotationrecord.h"

#include <QtEndian>

namespace ktdv {

namespace {
void put32(QByteArray& b, int offset, qint32 v) {
    qToLittleEndian<qint32>(v, b.data() + offset);
}
qint32 get32(const QByteArray& b, int offset) {
    return qFromLittleEndian<qint32>(b.constData() + offset);
}
}  // namespace

QByteArray AnnotationRecord::toWire() const {
    QByteArray b(kWireSize, '\0');
    put32(b, 0, reserved0);
    put32(b, 4, type);
    put32(b, 60, top);
    put32(b, 64, left);
    put32(b, 68, bottom);
    put32(b, 72, right);
    return b;
}

AnnotationRecord AnnotationRecord::fromWire(const QByteArray& bytes) {
    AnnotationRecord r;
    if (bytes.size() < kWireSize)
        return r;
    r.reserved0 = get32(bytes, 0);
    r.type = get32(bytes, 4);
    r.top = get32(bytes, 60);
    r.left = get32(bytes, 64);
    r.bottom = get32(bytes, 68);
    r.right = get32(bytes, 72);
    return r;
}

}  // namespace ktdv
