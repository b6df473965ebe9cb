// The page view's side of the shown page's annotations: where the stored page lies on
// screen, drawing them over the page, and the annotation commands.
#include "widgets/pageview/pageviewannotations.h"

#include <QAbstractScrollArea>
#include <QFileInfo>
#include <QPainter>

#include "imaging/annotationgeometry.h"
#include "imaging/annotationpainter.h"
#include "imaging/document.h"
#include "widgets/pageview/pagedisplay.h"
#include "widgets/pageview/pagedocument.h"
#include "widgets/pageview/pageturn.h"
#include "widgets/pageview/pageviewannottext.h"

namespace ktdv {

namespace {

bool isCommand(const QString& command, const char* name) {
    return command.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

}  // namespace

// --- geometry ----------------------------------------------------------------------------

PageViewAnnotations::PageViewAnnotations(QAbstractScrollArea& area, PageDocument& document,
                                         const PageDisplay& display,
                                         std::shared_ptr<PromptService> prompts,
                                         std::shared_ptr<SettingsStore> settings)
    : m_area(area),
      m_document(document),
      m_display(display),
      m_prompts(std::move(prompts)),
      m_settings(std::move(settings)),
      m_annotations(m_settings) {}

PageViewAnnotations::~PageViewAnnotations() = default;

QTransform PageViewAnnotations::pageToViewport(const QPointF& origin) const {
    const QImage& image = m_document.shownPage();
    if (image.isNull())
        return {};
    // The page is drawn scaled to displaySize(), so its scale is taken from there.
    const QSizeF shown = m_display.displaySize();
    const QTransform turn =
        imaging::pageTurnMatrix(pageturn::storedSize(image, m_document.turn()), m_document.turn());
    return turn *
           QTransform::fromScale(double(shown.width()) / image.width(),
                                 double(shown.height()) / image.height()) *
           QTransform::fromTranslate(origin.x(), origin.y());
}

QTransform PageViewAnnotations::pageToWidget() const {
    return pageToViewport(m_display.pageOrigin());
}

PageInView PageViewAnnotations::pageInView() const {
    const QImage& image = m_document.shownPage();
    PageInView page;
    page.doc = m_document.doc();
    page.path = m_document.imagePath();
    page.index = m_document.pageIndex();
    page.hasImage = !image.isNull();
    page.history = m_document.editHistory().get();
    if (page.hasImage) {
        page.size = pageturn::storedSize(image, m_document.turn());
        page.dpi = pageturn::storedDpi(m_document.dpi(), m_document.turn());
        page.toWidget = pageToWidget();
        const QSizeF shown = m_display.displaySize();
        page.scale =
            qMin(double(shown.width()) / image.width(), double(shown.height()) / image.height());
    }
    return page;
}

// --- the shown page's annotations ----------------------------------------------------------

const QList<imaging::Annotation>& PageViewAnnotations::list() const {
    return m_annotations.list(pageInView());
}

imaging::AnnotationStatus PageViewAnnotations::status() const {
    return m_annotations.status(pageInView());
}

bool PageViewAnnotations::isShownFile(const QString& path) const {
    const QString shown = m_document.imagePath();
    if (path.isEmpty() || path == shown)
        return !shown.isEmpty();
    const QString a = QFileInfo(path).canonicalFilePath();
    return !a.isEmpty() && a == QFileInfo(shown).canonicalFilePath();
}

void PageViewAnnotations::adoptRewrittenFile() {
    const std::shared_ptr<const imaging::Document> before = m_document.adoptRewrittenFile();
    if (before && m_document.doc())
        m_annotations.followRewrite(*before, *m_document.doc(), m_document.pageIndex());
}

// --- drawing -------------------------------------------------------------------------------

void PageViewAnnotations::paint(QPainter& painter, const QPointF& origin) {
    const QList<imaging::Annotation>& shown = m_annotations.list(pageInView());
    if (shown.isEmpty())
        return;
    imaging::AnnotationPainter::paint(painter, shown, pageToViewport(origin),
                                      pageturn::storedDpi(m_document.dpi(), m_document.turn()));
}

// --- commands ------------------------------------------------------------------------------

bool PageViewAnnotations::annotationCommand(const QString& command, AnnotationRecord& record,
                                            int option, const QString& path, int page, int x, int y,
                                            bool filled, bool highlight) {
    Q_UNUSED(option);
    Q_UNUSED(filled);  // the record's type says whether a rectangle is filled
    if (isCommand(command, "load")) {
        const imaging::Document* doc = m_document.doc();
        if (!doc || !isShownFile(path) || page < 0 || page >= doc->pageCount())
            return false;
        // A frame whose text is still being typed on another page is stored first.
        if (m_textEditor && !textFrameBelongsTo(m_document.imagePath(), page))
            finishTextFrame(true);
        m_annotations.forgetCurrent();
        if (page != m_document.pageIndex())
            return false;
        const bool ok = m_annotations.reload(pageInView());
        if (m_textEditor)
            m_annotations.showUnstored(pageInView(), m_textEditor->frame());
        m_area.viewport()->update();
        return ok;
    }
    if (isCommand(command, "add")) {
        imaging::Annotation added;
        if (!m_annotations.add(pageInView(), record, highlight, &added))
            return false;
        m_area.viewport()->update();
        if (added.kind == imaging::Annotation::Text && added.text.isEmpty())
            openTextFrameEditor(added);
        return true;
    }
    if (isCommand(command, "save")) {
        // A frame whose text is being typed is stored when the typing ends, if at all.
        const imaging::Annotation* typing = m_textEditor ? &m_textEditor->frame() : nullptr;
        if (!m_document.doc() || !isShownFile(path) || page != m_document.pageIndex() ||
            !m_annotations.save(pageInView(), typing))
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
        m_area.viewport()->update();
        return true;
    }
    if (isCommand(command, "rangecheck"))
        return m_annotations.rangeCheck(pageInView(), x, y);
    return false;
}

}  // namespace ktdv
