// The page view's side of the shown page's annotations: where the stored page lies on
// screen, drawing them over the page at any zoom, turn and flip, and the annotation commands
// of the image editor interface, which the view's PageAnnotations carries out.
#include <QFileInfo>
#include <QPainter>

#include "imaging/annotationgeometry.h"
#include "imaging/annotationpainter.h"
#include "imaging/document.h"
#include "imaging/tiffpageedit.h"
#include "widgets/pageview/pageview.h"

namespace ktdv {

namespace {

bool isCommand(const QString& command, const char* name) {
    return command.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

imaging::PageKey keyOf(const imaging::Document& doc, int page) {
    return {doc.path(), doc.fileSize(), doc.modified().toMSecsSinceEpoch(), page};
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

PageInView PageView::pageInView() const {
    PageInView page;
    page.doc = m_doc.get();
    page.path = m_path;
    page.index = m_pageIndex;
    page.hasImage = !m_page.isNull();
    if (page.hasImage) {
        page.size = storedPageSize();
        page.dpi = storedPageDpi();
        page.toWidget = pageToWidget();
        const QSize shown = displaySize();
        page.scale =
            qMin(double(shown.width()) / m_page.width(), double(shown.height()) / m_page.height());
    }
    return page;
}

// --- the shown page's annotations ----------------------------------------------------------

const QList<imaging::Annotation>& PageView::annotations() const {
    return m_annotations.list(pageInView());
}

imaging::AnnotationStatus PageView::annotationStatus() const {
    return m_annotations.status(pageInView());
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
    if (m_doc)
        m_annotations.followRewrite(*m_doc, *doc, m_pageIndex);
    if (!m_lastImage.isNull() && m_lastKey.page == m_pageIndex && m_lastKey.path == m_path)
        m_lastKey = keyOf(*doc, m_pageIndex);
    m_doc = doc;
}

// --- drawing -------------------------------------------------------------------------------

void PageView::paintAnnotations(QPainter& painter, const QPoint& origin) {
    const QList<imaging::Annotation>& list = m_annotations.list(pageInView());
    if (list.isEmpty())
        return;
    imaging::AnnotationPainter::paint(painter, list, pageToViewport(origin), storedPageDpi());
}

// --- commands ------------------------------------------------------------------------------

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
        m_annotations.forgetCurrent();
        if (page != m_pageIndex)
            return false;
        const bool ok = m_annotations.reload(pageInView());
        viewport()->update();
        return ok;
    }
    if (isCommand(command, "add")) {
        imaging::Annotation added;
        if (!m_annotations.add(pageInView(), record, highlight, &added))
            return false;
        viewport()->update();
        if (added.kind == imaging::Annotation::Text && added.text.isEmpty())
            openTextFrameEditor(added);
        return true;
    }
    if (isCommand(command, "save")) {
        if (!m_doc || !isShownFile(path) || page != m_pageIndex ||
            !m_annotations.save(pageInView()))
            return false;
        adoptRewrittenFile();
        return true;
    }
    if (isCommand(command, "remove")) {
        bool rewritten = false;
        if (!m_annotations.removeCurrent(pageInView(), &rewritten))
            return false;
        if (rewritten)
            adoptRewrittenFile();
        viewport()->update();
        return true;
    }
    if (isCommand(command, "rangecheck"))
        return m_annotations.rangeCheck(pageInView(), x, y);
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
