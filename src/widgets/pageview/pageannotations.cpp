#include "widgets/pageview/pageannotations.h"

#include <QCoreApplication>

#include <cmath>

#include "imaging/annotationgeometry.h"
#include "imaging/document.h"
#include "imaging/edithistory.h"
#include "platform/busycursor.h"
#include "platform/settingsstore.h"
#include "platform/twips.h"
#include "widgets/pageview/fileattributes.h"

namespace ktdv {

namespace {

// How far from an annotation a click still finds it, in screen pixels.
constexpr double kHitTolerancePixels = 3.0;

// The kind of annotation an added record makes; false for a type the view does not add.
bool kindFromRecordType(qint32 type, bool highlight, imaging::Annotation::Kind* kind) {
    using imaging::Annotation;
    switch (type) {
        case AnnotationRecord::kHollowRectangle:
            *kind = Annotation::HollowRect;
            return true;
        case AnnotationRecord::kFilledRectangle:
            *kind = highlight ? Annotation::Highlight : Annotation::FilledRect;
            return true;
        case AnnotationRecord::kText:
            *kind = Annotation::Text;
            return true;
        case AnnotationRecord::kStamp:
            *kind = Annotation::Stamp;
            return true;
        default:
            return false;
    }
}

imaging::PageKey keyOf(const imaging::Document& doc, int page) {
    return {doc.path(), doc.fileSize(), doc.modified().toMSecsSinceEpoch(), page};
}

QPointF twipsToWidget(double x, double y) {
    const double px = twips::perPixelX();
    const double py = twips::perPixelY();
    return {px > 0 ? x / px : 0.0, py > 0 ? y / py : 0.0};
}

qint32 widgetToTwipsX(double x) {
    return qint32(twips::roundEven(x * twips::perPixelX()));
}
qint32 widgetToTwipsY(double y) {
    return qint32(twips::roundEven(y * twips::perPixelY()));
}

// Corners on whole page pixels, so the same area dragged at any zoom is stored alike.
QRectF onPixels(const QRectF& r) {
    return QRectF(QPointF(std::round(r.left()), std::round(r.top())),
                  QPointF(std::round(r.right()), std::round(r.bottom())));
}

}  // namespace

PageAnnotations::PageAnnotations(std::shared_ptr<SettingsStore> settings)
    : m_settings(std::move(settings)) {}

// --- reading -------------------------------------------------------------------------------

const QList<imaging::Annotation>& PageAnnotations::list(const PageInView& page) const {
    ensure(page);
    return m_list;
}

imaging::AnnotationStatus PageAnnotations::status(const PageInView& page) const {
    ensure(page);
    return m_status;
}

void PageAnnotations::ensure(const PageInView& page) const {
    if (!page.doc || page.path.isEmpty() || !page.hasImage) {
        m_list.clear();
        m_status = imaging::AnnotationStatus::Absent;
        m_key = {};
        return;
    }
    if (m_key == keyOf(*page.doc, page.index))
        return;
    read(page);
}

bool PageAnnotations::reload(const PageInView& page) {
    return read(page);
}

bool PageAnnotations::read(const PageInView& page) const {
    m_list.clear();
    m_status = imaging::AnnotationStatus::Absent;
    m_key = {};
    if (!page.doc || page.path.isEmpty())
        return false;
    m_key = keyOf(*page.doc, page.index);
    if (page.doc->format() != imaging::FileFormat::Tiff)
        return page.doc->format() == imaging::FileFormat::RawFaxG3;  // no tags, no annotations
    imaging::AnnotationLoadResult loaded = imaging::AnnotationStore::load(page.path, page.index);
    m_status = loaded.status;
    m_list = std::move(loaded.annotations);
    return loaded.ok();
}

bool PageAnnotations::editable(const PageInView& page) const {
    ensure(page);
    if (!page.doc || page.path.isEmpty() || !page.hasImage ||
        page.doc->format() != imaging::FileFormat::Tiff)
        return false;
    // What could not be read is never overwritten, so nothing is added on top of it.
    if (m_status != imaging::AnnotationStatus::Absent &&
        m_status != imaging::AnnotationStatus::Loaded)
        return false;
    return !fileAttributeLetters(page.path).contains(QLatin1Char('R'));
}

void PageAnnotations::followRewrite(const imaging::Document& oldDoc,
                                    const imaging::Document& newDoc, int page) {
    if (m_key == keyOf(oldDoc, page))
        m_key = keyOf(newDoc, page);
}

void PageAnnotations::setFrameText(const PageInView& page, const imaging::Annotation& frame,
                                   const QString& text) {
    ensure(page);
    const qsizetype shown = m_list.indexOf(frame);
    if (shown >= 0)
        m_list[shown].text = text;
}

void PageAnnotations::showUnstored(const PageInView& page, const imaging::Annotation& frame) {
    ensure(page);
    if (!m_list.contains(frame))
        m_list.append(frame);
}

void PageAnnotations::dropUnstored(const PageInView& page, const imaging::Annotation& frame) {
    ensure(page);
    m_list.removeOne(frame);
    forgetCurrent();
}

qint32 PageAnnotations::settingOr(const settings::Setting& setting) const {
    // A missing store or a damaged value gives the default.
    return m_settings ? m_settings->readInt32(setting) : setting.defaultValue;
}

// --- editing -------------------------------------------------------------------------------

bool PageAnnotations::add(const PageInView& page, const AnnotationRecord& record, bool highlight,
                          imaging::Annotation* added) {
    using imaging::Annotation;
    Annotation::Kind kind;
    if (!kindFromRecordType(record.type, highlight, &kind) || !editable(page))
        return false;
    bool invertible = false;
    const QTransform& toWidget = page.toWidget;
    const QTransform toPage = toWidget.inverted(&invertible);
    if (!invertible)
        return false;
    const QRectF bounds(QPointF(0, 0), page.size);

    Annotation a;
    if (kind == Annotation::Stamp) {
        const QPointF anchor = toPage.map(twipsToWidget(record.left, record.top));
        if (anchor.x() < bounds.left() || anchor.y() < bounds.top() ||
            anchor.x() > bounds.right() || anchor.y() > bounds.bottom())
            return false;
        const qint32 points = settingOr(settings::StampFontSize);
        a = Annotation::stampAt(QPointF(std::round(anchor.x()), std::round(anchor.y())),
                                record.text, qBound(4, points, 400), page.dpi, toWidget);
        a.borderColor = a.textColor = settingOr(settings::StampColor) & 0xFFFFFF;
    } else {
        const QRectF dragged = QRectF(twipsToWidget(record.left, record.top),
                                      twipsToWidget(record.right, record.bottom))
                                   .normalized();
        const QRectF r = onPixels(toPage.mapRect(dragged)).intersected(bounds);
        if (r.width() <= 0 || r.height() <= 0)
            return false;
        a = Annotation::make(kind, r);
        switch (kind) {
            case Annotation::FilledRect:
                a.fillColor = settingOr(settings::RectFillColor) & 0xFFFFFF;
                break;
            case Annotation::HollowRect:
                a.borderColor = settingOr(settings::RectBorderColor) & 0xFFFFFF;
                break;
            case Annotation::Highlight:
                a.fillColor = settingOr(settings::HighlightColor) & 0xFFFFFF;
                break;
            case Annotation::Text:
                a.text = record.text;
                a.orientTextFor(toWidget);
                break;
            case Annotation::Stamp:
                break;
        }
    }
    m_list.append(a);
    forgetCurrent();
    *added = a;
    return true;
}

imaging::WriteResult recordAnnotationChange(imaging::EditHistory* history, const QString& path,
                                            int page, const QString& name,
                                            const std::function<imaging::WriteResult()>& write) {
    return history ? history->changeTag(path, page, imaging::kAnnotationTag, name, write) : write();
}

bool PageAnnotations::save(const PageInView& page, const imaging::Annotation* leaveOut) {
    ensure(page);
    if (!page.doc || !page.hasImage || page.doc->format() != imaging::FileFormat::Tiff)
        return false;
    QList<imaging::Annotation> list = m_list;
    if (leaveOut)
        list.removeOne(*leaveOut);
    const imaging::AnnotationLoadResult stored =
        imaging::AnnotationStore::load(page.path, page.index);
    if (stored.ok() && stored.annotations == list)
        return true;
    const BusyCursor busy;
    const qsizetype before = stored.annotations.size();
    const QString name = list.size() > before
                             ? QCoreApplication::translate("ktdv::EditHistory", "Add Annotation")
                         : list.size() < before
                             ? QCoreApplication::translate("ktdv::EditHistory", "Delete Annotation")
                             : QCoreApplication::translate("ktdv::EditHistory", "Edit Annotation");
    return recordAnnotationChange(
               page.history, page.path, page.index, name,
               [&] { return imaging::AnnotationStore::save(page.path, page.index, list); })
        .ok;
}

bool PageAnnotations::removeCurrent(const PageInView& page, bool* rewritten) {
    *rewritten = false;
    ensure(page);
    if (m_current < 0 || m_current >= m_list.size())
        return false;
    const imaging::Annotation target = m_list.at(m_current);
    imaging::AnnotationLoadResult stored = imaging::AnnotationStore::load(page.path, page.index);
    if (!stored.writable())
        return false;
    const qsizetype at = stored.annotations.indexOf(target);
    if (at >= 0) {
        stored.annotations.removeAt(at);
        const BusyCursor busy;
        const auto write = [&] {
            return imaging::AnnotationStore::save(page.path, page.index, stored.annotations);
        };
        if (!recordAnnotationChange(
                 page.history, page.path, page.index,
                 QCoreApplication::translate("ktdv::EditHistory", "Delete Annotation"), write)
                 .ok)
            return false;
        *rewritten = true;
    }
    m_list.removeAt(m_current);
    forgetCurrent();
    return true;
}

bool PageAnnotations::rangeCheck(const PageInView& page, int x, int y) {
    forgetCurrent();
    ensure(page);
    if (!page.hasImage || m_list.isEmpty())
        return false;
    bool invertible = false;
    const QTransform toPage = page.toWidget.inverted(&invertible);
    if (!invertible)
        return false;
    const QPointF at = toPage.map(twipsToWidget(x, y));
    const imaging::AnnotationHit hit =
        imaging::hitTest(m_list, at, kHitTolerancePixels / qMax(page.scale, 1e-6));
    if (!hit.found())
        return false;
    m_current = hit.index;
    const QRectF r = page.toWidget.mapRect(hit.bounds);
    // A found annotation always reports non-zero left and right.
    const qint32 left = widgetToTwipsX(r.left());
    const qint32 right = widgetToTwipsX(r.right());
    m_hitRect = {left == 0 ? -1 : left, widgetToTwipsY(r.top()), right == 0 ? 1 : right,
                 widgetToTwipsY(r.bottom())};
    return true;
}

void PageAnnotations::forgetCurrent() {
    m_current = -1;
    m_hitRect = {};
}

}  // namespace ktdv
