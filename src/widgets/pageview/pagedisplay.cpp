// Zoom, fitting and scrolling: where the page lies on the screen.
#include "widgets/pageview/pagedisplay.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QScrollBar>
#include <QStyle>
#include <QtMath>

#include <cmath>

#include "platform/promptservice.h"
#include "platform/settingsstore.h"
#include "widgets/pageview/pagedocument.h"
#include "widgets/pageview/pagerenderer.h"
#include "widgets/pageview/pageviewdialogs.h"
#include "widgets/pageview/zoomsteps.h"

namespace ktdv {

PageDisplay::PageDisplay(QAbstractScrollArea& area, const PageDocument& document,
                         PageRenderer& renderer, std::shared_ptr<PromptService> prompts,
                         std::shared_ptr<SettingsStore> settings)
    : m_area(area),
      m_document(document),
      m_renderer(renderer),
      m_prompts(std::move(prompts)),
      m_settings(std::move(settings)) {}

void PageDisplay::setTool(const QString& tool) {
    m_tool = tool;
    if (tool.compare(QLatin1String("Scroll"), Qt::CaseInsensitive) == 0)
        m_area.viewport()->setCursor(Qt::OpenHandCursor);
    else if (tool.compare(QLatin1String("Wait"), Qt::CaseInsensitive) == 0)
        m_area.viewport()->setCursor(Qt::WaitCursor);
    else
        m_area.viewport()->unsetCursor();
}

double PageDisplay::verticalStretch() const {
    // Pages whose resolutions differ (fax 204 x 98) are drawn taller so they keep their shape.
    const QSizeF dpi = m_document.dpi();
    if (dpi.width() <= 0 || dpi.height() <= 0)
        return 1.0;
    return dpi.width() / dpi.height();
}

double PageDisplay::ratio() const {
    return m_area.viewport()->devicePixelRatioF();
}

QSize PageDisplay::deviceSize() const {
    const QImage& page = m_document.shownPage();
    if (page.isNull())
        return {};
    const int w = qMax(1, qRound(page.width() * m_zoom));
    const int h = qMax(1, qRound(page.height() * m_zoom * verticalStretch()));
    return {w, h};
}

QSizeF PageDisplay::displaySize() const {
    return QSizeF(deviceSize()) / ratio();
}

QSize PageDisplay::coveredSize() const {
    const QSizeF d = displaySize();
    return {qCeil(d.width() - 1e-9), qCeil(d.height() - 1e-9)};
}

QPointF PageDisplay::pageOrigin() const {
    const QSize d = coveredSize();
    const QSize v = m_area.viewport()->size();
    const QPoint offset = m_area.viewport()->geometry().topLeft();
    const int x = d.width() < v.width() ? (v.width() - d.width()) / 2
                                        : -m_area.horizontalScrollBar()->value();
    const int y = d.height() < v.height() ? (v.height() - d.height()) / 2
                                          : -m_area.verticalScrollBar()->value();
    // A widget pixel may begin inside a screen pixel (ratio 1.5): the page begins on the
    // screen pixel nearest.
    const double r = ratio();
    return QPointF(std::round(x * r) / r, std::round(y * r) / r) + offset;
}

QPointF PageDisplay::widgetToPage(QPointF p) const {
    // In screen pixels, where the page's corner lies on a whole pixel.
    const double r = ratio();
    const QPointF o = pageOrigin() * r;
    const double sy = m_zoom * verticalStretch();
    return {(p.x() * r - std::round(o.x())) / m_zoom, (p.y() * r - std::round(o.y())) / sy};
}

void PageDisplay::updateScrollBars() {
    const QSize d = coveredSize();
    const QSize v = m_area.viewport()->size();
    QScrollBar* h = m_area.horizontalScrollBar();
    QScrollBar* vb = m_area.verticalScrollBar();
    h->setRange(0, qMax(0, d.width() - v.width()));
    h->setPageStep(qMax(1, v.width()));
    vb->setRange(0, qMax(0, d.height() - v.height()));
    vb->setPageStep(qMax(1, v.height()));
    // The scroll area shows or hides its bars in a queued call after a range change; run it
    // now, so the view is laid out once before it is next painted instead of painted twice.
    QCoreApplication::sendPostedEvents(&m_area, QEvent::MetaCall);
}

double PageDisplay::fitZoom(Fit fit) const {
    if (m_document.shownPage().isNull() || fit == Fit::None)
        return m_zoom;
    // The whole area less a scroll bar where the fitted page still needs one.
    const double areaW = qMax(1, m_area.width());
    const double areaH = qMax(1, m_area.height());
    const double bar = m_area.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &m_area);
    const QSize page = m_document.shownPage().size();
    const double pageW = page.width();
    const double pageH = page.height() * verticalStretch();
    double z;  // widget pixels per page pixel
    if (fit == Fit::Width) {
        z = areaW / pageW;
        if (pageH * z > areaH)
            z = qMax(1.0, areaW - bar) / pageW;
    } else {
        z = areaH / pageH;
        if (pageW * z > areaW)
            z = qMax(1.0, areaH - bar) / pageH;
    }
    return qMax(z * ratio(), 1e-4);
}

