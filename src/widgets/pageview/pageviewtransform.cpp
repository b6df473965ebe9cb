// Zoom, fitting, page turns and scrolling: where the page lies on the screen.
#include <QCoreApplication>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>

#include "widgets/pageview/pageturn.h"
#include "widgets/pageview/pageview.h"
#include "widgets/pageview/zoomsteps.h"

namespace ktdv {

double PageView::verticalStretch() const {
    // Pages whose resolutions differ (fax 204 x 98) are drawn taller so they keep their shape.
    if (m_dpi.width() <= 0 || m_dpi.height() <= 0)
        return 1.0;
    return m_dpi.width() / m_dpi.height();
}

QSize PageView::displaySize() const {
    if (m_page.isNull())
        return {};
    const int w = qMax(1, qRound(m_page.width() * m_zoom));
    const int h = qMax(1, qRound(m_page.height() * m_zoom * verticalStretch()));
    return {w, h};
}

QPoint PageView::pageOrigin() const {
    const QSize d = displaySize();
    const QSize v = viewport()->size();
    const QPoint offset = viewport()->geometry().topLeft();
    const int x =
        d.width() < v.width() ? (v.width() - d.width()) / 2 : -horizontalScrollBar()->value();
    const int y =
        d.height() < v.height() ? (v.height() - d.height()) / 2 : -verticalScrollBar()->value();
    return QPoint(x, y) + offset;
}

QPointF PageView::widgetToPage(QPointF p) const {
    const QPointF o = pageOrigin();
    const double sy = m_zoom * verticalStretch();
    return {(p.x() - o.x()) / m_zoom, (p.y() - o.y()) / sy};
}

void PageView::updateScrollBars() {
    const QSize d = displaySize();
    const QSize v = viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* vb = verticalScrollBar();
    h->setRange(0, qMax(0, d.width() - v.width()));
    h->setPageStep(qMax(1, v.width()));
    vb->setRange(0, qMax(0, d.height() - v.height()));
    vb->setPageStep(qMax(1, v.height()));
    // The scroll area shows or hides its bars in a queued call after a range change; run it
    // now, so the view is laid out once before it is next painted instead of painted twice.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

double PageView::fitZoom(Fit fit) const {
    if (m_page.isNull() || fit == Fit::None)
        return m_zoom;
    // The whole area less a scroll bar where the fitted page still needs one.
    const double areaW = qMax(1, width());
    const double areaH = qMax(1, height());
    const double bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const double pageW = m_page.width();
    const double pageH = m_page.height() * verticalStretch();
    double z;
    if (fit == Fit::Width) {
        z = areaW / pageW;
        if (pageH * z > areaH)
            z = qMax(1.0, areaW - bar) / pageW;
    } else {
        z = areaH / pageH;
        if (pageW * z > areaW)
            z = qMax(1.0, areaH - bar) / pageH;
    }
    return qMax(z, 1e-4);
}

void PageView::setZoomKeepingCentre(double zoom) {
    const QRectF area = viewport()->geometry();
    const QPointF centre = area.center();
    const QPointF pagePoint = widgetToPage(centre);
    const bool changed = !qFuzzyCompare(zoom, m_zoom);
    m_zoom = zoom;
    updateScrollBars();
    if (!m_page.isNull()) {
        const QPointF half = centre - area.topLeft();
        horizontalScrollBar()->setValue(qRound(pagePoint.x() * m_zoom - half.x()));
        verticalScrollBar()->setValue(
            qRound(pagePoint.y() * m_zoom * verticalStretch() - half.y()));
    }
    if (changed)
        invalidateScaled();
    viewport()->update();
}

void PageView::setZoomFactor(const QString& step) {
    if (m_page.isNull())
        return;
    const bool in = step.compare(QLatin1String("IN"), Qt::CaseInsensitive) == 0;
    const bool out = step.compare(QLatin1String("OUT"), Qt::CaseInsensitive) == 0;
    if (!in && !out)
        return;
    m_fit = Fit::None;
    setZoomKeepingCentre(zoomsteps::next(m_zoom, in));
}

QString PageView::zoomFactor() const {
    if (m_page.isNull())
        return QStringLiteral("0");
    return QString::number(zoomPercent());
}

int PageView::zoomPercent() const {
    return qRound(m_zoom * 100.0);
}

void PageView::setZoomPercent(int percent) {
    zoomTo(QStringLiteral("IN"), percent);
}

void PageView::zoomTo(const QString& direction, int percent) {
    Q_UNUSED(direction);  // the percent says it all
    if (percent <= 0)
        return;
    m_fit = Fit::None;
    setZoomKeepingCentre(zoomsteps::clamp(percent / 100.0));
}

void PageView::fitWidth() {
    m_fit = Fit::Width;
    if (m_page.isNull())
        return;
    setZoomKeepingCentre(fitZoom(Fit::Width));
    horizontalScrollBar()->setValue(0);
}

void PageView::fitHeight() {
    m_fit = Fit::Height;
    if (m_page.isNull())
        return;
    setZoomKeepingCentre(fitZoom(Fit::Height));
    verticalScrollBar()->setValue(0);
}

bool PageView::hScrollVisible() const {
    // Shown as needed: exactly when the page is wider than the viewport.
    return horizontalScrollBar()->maximum() > 0;
}

void PageView::updateLayout() {
    bool changed = viewport()->size() != m_laidOutViewport;
    m_laidOutViewport = viewport()->size();
    if (m_fit != Fit::None && !m_page.isNull()) {
        const double z = fitZoom(m_fit);
        if (!qFuzzyCompare(z, m_zoom)) {
            m_zoom = z;
            invalidateScaled();
            changed = true;
        }
    }
    updateScrollBars();
    // The scroll area lays its children out again once the scroll bars' ranges settle;
    // when that changes nothing, the page already painted stays.
    if (changed)
        viewport()->update();
}

void PageView::syncView() {
    updateScrollBars();
    viewport()->update();
}

void PageView::refresh() {
    viewport()->update();
}

void PageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateLayout();
}

void PageView::scrollContentsBy(int dx, int dy) {
    Q_UNUSED(dx);
    Q_UNUSED(dy);
    viewport()->update();  // the page is drawn from the scroll position on every paint
}

void PageView::rotateLeft() {
    if (m_page.isNull())
        return;
    m_page = pageturn::quarterTurn(m_page, false);
    m_dpi.transpose();
    m_turn = m_turn * QTransform(0, -1, 1, 0, 0, 0);
    if (m_fit != Fit::None)
        m_zoom = fitZoom(m_fit);
    invalidateScaled();
    updateScrollBars();
    viewport()->update();
}

void PageView::rotateRight() {
    if (m_page.isNull())
        return;
    m_page = pageturn::quarterTurn(m_page, true);
    m_dpi.transpose();
    m_turn = m_turn * QTransform(0, 1, -1, 0, 0, 0);
    if (m_fit != Fit::None)
        m_zoom = fitZoom(m_fit);
    invalidateScaled();
    updateScrollBars();
    viewport()->update();
}

void PageView::flip() {
    if (m_page.isNull())
        return;
    m_page = pageturn::flipVertical(m_page);
    m_turn = m_turn * QTransform(1, 0, 0, -1, 0, 0);
    invalidateScaled();
    viewport()->update();
}

qint32 PageView::viewLeft() const {
    if (m_page.isNull())
        return 0;
    return qMax(0, qRound(widgetToPage(viewport()->geometry().topLeft()).x()));
}

qint32 PageView::viewTop() const {
    if (m_page.isNull())
        return 0;
    return qMax(0, qRound(widgetToPage(viewport()->geometry().topLeft()).y()));
}

void PageView::setViewLeft(qint32 v) {
    horizontalScrollBar()->setValue(qRound(v * m_zoom));
    viewport()->update();
}

void PageView::setViewTop(qint32 v) {
    verticalScrollBar()->setValue(qRound(v * m_zoom * verticalStretch()));
    viewport()->update();
}

}  // namespace ktdv
