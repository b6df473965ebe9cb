#include "widgets/pageview/pageview.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include "platform/settingsstore.h"
#include "widgets/pageview/stripscrollbar.h"

namespace ktdv {

PageView::PageView(std::shared_ptr<PromptService> prompts, std::shared_ptr<SettingsStore> settings,
                   QWidget* parent)
    : QAbstractScrollArea(parent),
      m_document(*this, *this, prompts),
      m_renderer(settings ? settings->readBool(settings::SmoothScaling) : true),
      m_display(*this, m_document, m_renderer, prompts, settings),
      m_pointer(*this, m_document, m_display),
      m_annotations(*this, m_document, m_display, prompts, settings),
      m_textMarks(*this, m_document, m_annotations) {
    // Without a frame the viewport is the widget's whole area, so widget and viewport
    // coordinates agree (mouse events, rubber band and zones all use the widget's).
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBar(new StripScrollBar(Qt::Horizontal));
    setVerticalScrollBar(new StripScrollBar(Qt::Vertical));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    viewport()->setBackgroundRole(QPalette::Dark);  // around the page; the renderer paints it
    // Every paint covers the whole viewport (page or background), so nothing beneath it
    // is painted first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

PageView::~PageView() = default;

void PageView::paintEvent(QPaintEvent* event) {
    if (m_display.ratioChanged()) {
        // Moved to a screen of another density: a fitted page fits again, in a later pass.
        QMetaObject::invokeMethod(
            this, [this] { m_display.updateLayout(); }, Qt::QueuedConnection);
    }
    QPainter p(viewport());
    // Viewport coordinates; the page's origin is in widget coordinates.
    const QPointF origin = m_display.pageOrigin() - viewport()->geometry().topLeft();
    if (m_renderer.paint(p, event->rect(), m_document.shownPage(), origin, m_display.deviceSize(),
                         viewport()->size()))
        m_annotations.paint(p, origin);
    m_textMarks.paint(p);
    const QString& message =
        m_document.pageMessage().isEmpty() ? m_document.loadFailure() : m_document.pageMessage();
    PageRenderer::paintMessage(p, message, viewport()->size(), !m_document.shownPage().isNull(),
                               palette());
    m_document.pagePainted();
    m_pointer.paint(p);
}

void PageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    m_display.updateLayout();
}

void PageView::scrollContentsBy(int dx, int dy) {
    Q_UNUSED(dx);
    Q_UNUSED(dy);
    viewport()->update();  // the page is drawn from the scroll position on every paint
}

void PageView::mousePressEvent(QMouseEvent* event) {
    m_pointer.mouseEvent(event);
}

void PageView::mouseMoveEvent(QMouseEvent* event) {
    m_pointer.mouseEvent(event);
}

void PageView::mouseReleaseEvent(QMouseEvent* event) {
    m_pointer.mouseEvent(event);
}

void PageView::pageDropped() {
    m_pointer.clearRubberBand();
}

void PageView::pageShown() {
    if (m_document.drawsAfresh())
        m_renderer.setSource(
            [this](QSize target, const QRect& part) { return m_document.drawShown(target, part); });
    else
        m_renderer.setSource(nullptr);
    m_display.refit();
    m_display.syncView();
}

void PageView::pageTurned(bool quarter) {
    if (quarter)
        m_display.refit();
    m_renderer.invalidate();
    if (quarter)
        m_display.syncView();
    else
        viewport()->update();
}

void PageView::documentReleased() {
    m_renderer.releaseStore();
    m_display.syncView();
}

void PageView::pageCleared() {
    viewport()->update();
}

void PageView::pageRedrawn() {
    m_renderer.invalidate();
    viewport()->update();
}

bool PageView::typing() const {
    return m_annotations.typing();
}

}  // namespace ktdv