void PageDisplay::setZoomKeepingCentre(double zoom) {
    const QRectF area = m_area.viewport()->geometry();
    const QPointF centre = area.center();
    const QPointF pagePoint = widgetToPage(centre);
    const bool changed = !qFuzzyCompare(zoom, m_zoom);
    m_zoom = zoom;
    updateScrollBars();
    if (!m_document.shownPage().isNull()) {
        const QPointF half = centre - area.topLeft();
        m_area.horizontalScrollBar()->setValue(qRound(pagePoint.x() * scale() - half.x()));
        m_area.verticalScrollBar()->setValue(
            qRound(pagePoint.y() * scale() * verticalStretch() - half.y()));
    }
    if (changed)
        m_renderer.invalidate();
    m_area.viewport()->update();
}

void PageDisplay::setZoomFactor(const QString& step) {
    if (m_document.shownPage().isNull())
        return;
    const bool in = step.compare(QLatin1String("IN"), Qt::CaseInsensitive) == 0;
    const bool out = step.compare(QLatin1String("OUT"), Qt::CaseInsensitive) == 0;
    if (!in && !out)
        return;
    m_fit = Fit::None;
    setZoomKeepingCentre(zoomsteps::next(m_zoom, in));
}

QString PageDisplay::zoomFactor() const {
    if (m_document.shownPage().isNull())
        return QStringLiteral("0");
    return QString::number(zoomPercent());
}

int PageDisplay::zoomPercent() const {
    return qRound(m_zoom * 100.0);
}

void PageDisplay::setZoomPercent(int percent) {
    zoomTo(QStringLiteral("IN"), percent);
}

void PageDisplay::zoomTo(const QString& direction, int percent) {
    Q_UNUSED(direction);  // the percent says it all
    if (percent <= 0)
        return;
    m_fit = Fit::None;
    setZoomKeepingCentre(zoomsteps::clamp(percent / 100.0));
}

void PageDisplay::fitWidth() {
    m_fit = Fit::Width;
    if (m_document.shownPage().isNull())
        return;
    setZoomKeepingCentre(fitZoom(Fit::Width));
    m_area.horizontalScrollBar()->setValue(0);
}

void PageDisplay::fitHeight() {
    m_fit = Fit::Height;
    if (m_document.shownPage().isNull())
        return;
    setZoomKeepingCentre(fitZoom(Fit::Height));
    m_area.verticalScrollBar()->setValue(0);
}

