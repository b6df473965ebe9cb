#pragma once
// The pointer over the page view: mouse events passed on in twips, the rubber band (kept in
// widget pixels), hand scrolling, and zones of the shown page taken from widget pixels.
// UI thread only.

#include <QColor>
#include <QPoint>
#include <QPointF>
#include <QRect>

#include "interfaces/editorpointer.h"

class QAbstractScrollArea;
class QMouseEvent;
class QPainter;

namespace ktdv {

class PageDisplay;
class PageDocument;

class PagePointer final : public EditorPointer {
public:
    PagePointer(QAbstractScrollArea& area, const PageDocument& document, PageDisplay& display);

    void setMouseHandlers(MouseHandler down, MouseHandler move, MouseHandler up) override;

    void startRubberBand(float x, float y) override;
    void drawRubberBand(float x, float y, int style, int mode, qint32 colour = -1,
                        bool filled = false) override;
    void endRubberBand(float x, float y) override;
    void clearRubberBand() override;
    void startPan(int x, int y) override;
    void panTo(int x, int y) override;
    void endPan() override;
    bool pointerClipped() const override { return m_pointerClipped; }
    qint32 clippedX() const override { return m_clippedX; }
    qint32 clippedY() const override { return m_clippedY; }

    int copyRegion(int x1, int y1, int x2, int y2, QString& path, bool toFile) override;
    RegionRect mapRegion(int x1, int y1, int x2, int y2) override;

    // Rubber band frame in widget pixels; null when none is drawn.
    QRect rubberBandRect() const { return m_bandShown ? m_bandRect : QRect(); }
    // A press, move or release over the page, passed to its handler.
    void mouseEvent(QMouseEvent* event);
    // Draws the rubber band, when one is shown, on the viewport.
    void paint(QPainter& painter) const;

private:
    void clipEndPoint(QPointF end);

    QAbstractScrollArea& m_area;
    const PageDocument& m_document;
    PageDisplay& m_display;

    MouseHandler m_onDown;
    MouseHandler m_onMove;
    MouseHandler m_onUp;

    QPointF m_bandAnchor;
    bool m_bandShown = false;
    QRect m_bandRect;
    int m_bandStyle = 0;
    QColor m_bandColour;
    bool m_bandFilled = false;
    bool m_pointerClipped = false;
    qint32 m_clippedX = 0;
    qint32 m_clippedY = 0;
    bool m_panning = false;
    QPoint m_panStart;
    QPoint m_panScrollStart;
};

}  // namespace ktdv
