// Annotations of the shown page: reading them from the page's tag, drawing them over the
// page at any zoom, turn and flip, and the annotation commands of the image editor
// interface. Records arrive in twips relative to the widget and are kept in pixels of the
// page as stored, so the view never changes what is stored.
#include <QFileInfo>
#include <QPainter>

#include <cmath>

#include "widgets/pageview/fileattributes.h"
#include "widgets/pageview/pageview.h"
#include "imaging/annotationpainter.h"
#include "imaging/document.h"
#include "imaging/tiffpageedit.h"
#include "platform/settingsstore.h"
#include "platform/twips.h"

namespace ktdv {

namespace {

// How far from an annotation a click still finds it, in screen pixels.
constexpr double kHitTolerancePixels = 3.0;
// Stamp style when nothing is stored: red, 16 points.

bool isCommand(const QString& command, const char* name) {
    return command.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
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

// --- geometry ----------------------------------------------------------------------------

QSizeF PageView::storedPageSize() const {
    if (m_page.isNull())
        return {};
    return m_turn.inverted().mapRect(QRectF(0, 0, m_page.width(), m_page.height())).size();
}

QSizeF PageView::storedPageDpi() const {
    return qFuzzyIsNull(m_turn.m11()) ? m_dpi.transposed() : m_dpi;
}

QTransform PageView::pageToViewport(const QPointF& origin) const {
    if (m_page.isNull())
        return {};
    // The page is drawn scaled to displaySize(), so its scale is taken from there.
    const QSize shown = displaySize();
    const QTransform turn = imaging::pageTurnMatrix(storedPageSize(), m_turn);
    return turn *
           QTransform::fromScale(double(shown.width()) / m_page.width(),
                                 double(shown.height()) / m_page.height()) *
           QTransform::fromTranslate(origin.x(), origin.y());
}

QTransform PageView::pageToWidget() const {
    return pageToViewport(pageOrigin());
}

// --- the shown page's annotations ----------------------------------------------------------

const QList<imaging::Annotation>& PageView::annotations() const {
    ensureAnnotations();
    return m_annotations;
}

imaging::AnnotationStatus PageView::annotationStatus() const {
    ensureAnnotations();
    return m_annotationStatus;
}

void PageView::ensureAnnotations() const {
    if (!m_doc || m_path.isEmpty() || m_page.isNull()) {
        m_annotations.clear();
        m_annotationStatus = imaging::AnnotationStatus::Absent;
        m_annotationsKey = {};
        return;
    }
    if (m_annotationsKey == keyOf(*m_doc, m_pageIndex))
        return;
    reloadAnnotations();
}

bool PageView::reloadAnnotations() const {
    m_annotations.clear();
    m_annotationStatus = imaging::AnnotationStatus::Absent;
    m_annotationsKey = {};
    if (!m_doc || m_path.isEmpty())
        return false;
    m_annotationsKey = keyOf(*m_doc, m_pageIndex);
    if (m_doc->format() != imaging::FileFormat::Tiff)
        return m_doc->format() == imaging::FileFormat::RawFaxG3;  // no tags, no annotations
    imaging::AnnotationLoadResult loaded = imaging::AnnotationStore::load(m_path, m_pageIndex);
    m_annotationStatus = loaded.status;
    m_annotations = std::move(loaded.annotations);
    return loaded.ok();
}

bool PageView::annotationsEditable() const {
    ensureAnnotations();
    if (!m_doc || m_path.isEmpty() || m_page.isNull() ||
        m_doc->format() != imaging::FileFormat::Tiff)
        return false;
    // What could not be read is never overwritten, so nothing is added on top of it.
    if (m_annotationStatus != imaging::AnnotationStatus::Absent &&
        m_annotationStatus != imaging::AnnotationStatus::Loaded)
        return false;
    return !fileAttributeLetters(m_path).contains(QLatin1Char('R'));
}

bool PageView::isShownFile(const QString& path) const {
    if (path.isEmpty() || path == m_path)
        return !m_path.isEmpty();
    const QString a = QFileInfo(path).canonicalFilePath();
    return !a.isEmpty() && a == QFileInfo(m_path).canonicalFilePath();
}

void PageView::adoptRewrittenFile() {
    // Only tags changed: the decoded page is still right, so it is kept under the file's
    // new identity and a reload does not decode it again.
    auto doc = imaging::Document::open(m_path);
    if (!doc || doc->pageCount() != pageCount()) {
        imaging::PageCache::shared().removeFile(m_path);
        m_lastImage = QImage();
        m_lastKey = {};
        m_doc = doc;
        if (!m_doc)
            m_path.clear();
        return;
    }
    const bool annotationsCurrent = m_doc && m_annotationsKey == keyOf(*m_doc, m_pageIndex);
    if (!m_lastImage.isNull() && m_lastKey.page == m_pageIndex && m_lastKey.path == m_path)
        m_lastKey = keyOf(*doc, m_pageIndex);
    m_doc = doc;
    if (annotationsCurrent)
        m_annotationsKey = keyOf(*m_doc, m_pageIndex);
}

qint32 PageView::settingOr(const settings::Setting& setting) const {
    // A missing store or a damaged value gives the default.
    return m_settings ? m_settings->readInt32(setting) : setting.defaultValue;
}

// --- drawing -------------------------------------------------------------------------------

void PageView::paintAnnotations(QPainter& painter, const QPoint& origin) {
    ensureAnnotations();
    if (m_annotations.isEmpty())
        return;
    imaging::AnnotationPainter::paint(painter, m_annotations, pageToViewport(origin),
                                      storedPageDpi());
}

// --- commands ------------------------------------------------------------------------------

bool PageView::addAnnotation(const AnnotationRecord& record, bool highlight) {
    using imaging::Annotation;
    Annotation::Kind kind;
    if (!imaging::kindFromRecordType(record.type, highlight, &kind) || !annotationsEditable())
        return false;
    bool invertible = false;
    const QTransform toWidget = pageToWidget();
    const QTransform toPage = toWidget.inverted(&invertible);
    if (!invertible)
        return false;
    const QRectF page(QPointF(0, 0), storedPageSize());

    Annotation a;
    if (kind == Annotation::Stamp) {
        const QPointF anchor = toPage.map(twipsToWidget(record.left, record.top));
        if (anchor.x() < page.left() || anchor.y() < page.top() || anchor.x() > page.right() ||
            anchor.y() > page.bottom())
            return false;
        const qint32 points = settingOr(settings::StampFontSize);
        a = Annotation::stampAt(QPointF(std::round(anchor.x()), std::round(anchor.y())),
                                record.text, qBound(4, points, 400), storedPageDpi(), toWidget);
        a.borderColor = a.textColor = settingOr(settings::StampColor) & 0xFFFFFF;
    } else {
        const QRectF dragged = QRectF(twipsToWidget(record.left, record.top),
                                      twipsToWidget(record.right, record.bottom))
                                   .normalized();
        const QRectF r = onPixels(toPage.mapRect(dragged)).intersected(page);
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
    m_annotations.append(a);
    m_currentAnnotation = -1;
    m_hitRect = {};
    viewport()->update();
    if (kind == Annotation::Text && a.text.isEmpty())
        openTextFrameEditor(a);
    return true;
}

bool PageView::saveAnnotations(const QString& path, int page) {
    ensureAnnotations();
    if (!m_doc || m_page.isNull() || !isShownFile(path) || page != m_pageIndex ||
        m_doc->format() != imaging::FileFormat::Tiff)
        return false;
    // Refused, with the file untouched, when what the page holds could not be read.
    const imaging::WriteResult r = imaging::AnnotationStore::save(m_path, page, m_annotations);
    if (!r.ok)
        return false;
    adoptRewrittenFile();
    return true;
}

bool PageView::removeCurrentAnnotation() {
    ensureAnnotations();
    if (m_currentAnnotation < 0 || m_currentAnnotation >= m_annotations.size())
        return false;
    const imaging::Annotation target = m_annotations.at(m_currentAnnotation);
    // The removal is written at once, to what the file holds: additions not saved yet stay
    // unsaved.
    imaging::AnnotationLoadResult stored = imaging::AnnotationStore::load(m_path, m_pageIndex);
    if (!stored.writable())
        return false;
    const qsizetype at = stored.annotations.indexOf(target);
    if (at >= 0) {
        stored.annotations.removeAt(at);
        if (!imaging::AnnotationStore::save(m_path, m_pageIndex, stored.annotations).ok)
            return false;
        adoptRewrittenFile();
    }
    m_annotations.removeAt(m_currentAnnotation);
    m_currentAnnotation = -1;
    m_hitRect = {};
    viewport()->update();
    return true;
}

bool PageView::rangeCheck(int x, int y) {
    m_currentAnnotation = -1;
    m_hitRect = {};
    ensureAnnotations();
    if (m_page.isNull() || m_annotations.isEmpty())
        return false;
    bool invertible = false;
    const QTransform toWidget = pageToWidget();
    const QTransform toPage = toWidget.inverted(&invertible);
    if (!invertible)
        return false;
    const QPointF at = toPage.map(twipsToWidget(x, y));
    const QSize shown = displaySize();
    const double scale =
        qMin(double(shown.width()) / m_page.width(), double(shown.height()) / m_page.height());
    const imaging::AnnotationHit hit =
        imaging::hitTest(m_annotations, at, kHitTolerancePixels / qMax(scale, 1e-6));
    if (!hit.found())
        return false;
    m_currentAnnotation = hit.index;
    const QRectF r = toWidget.mapRect(hit.bounds);
    // A found annotation always reports non-zero left and right.
    const qint32 left = widgetToTwipsX(r.left());
    const qint32 right = widgetToTwipsX(r.right());
    m_hitRect = {left == 0 ? -1 : left, widgetToTwipsY(r.top()), right == 0 ? 1 : right,
                 widgetToTwipsY(r.bottom())};
    return true;
}

bool PageView::annotationCommand(const QString& command, AnnotationRecord& record, int option,
                                 const QString& path, int page, int x, int y, bool filled,
                                 bool highlight) {
    Q_UNUSED(option);
    Q_UNUSED(filled);  // the record's type says whether a rectangle is filled
    if (isCommand(command, "load")) {
        if (!m_doc || !isShownFile(path) || page < 0 || page >= m_doc->pageCount())
            return false;
        // A frame whose text is still being typed on another page is stored first.
        if (m_textEditor && !textFrameBelongsTo(m_path, page))
            finishTextFrame(true);
        m_currentAnnotation = -1;
        m_hitRect = {};
        if (page != m_pageIndex)
            return false;
        const bool ok = reloadAnnotations();
        viewport()->update();
        return ok;
    }
    if (isCommand(command, "add"))
        return addAnnotation(record, highlight);
    if (isCommand(command, "save"))
        return saveAnnotations(path, page);
    if (isCommand(command, "remove"))
        return removeCurrentAnnotation();
    if (isCommand(command, "rangecheck"))
        return rangeCheck(x, y);
    return false;
}

// --- turned pages ----------------------------------------------------------------------------

imaging::WriteResult PageView::writeTurnedPage(const QString& path, int index, bool quarterTurn) {
    // The page's annotations turn with it, in the same write as its image.
    const QByteArray stored = imaging::readPageTag(path, index, imaging::kAnnotationTag);
    QByteArray turned;
    if (!stored.isEmpty() &&
        imaging::turnStoredAnnotations(stored, storedPageSize(), m_turn, &turned) &&
        turned != stored)
        return imaging::replacePageImage(path, index, m_page, quarterTurn, imaging::kAnnotationTag,
                                         turned);
    return imaging::replacePageImage(path, index, m_page, quarterTurn);
}

}  // namespace ktdv
