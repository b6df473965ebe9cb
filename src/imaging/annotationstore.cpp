#include "imaging/annotationstore.h"

#include <QColor>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QtEndian>

#include <array>
#include <cmath>

#include "imaging/annotationpainter.h"
#include "imaging/limits.h"
#include "imaging/tiffpageedit.h"

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

bool rectIsSane(const QRectF& r) {
    return finiteCoordinate(r.x()) && finiteCoordinate(r.y()) && finiteCoordinate(r.width()) &&
           finiteCoordinate(r.height()) && r.width() >= 0 && r.height() >= 0;
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
    if (!rectIsSane(a.rect))
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

// A payload in full: what load returns, and what a save must carry over.
struct Decoded {
    AnnotationLoadResult result;
    QJsonArray keptEntries;  // entries this version could not use, raw
    QJsonObject keptTop;     // top-level keys this version does not know
};

Decoded fail(AnnotationStatus status, const QString& error) {
    Decoded d;
    d.result.status = status;
    d.result.error = error;
    return d;
}

Decoded decode(const QByteArray& payload) {
    if (payload.isEmpty())
        return {};
    if (payload.size() > limits::kMaxAnnotationBytes)
        return fail(AnnotationStatus::TooLarge,
                    QStringLiteral("annotations take %1 bytes, more than the %2 allowed")
                        .arg(payload.size())
                        .arg(limits::kMaxAnnotationBytes));
    if (payload.size() < 8 || memcmp(payload.constData(), kMagic, 8) != 0)
        return fail(AnnotationStatus::Foreign, QStringLiteral("the tag does not hold annotations"));
    if (payload.size() < 12)
        return fail(AnnotationStatus::Damaged, QStringLiteral("annotations are truncated"));
    const auto* p = reinterpret_cast<const uchar*>(payload.constData());
    const quint16 version = qFromLittleEndian<quint16>(p + 8);
    const quint16 minReader = qFromLittleEndian<quint16>(p + 10);
    if (minReader > kAnnotationFormatVersion || minReader == 0)
        return fail(AnnotationStatus::FutureVersion,
                    QStringLiteral("annotations were written in format %1, this program reads %2")
                        .arg(version)
                        .arg(kAnnotationFormatVersion));
    if (payload.size() < kHeaderSize)
        return fail(AnnotationStatus::Damaged, QStringLiteral("annotations are truncated"));
    const quint32 length = qFromLittleEndian<quint32>(p + 12);
    const quint32 crc = qFromLittleEndian<quint32>(p + 16);
    if (length != static_cast<quint32>(payload.size() - kHeaderSize))
        return fail(AnnotationStatus::Damaged,
                    QStringLiteral("annotations are %1 bytes long, %2 expected")
                        .arg(payload.size() - kHeaderSize)
                        .arg(length));
    const char* body = payload.constData() + kHeaderSize;
    if (crc32(body, length) != crc)
        return fail(AnnotationStatus::Damaged, QStringLiteral("annotations are corrupt"));

    QJsonParseError parseError;
    const QJsonDocument doc =
        QJsonDocument::fromJson(QByteArray::fromRawData(body, length), &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject())
        return fail(AnnotationStatus::Damaged, QStringLiteral("annotations are corrupt"));
    const QJsonObject top = doc.object();
    const QJsonValue list = top.value(QStringLiteral("annotations"));
    if (!list.isArray())
        return fail(AnnotationStatus::Damaged, QStringLiteral("annotations are corrupt"));
    const QJsonArray entries = list.toArray();
    if (entries.size() > limits::kMaxAnnotationsPerPage)
        return fail(AnnotationStatus::TooLarge,
                    QStringLiteral("%1 annotations on one page, more than the %2 allowed")
                        .arg(entries.size())
                        .arg(limits::kMaxAnnotationsPerPage));

    Decoded d;
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

QByteArray encode(const QList<Annotation>& annotations, const QJsonArray& keptEntries,
                  const QJsonObject& keptTop) {
    QJsonArray entries = keptEntries;
    for (const Annotation& a : annotations)
        entries.append(entryToJson(a));
    QJsonObject top = keptTop;
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

}  // namespace

// --- colours and record types ---------------------------------------------------------

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

QRgb rgbFromBgr(qint32 bgr) {
    return qRgb(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

bool kindFromRecordType(qint32 type, bool highlight, Annotation::Kind* kind) {
    switch (type) {
        case 5:
            *kind = Annotation::HollowRect;
            return true;
        case 6:
            *kind = highlight ? Annotation::Highlight : Annotation::FilledRect;
            return true;
        case 7:
            *kind = Annotation::Text;
            return true;
        case 9:
            *kind = Annotation::Stamp;
            return true;
        default:
            return false;
    }
}

qint32 recordTypeForKind(Annotation::Kind kind) {
    switch (kind) {
        case Annotation::HollowRect:
            return 5;
        case Annotation::FilledRect:
        case Annotation::Highlight:
            return 6;
        case Annotation::Text:
            return 7;
        case Annotation::Stamp:
            return 9;
    }
    return 0;
}

// --- orientation -----------------------------------------------------------------------

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

// --- payload and file -------------------------------------------------------------------

QByteArray encodeAnnotations(const QList<Annotation>& annotations) {
    return encode(annotations, {}, {});
}

AnnotationLoadResult decodeAnnotations(const QByteArray& payload) {
    return decode(payload).result;
}

namespace {

// The page's stored payload and what it holds. A tag that is there but could not be read
// counts as unreadable, never as no annotations, so a save leaves it alone.
Decoded readStored(const QString& path, int page, QByteArray* stored) {
    TagRead how = TagRead::Absent;
    *stored = readPageTag(path, page, kAnnotationTag, &how);
    if (how == TagRead::TooLarge)
        return fail(AnnotationStatus::TooLarge,
                    QStringLiteral("the stored annotations are larger than the %1 bytes allowed")
                        .arg(limits::kMaxTagBytes));
    if (how == TagRead::Unreadable)
        return fail(AnnotationStatus::Damaged,
                    QStringLiteral("the stored annotations cannot be read from the file"));
    return decode(*stored);
}

}  // namespace

AnnotationLoadResult AnnotationStore::load(const QString& path, int page) {
    QByteArray stored;
    return readStored(path, page, &stored).result;
}

WriteResult AnnotationStore::save(const QString& path, int page,
                                  const QList<Annotation>& annotations,
                                  const AnnotationSaveOptions& options) {
    auto refuse = [](const QString& why) { return WriteResult{false, why}; };
    for (const Annotation& a : annotations) {
        if (!rectIsSane(a.rect.normalized()))
            return refuse(QStringLiteral("an annotation lies outside any page"));
    }

    QByteArray stored;
    Decoded current = readStored(path, page, &stored);
    if (current.result.status == AnnotationStatus::Damaged && options.replaceDamaged)
        current = Decoded{};
    else if (!current.result.writable())
        return refuse(QStringLiteral("the stored annotations of page %1 cannot be read (%2); "
                                     "they are left as they are")
                          .arg(page + 1)
                          .arg(current.result.error));

    const qsizetype count = annotations.size() + current.keptEntries.size();
    if (count > limits::kMaxAnnotationsPerPage)
        return refuse(QStringLiteral("%1 annotations on one page, more than the %2 allowed")
                          .arg(count)
                          .arg(limits::kMaxAnnotationsPerPage));
    if (count == 0 && current.keptTop.isEmpty()) {
        // Nothing left to keep: the page goes back to having no tag at all.
        if (stored.isEmpty())
            return {true, {}};
        return writePageTag(path, page, kAnnotationTag, QByteArray());
    }
    const QByteArray payload = encode(annotations, current.keptEntries, current.keptTop);
    if (payload.size() > limits::kMaxAnnotationBytes)
        return refuse(QStringLiteral("annotations would take %1 bytes, more than the %2 allowed")
                          .arg(payload.size())
                          .arg(limits::kMaxAnnotationBytes));
    if (payload == stored)
        return {true, {}};
    return writePageTag(path, page, kAnnotationTag, payload);
}

// --- geometry ---------------------------------------------------------------------------

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

bool turnStoredAnnotations(const QByteArray& stored, const QSizeF& pageSize, const QTransform& turn,
                           QByteArray* turned) {
    if (stored.isEmpty()) {
        turned->clear();
        return true;
    }
    const Decoded current = decode(stored);
    if (!current.result.writable())
        return false;
    *turned = encode(transformAnnotations(current.result.annotations, pageSize, turn),
                     current.keptEntries, current.keptTop);
    return true;
}

QList<Annotation> transformForTurn(const QList<Annotation>& annotations, const QSizeF& pageSize,
                                   int quarterTurns, bool flip) {
    return transformAnnotations(annotations, pageSize, turnTransform(pageSize, quarterTurns, flip));
}

}  // namespace ktdv::imaging
