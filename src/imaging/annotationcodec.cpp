#include "imaging/annotationcodec.h"

#include <QColor>
#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonValue>
#include <QtEndian>

#include <array>
#include <cmath>

#include "imaging/annotationgeometry.h"
#include "imaging/limits.h"

namespace ktdv::imaging {

namespace {

// Payload header: magic, writer's version, oldest reader version that can read it, body
// length, CRC-32 of the body. The first twelve bytes keep this meaning in every version.
constexpr char kMagic[8] = {'K', 'T', 'D', 'V', 'A', 'N', 'N', 'O'};
constexpr int kHeaderSize = 20;
// Coordinates beyond this are not from any page we can open.
constexpr double kMaxCoordinate = 1e7;

constexpr std::array<quint32, 256> makeCrcTable() {
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}
constexpr std::array<quint32, 256> kCrcTable = makeCrcTable();

quint32 crc32(const char* data, qsizetype size) {
    quint32 c = 0xFFFFFFFFu;
    for (qsizetype i = 0; i < size; ++i)
        c = kCrcTable[(c ^ static_cast<quint8>(data[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

const char* kindName(Annotation::Kind kind) {
    switch (kind) {
        case Annotation::FilledRect:
            return "filledRect";
        case Annotation::HollowRect:
            return "hollowRect";
        case Annotation::Highlight:
            return "highlight";
        case Annotation::Text:
            return "text";
        case Annotation::Stamp:
            return "stamp";
    }
    return "";
}

bool kindFromName(const QString& name, Annotation::Kind* kind) {
    for (auto k : {Annotation::FilledRect, Annotation::HollowRect, Annotation::Highlight,
                   Annotation::Text, Annotation::Stamp}) {
        if (name == QLatin1String(kindName(k))) {
            *kind = k;
            return true;
        }
    }
    return false;
}

const QStringList& knownKeys() {
    static const QStringList keys = {
        QStringLiteral("kind"),         QStringLiteral("rect"),      QStringLiteral("fill"),
        QStringLiteral("border"),       QStringLiteral("textColor"), QStringLiteral("lineWidth"),
        QStringLiteral("text"),         QStringLiteral("fontSize"),  QStringLiteral("textTurns"),
        QStringLiteral("textMirrored"), QStringLiteral("created")};
    return keys;
}

QJsonValue colorToJson(qint32 bgr) {
    if (bgr < 0)
        return QJsonValue(QJsonValue::Null);
    return colorFromBgr(bgr).name(QColor::HexRgb);
}

// Absent or unreadable keeps the default; null is "no colour".
void colorFromJson(const QJsonValue& v, qint32* out) {
    if (v.isNull()) {
        *out = Annotation::kNoColor;
    } else if (v.isString()) {
        const QString s = v.toString();
        if (s.size() == 7 && s.startsWith(QLatin1Char('#'))) {
            const QColor c = QColor::fromString(s);
            if (c.isValid())
                *out = bgrFromColor(c);
        }
    }
}

bool finiteCoordinate(double v) {
    return std::isfinite(v) && std::fabs(v) <= kMaxCoordinate;
}

QJsonObject entryToJson(const Annotation& a) {
    QJsonObject o = a.extra;
    const QRectF r = a.rect.normalized();
    o.insert(QStringLiteral("kind"), QLatin1String(kindName(a.kind)));
    o.insert(QStringLiteral("rect"), QJsonArray{r.x(), r.y(), r.width(), r.height()});
    o.insert(QStringLiteral("fill"), colorToJson(a.fillColor));
    o.insert(QStringLiteral("border"), colorToJson(a.borderColor));
    o.insert(QStringLiteral("textColor"), colorToJson(a.textColor));
    o.insert(QStringLiteral("lineWidth"), a.lineWidth);
    if (!a.text.isEmpty())
        o.insert(QStringLiteral("text"), a.text);
    o.insert(QStringLiteral("fontSize"), a.fontPointSize);
    if (a.textTurns != 0)
        o.insert(QStringLiteral("textTurns"), a.textTurns);
    if (a.textMirrored)
        o.insert(QStringLiteral("textMirrored"), true);
    if (a.created.isValid())
        o.insert(QStringLiteral("created"), a.created.toUTC().toString(Qt::ISODateWithMs));
    return o;
}

// False when the entry cannot be shown (unknown kind, missing or absurd geometry).
bool entryFromJson(const QJsonObject& o, Annotation* out) {
    Annotation a;
    if (!kindFromName(o.value(QStringLiteral("kind")).toString(), &a.kind))
        return false;
    a = Annotation::make(a.kind, QRectF());
    a.created = QDateTime();
    const QJsonArray r = o.value(QStringLiteral("rect")).toArray();
    if (r.size() != 4)
        return false;
    for (const QJsonValue& v : r) {
        if (!v.isDouble())
            return false;
    }
    a.rect = QRectF(r[0].toDouble(), r[1].toDouble(), r[2].toDouble(), r[3].toDouble());
    if (!isStorableRect(a.rect))
        return false;

    colorFromJson(o.value(QStringLiteral("fill")), &a.fillColor);
    colorFromJson(o.value(QStringLiteral("border")), &a.borderColor);
    colorFromJson(o.value(QStringLiteral("textColor")), &a.textColor);
    const QJsonValue lw = o.value(QStringLiteral("lineWidth"));
    if (lw.isDouble() && lw.toDouble() >= 0 && lw.toDouble() <= 1000)
        a.lineWidth = lw.toDouble();
    const QJsonValue text = o.value(QStringLiteral("text"));
    if (text.isString())
        a.text = text.toString();
    const QJsonValue fs = o.value(QStringLiteral("fontSize"));
    if (fs.isDouble() && fs.toDouble() >= 1 && fs.toDouble() <= 1000)
        a.fontPointSize = qRound(fs.toDouble());
    const QJsonValue turns = o.value(QStringLiteral("textTurns"));
    if (turns.isDouble() && turns.toInt() >= 0 && turns.toInt() <= 3)
        a.textTurns = turns.toInt();
    a.textMirrored = o.value(QStringLiteral("textMirrored")).toBool(false);
    const QJsonValue created = o.value(QStringLiteral("created"));
    if (created.isString())
        a.created = QDateTime::fromString(created.toString(), Qt::ISODateWithMs);

    for (auto it = o.begin(); it != o.end(); ++it) {
        if (!knownKeys().contains(it.key()))
            a.extra.insert(it.key(), it.value());
    }
    *out = a;
    return true;
}

}  // namespace

bool isStorableRect(const QRectF& r) {
    return finiteCoordinate(r.x()) && finiteCoordinate(r.y()) && finiteCoordinate(r.width()) &&
           finiteCoordinate(r.height()) && r.width() >= 0 && r.height() >= 0;
}

AnnotationPayload AnnotationPayload::failed(AnnotationStatus status, const QString& error) {
    AnnotationPayload d;
    d.result.status = status;
    d.result.error = error;
    return d;
}

AnnotationPayload decodePayload(const QByteArray& payload) {
    if (payload.isEmpty())
        return {};
    if (payload.size() > limits::kMaxAnnotationBytes)
        return AnnotationPayload::failed(
            AnnotationStatus::TooLarge,
            QCoreApplication::translate("ktdv::imaging",
                                        "annotations take %1 bytes, more than the %2 allowed")
                .arg(payload.size())
                .arg(limits::kMaxAnnotationBytes));
    if (payload.size() < 8 || memcmp(payload.constData(), kMagic, 8) != 0)
        return AnnotationPayload::failed(
            AnnotationStatus::Foreign,
            QCoreApplication::translate("ktdv::imaging", "the tag does not hold annotations"));
    if (payload.size() < 12)
        return AnnotationPayload::failed(
            AnnotationStatus::Damaged,
            QCoreApplication::translate("ktdv::imaging", "annotations are truncated"));
    const auto* p = reinterpret_cast<const uchar*>(payload.constData());
    const quint16 version = qFromLittleEndian<quint16>(p + 8);
    const quint16 minReader = qFromLittleEndian<quint16>(p + 10);
    if (minReader > kAnnotationFormatVersion || minReader == 0)
        return AnnotationPayload::failed(
            AnnotationStatus::FutureVersion,
            QCoreApplication::translate(
                "ktdv::imaging", "annotations were written in format %1, this program reads %2")
                .arg(version)
                .arg(kAnnotationFormatVersion));
    if (payload.size() < kHeaderSize)
        return AnnotationPayload::failed(
            AnnotationStatus::Damaged,
            QCoreApplication::translate("ktdv::imaging", "annotations are truncated"));
    const quint32 length = qFromLittleEndian<quint32>(p + 12);
    const quint32 crc = qFromLittleEndian<quint32>(p + 16);
    if (length != static_cast<quint32>(payload.size() - kHeaderSize))
        return AnnotationPayload::failed(
            AnnotationStatus::Damaged,
            QCoreApplication::translate("ktdv::imaging",
                                        "annotations are %1 bytes long, %2 expected")
                .arg(payload.size() - kHeaderSize)
                .arg(length));
    const char* body = payload.constData() + kHeaderSize;
    if (crc32(body, length) != crc)
        return AnnotationPayload::failed(
            AnnotationStatus::Damaged,
            QCoreApplication::translate("ktdv::imaging", "annotations are corrupt"));

    QJsonParseError parseError;
    const QJsonDocument doc =
        QJsonDocument::fromJson(QByteArray::fromRawData(body, length), &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject())
        return AnnotationPayload::failed(
            AnnotationStatus::Damaged,
            QCoreApplication::translate("ktdv::imaging", "annotations are corrupt"));
    const QJsonObject top = doc.object();
    const QJsonValue list = top.value(QStringLiteral("annotations"));
    if (!list.isArray())
        return AnnotationPayload::failed(
            AnnotationStatus::Damaged,
            QCoreApplication::translate("ktdv::imaging", "annotations are corrupt"));
    const QJsonArray entries = list.toArray();
    if (entries.size() > limits::kMaxAnnotationsPerPage)
        return AnnotationPayload::failed(
            AnnotationStatus::TooLarge,
            QCoreApplication::translate("ktdv::imaging",
                                        "%1 annotations on one page, more than the %2 allowed")
                .arg(entries.size())
                .arg(limits::kMaxAnnotationsPerPage));

    AnnotationPayload d;
    d.result.status = AnnotationStatus::Loaded;
    for (const QJsonValue& v : entries) {
        Annotation a;
        if (v.isObject() && entryFromJson(v.toObject(), &a)) {
            d.result.annotations.append(a);
        } else {
            d.keptEntries.append(v);
            ++d.result.skipped;
        }
    }
    for (auto it = top.begin(); it != top.end(); ++it) {
        if (it.key() != QLatin1String("annotations"))
            d.keptTop.insert(it.key(), it.value());
    }
    return d;
}

QByteArray encodePayload(const QList<Annotation>& annotations, const AnnotationPayload& kept) {
    QJsonArray entries = kept.keptEntries;
    for (const Annotation& a : annotations)
        entries.append(entryToJson(a));
    QJsonObject top = kept.keptTop;
    top.insert(QStringLiteral("annotations"), entries);
    const QByteArray body = QJsonDocument(top).toJson(QJsonDocument::Compact);

    QByteArray out(kHeaderSize, '\0');
    memcpy(out.data(), kMagic, 8);
    auto* p = reinterpret_cast<uchar*>(out.data());
    qToLittleEndian<quint16>(kAnnotationFormatVersion, p + 8);
    qToLittleEndian<quint16>(1, p + 10);
    qToLittleEndian<quint32>(static_cast<quint32>(body.size()), p + 12);
    qToLittleEndian<quint32>(crc32(body.constData(), body.size()), p + 16);
    return out + body;
}

QByteArray encodeAnnotations(const QList<Annotation>& annotations) {
    return encodePayload(annotations, {});
}

AnnotationLoadResult decodeAnnotations(const QByteArray& payload) {
    return decodePayload(payload).result;
}

bool turnStoredAnnotations(const QByteArray& stored, const QSizeF& pageSize, const QTransform& turn,
                           QByteArray* turned) {
    if (stored.isEmpty()) {
        turned->clear();
        return true;
    }
    const AnnotationPayload current = decodePayload(stored);
    if (!current.result.writable())
        return false;
    *turned =
        encodePayload(transformAnnotations(current.result.annotations, pageSize, turn), current);
    return true;
}

}  // namespace ktdv::imaging
