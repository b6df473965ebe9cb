// The pointer over the page: events in twips, the rubber band, hand scrolling, and zones
// of the page taken from widget pixels.
#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScrollBar>

#include <cmath>

#include "imaging/tiffwriter.h"
#include "platform/twips.h"
#include "widgets/pageview/pageview.h"

namespace ktdv {

namespace {

int buttonBits(Qt::MouseButtons buttons) {
    int bits = 0;
    if (buttons & Qt::LeftButton)
        bits |= 1;
    if (buttons & Qt::RightButton)
        bits |= 2;
    if (buttons & Qt::MiddleButton)
        bits |= 4;
    return bits;
}

int shiftBits(Qt::KeyboardModifiers mods) {
    int bits = 0;
    if (mods & Qt::ShiftModifier)
        bits |= 1;
    if (mods & Qt::ControlModifier)
        bits |= 2;
    if (mods & Qt::AltModifier)
        bits |= 4;
    return bits;
}

// The frame between two points, both corners included.
QRect frameBetween(QPointF a, QPointF b) {
    const QPoint p = a.toPoint(), q = b.toPoint();
    return QRect(QPoint(qMin(p.x(), q.x()), qMin(p.y(), q.y())),
                 QPoint(qMax(p.x(), q.x()), qMax(p.y(), q.y())));
}

QColor colourOf(qint32 bgr) {
    if (bgr < 0)
        return Qt::black;
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

}  // namespace

void PageView::emitMouse(const MouseHandler& handler, QMouseEvent* event, int button) {
    if (!handler)
        return;
    const QPointF p = viewport()->mapTo(this, event->position().toPoint());
    int b = button;
    int shift = shiftBits(event->modifiers());
    float x = float(p.x() * twips::perPixelX());
    float y = float(p.y() * twips::perPixelY());
    handler(b, shift, x, y);
}

void PageView::mousePressEvent(QMouseEvent* event) {
    emitMouse(onMouseDown, event, buttonBits(event->button()));
}

void PageView::mouseMoveEvent(QMouseEvent* event) {
    emitMouse(onMouseMove, event, buttonBits(event->buttons()));
}

void PageView::mouseReleaseEvent(QMouseEvent* event) {
    emitMouse(onMouseUp, event, buttonBits(event->button()));
}

QPointF PageView::twipsToPixels(float x, float y) const {
    const double px = twips::perPixelX();
    const double py = twips::perPixelY();
    return {px > 0 ? x / px : 0.0, py > 0 ? y / py : 0.0};
}

void PageView::clipEndPoint(QPointF end) {
    const QRect page = m_page.isNull() ? QRect() : QRect(pageOrigin(), displaySize());
    if (page.isEmpty()) {
        m_pointerClipped = true;
        m_clippedX = m_clippedY = 0;
        return;
    }
    const double right = page.x() + page.width();
    const double bottom = page.y() + page.height();
    m_pointerClipped =
        end.x() < page.x() || end.y() < page.y() || end.x() > right || end.y() > bottom;
    const double cx = qBound(double(page.x()), end.x(), right);
    const double cy = qBound(double(page.y()), end.y(), bottom);
    m_clippedX = qint32(qRound(cx * twips::perPixelX()));
    m_clippedY = qint32(qRound(cy * twips::perPixelY()));
}

void PageView::startRubberBand(float x, float y) {
    m_bandAnchor = twipsToPixels(x, y);
    m_bandShown = false;
    m_pointerClipped = false;
    m_clippedX = m_clippedY = 0;
    viewport()->update();
}

void PageView::drawRubberBand(float x, float y, int style, int mode, qint32 colour, bool filled) {
    Q_UNUSED(mode);  // the frame is redrawn on every paint, so it always replaces the last
    const QPointF end = twipsToPixels(x, y);
    m_bandRect = frameBetween(m_bandAnchor, end);
    m_bandStyle = style;
    m_bandColour = colourOf(colour);
    m_bandFilled = filled;
    m_bandShown = true;
    clipEndPoint(end);
    viewport()->update();
}

void PageView::endRubberBand(float x, float y) {
    const QPointF end = twipsToPixels(x, y);
    if (m_bandShown)
        m_bandRect = frameBetween(m_bandAnchor, end);
    clipEndPoint(end);
    viewport()->update();
}

void PageView::clearRubberBand() {
    m_bandShown = false;
    viewport()->update();
}

void PageView::startPan(int x, int y) {
    m_panning = true;
    m_panStart = QPoint(x, y);
    m_panScrollStart = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    viewport()->setCursor(Qt::ClosedHandCursor);
}

void PageView::panTo(int x, int y) {
    if (!m_panning)
        return;
    // The page follows the pointer.
    horizontalScrollBar()->setValue(m_panScrollStart.x() - (x - m_panStart.x()));
    verticalScrollBar()->setValue(m_panScrollStart.y() - (y - m_panStart.y()));
}

void PageView::endPan() {
    m_panning = false;
    setTool(m_tool);  // the tool's own cursor again
}

RegionRect PageView::mapRegion(int x1, int y1, int x2, int y2) {
    if (m_page.isNull())
        return {};
    const QPointF a = widgetToPage(QPointF(x1, y1));
    const QPointF b = widgetToPage(QPointF(x2, y2));
    const int left = qMax(0, int(std::floor(qMin(a.x(), b.x()))));
    const int top = qMax(0, int(std::floor(qMin(a.y(), b.y()))));
    const int right = qMin(m_page.width(), int(std::ceil(qMax(a.x(), b.x()))));
    const int bottom = qMin(m_page.height(), int(std::ceil(qMax(a.y(), b.y()))));
    if (right <= left || bottom <= top)
        return {};
    return {left, top, right, bottom};
}

int PageView::copyRegion(int x1, int y1, int x2, int y2, QString& path, bool toFile) {
    const RegionRect r = mapRegion(x1, y1, x2, y2);
    if (r.right <= r.left || r.bottom <= r.top)
        return 0;
    const QImage zone =
        m_page.copy(QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)));
    if (zone.isNull())
        return 0;
    if (toFile) {
        if (path.isEmpty())
            return 0;
        return imaging::writeTiffImage(path, zone).ok ? 1 : 0;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return 0;
    clipboard->setImage(zone);
    return 1;
}

}  // namespace ktdv
