#include "widgets/pageview/pagepointer.h"

#include <QAbstractScrollArea>
#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <cmath>

#include "imaging/tiffwriter.h"
#include "platform/twips.h"
#include "widgets/pageview/pagedisplay.h"
#include "widgets/pageview/pagedocument.h"

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

QPointF twipsToPixels(float x, float y) {
    const double px = twips::perPixelX();
    const double py = twips::perPixelY();
    return {px > 0 ? x / px : 0.0, py > 0 ? y / py : 0.0};
}

}  // namespace

PagePointer::PagePointer(QAbstractScrollArea& area, const PageDocument& document,
                         PageDisplay& display)
    : m_area(area), m_document(document), m_display(display) {}

void PagePointer::setMouseHandlers(MouseHandler down, MouseHandler move, MouseHandler up) {
    m_onDown = std::move(down);
    m_onMove = std::move(move);
    m_onUp = std::move(up);
}

void PagePointer::mouseEvent(QMouseEvent* event) {
    // A double click is a press too.
    const bool moved = event->type() == QEvent::MouseMove;
    const bool released = event->type() == QEvent::MouseButtonRelease;
    const MouseHandler& handler = moved ? m_onMove : released ? m_onUp : m_onDown;
    if (!handler)
        return;
    const QPointF p = m_area.viewport()->mapTo(&m_area, event->position().toPoint());
    int button = buttonBits(moved ? event->buttons() : event->button());
    int shift = shiftBits(event->modifiers());
    float x = float(p.x() * twips::perPixelX());
    float y = float(p.y() * twips::perPixelY());
    handler(button, shift, x, y);
}

void PagePointer::paint(QPainter& p) const {
    if (!m_bandShown)
        return;
    const QRect band = m_bandRect.translated(-m_area.viewport()->geometry().topLeft());
    QPen pen(m_bandColour);
    pen.setStyle(m_bandStyle == 2 ? Qt::DotLine : Qt::SolidLine);
    pen.setCosmetic(true);
    p.setPen(pen);
    if (m_bandFilled) {
        QColor fill = m_bandColour;
        fill.setAlpha(80);
        p.setBrush(fill);
    } else {
        p.setBrush(Qt::NoBrush);
    }
    p.drawRect(band.adjusted(0, 0, -1, -1));  // outline through both corner pixels
}

void PagePointer::clipEndPoint(QPointF end) {
    const QRectF page = m_document.shownPage().isNull()
                            ? QRectF()
                            : QRectF(m_display.pageOrigin(), m_display.displaySize());
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

void PagePointer::startRubberBand(float x, float y) {
    m_bandAnchor = twipsToPixels(x, y);
    m_bandShown = false;
    m_pointerClipped = false;
    m_clippedX = m_clippedY = 0;
    m_area.viewport()->update();
}

void PagePointer::drawRubberBand(float x, float y, int style, int mode, qint32 colour,
                                 bool filled) {
    Q_UNUSED(mode);  // the frame is redrawn on every paint, so it always replaces the last
    const QPointF end = twipsToPixels(x, y);
    m_bandRect = frameBetween(m_bandAnchor, end);
    m_bandStyle = style;
    m_bandColour = colourOf(colour);
    m_bandFilled = filled;
    m_bandShown = true;
    clipEndPoint(end);
    m_area.viewport()->update();
}

void PagePointer::endRubberBand(float x, float y) {
    const QPointF end = twipsToPixels(x, y);
    if (m_bandShown)
        m_bandRect = frameBetween(m_bandAnchor, end);
    clipEndPoint(end);
    m_area.viewport()->update();
}

void PagePointer::clearRubberBand() {
    m_bandShown = false;
    m_area.viewport()->update();
}

void PagePointer::startPan(int x, int y) {
    m_panning = true;
    m_panStart = QPoint(x, y);
    m_panScrollStart =
        QPoint(m_area.horizontalScrollBar()->value(), m_area.verticalScrollBar()->value());
    m_area.viewport()->setCursor(Qt::ClosedHandCursor);
}

void PagePointer::panTo(int x, int y) {
    if (!m_panning)
        return;
    // The page follows the pointer.
    m_area.horizontalScrollBar()->setValue(m_panScrollStart.x() - (x - m_panStart.x()));
    m_area.verticalScrollBar()->setValue(m_panScrollStart.y() - (y - m_panStart.y()));
}

void PagePointer::endPan() {
    m_panning = false;
    m_display.setTool(m_display.tool());  // the tool's own cursor again
}

namespace {
constexpr double kZoneDpi = 300;
}  // namespace

RegionRect PagePointer::mapRegion(int x1, int y1, int x2, int y2) {
    const QImage& page = m_document.shownPage();
    if (page.isNull())
        return {};
    const QPointF a = m_display.widgetToPage(QPointF(x1, y1));
    const QPointF b = m_display.widgetToPage(QPointF(x2, y2));
    const int left = qMax(0, int(std::floor(qMin(a.x(), b.x()))));
    const int top = qMax(0, int(std::floor(qMin(a.y(), b.y()))));
    const int right = qMin(page.width(), int(std::ceil(qMax(a.x(), b.x()))));
    const int bottom = qMin(page.height(), int(std::ceil(qMax(a.y(), b.y()))));
    if (right <= left || bottom <= top)
        return {};
    return {left, top, right, bottom};
}

int PagePointer::copyRegion(int x1, int y1, int x2, int y2, QString& path, bool toFile) {
    const RegionRect r = mapRegion(x1, y1, x2, y2);
    if (r.right <= r.left || r.bottom <= r.top)
        return 0;
    // A page drawn afresh gives the zone at the resolution recognition wants.
    const QRect rect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
    QImage zone = m_document.drawZone(rect, kZoneDpi);
    if (zone.isNull())
        zone = m_document.shownPage().copy(rect);
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