void PageDisplay::zoomToRegion(qint32 left, qint32 top, qint32 right, qint32 bottom) {
    if (m_document.shownPage().isNull() || right <= left || bottom <= top)
        return;
    const QSizeF region(right - left, (bottom - top) * verticalStretch());
    const QSizeF page(m_document.shownPage().width(),
                      m_document.shownPage().height() * verticalStretch());
    // The whole area, less a scroll bar across where the page will be taller than the view
    // and one down where it will be wider.
    const double bar = m_area.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &m_area);
    QSizeF view(qMax(1, m_area.width()), qMax(1, m_area.height()));
    const double r = ratio();
    double z = 1;  // s: widget pixels per page pixel
    for (int pass = 0; pass < 2; ++pass) {
        z = zoomsteps::clamp(qMin(view.width() / region.width(), view.height() / region.height()) *
                             r);
        const double s = z / r;
        view = QSizeF(qMax(1.0, m_area.width() - (page.height() * s > view.height() ? bar : 0)),
                      qMax(1.0, m_area.height() - (page.width() * s > view.width() ? bar : 0)));
    }
    m_fit = Fit::None;
    if (!qFuzzyCompare(z, m_zoom))
        m_renderer.invalidate();
    m_zoom = z;
    updateScrollBars();
    const QSize shown = m_area.viewport()->size();
    const QPointF centre((left + right) / 2.0, (top + bottom) / 2.0 * verticalStretch());
    m_area.horizontalScrollBar()->setValue(qRound(centre.x() * scale() - shown.width() / 2.0));
    m_area.verticalScrollBar()->setValue(qRound(centre.y() * scale() - shown.height() / 2.0));
    m_area.viewport()->update();
}

bool PageDisplay::hScrollVisible() const {
    // Shown as needed: exactly when the page is wider than the viewport.
    return m_area.horizontalScrollBar()->maximum() > 0;
}

void PageDisplay::updateLayout() {
    bool changed = m_area.viewport()->size() != m_laidOutViewport || ratioChanged();
    m_laidOutViewport = m_area.viewport()->size();
    m_laidOutRatio = ratio();
    if (m_fit != Fit::None && !m_document.shownPage().isNull()) {
        const double z = fitZoom(m_fit);
        if (!qFuzzyCompare(z, m_zoom)) {
            // Fitted again to a new size: the same part of the page stays at the top left.
            QScrollBar* h = m_area.horizontalScrollBar();
            QScrollBar* v = m_area.verticalScrollBar();
            const QPointF at = QPointF(h->value(), v->value()) * (z / m_zoom);
            m_zoom = z;
            m_renderer.invalidate();
            updateScrollBars();
            h->setValue(qRound(at.x()));
            v->setValue(qRound(at.y()));
            changed = true;
        }
    }
    updateScrollBars();
    // The scroll area lays its children out again once the scroll bars' ranges settle;
    // when that changes nothing, the page already painted stays.
    if (changed)
        m_area.viewport()->update();
}

void PageDisplay::refit() {
    if (m_fit != Fit::None && !m_document.shownPage().isNull())
        m_zoom = fitZoom(m_fit);
}

void PageDisplay::syncView() {
    updateScrollBars();
    m_area.viewport()->update();
}

void PageDisplay::refresh() {
    m_area.viewport()->update();
}

qint32 PageDisplay::viewLeft() const {
    if (m_document.shownPage().isNull())
        return 0;
    return qMax(0, qRound(widgetToPage(m_area.viewport()->geometry().topLeft()).x()));
}

qint32 PageDisplay::viewTop() const {
    if (m_document.shownPage().isNull())
        return 0;
    return qMax(0, qRound(widgetToPage(m_area.viewport()->geometry().topLeft()).y()));
}

void PageDisplay::setViewLeft(qint32 v) {
    m_area.horizontalScrollBar()->setValue(qRound(v * scale()));
    m_area.viewport()->update();
}

void PageDisplay::setViewTop(qint32 v) {
    m_area.verticalScrollBar()->setValue(qRound(v * scale() * verticalStretch()));
    m_area.viewport()->update();
}

void PageDisplay::showSettings() {
    if (!m_prompts)
        return;
    bool smooth = m_renderer.smoothScaling();
    if (!editViewerSettings(&m_area, *m_prompts, m_settings.get(), smooth))
        return;
    m_renderer.setSmoothScaling(smooth);
    m_area.viewport()->update();
}

}  // namespace ktdv
