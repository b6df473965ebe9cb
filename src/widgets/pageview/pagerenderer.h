#pragma once
// Drawing the page: scaled once per zoom and turn and kept, so a paint only copies pixels.
// Bilevel pages are scaled where they are seen: a paint scales the part of the viewport not
// scaled yet at this size, in bands, so opening, resizing at a fit zoom and paging cost a
// screenful, and scrolling scales the rows it uncovers. UI thread only.

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

class QPainter;
class QPalette;

namespace ktdv {

class PageRenderer {
public:
    // smooth: see setSmoothScaling.
    explicit PageRenderer(bool smooth) : m_smooth(smooth) {}

    // Paints the part dirty of a viewport of size viewport: the page scaled to shown screen
    // pixels with its top left corner at origin (viewport coordinates, on a screen pixel),
    // the background elsewhere. Returns whether any of the page was drawn.
    bool paint(QPainter& painter, const QRect& dirty, const QImage& page, QPointF origin,
               QSize shown, QSize viewport);
    // A message about the page in a viewport of size viewport: centred where the page would
    // be when there is none, as a band along the bottom over a page that is shown.
    // Drawn in the palette's tooltip colours.
    static void paintMessage(QPainter& painter, const QString& message, QSize viewport,
                             bool overPage, const QPalette& palette);
    // What was scaled does not show the page any more (another zoom, turn or option).
    void invalidate();
    // As invalidate, and gives a large store back.
    void releaseStore();

    // Pages drawn afresh at each size (PDF): source(target, part) draws part of the page
    // shown at size target; null when it draws nothing (the page is scaled then).
    using Source = std::function<QImage(QSize target, const QRect& part)>;
    void setSource(Source source) { m_source = std::move(source); }

    // Smooth scaling of grey and colour pages (bilevel pages are always averaged).
    bool smoothScaling() const { return m_smooth; }
    void setSmoothScaling(bool on);

private:
    // paint, in screen pixels.
    bool paintScreenPixels(QPainter& painter, const QRect& dirty, const QImage& page, QPoint origin,
                           QSize shown, QSize viewport);
    void ensureScaled(const QImage& page, QSize target, const QRect& visible, QSize viewport);

    bool m_smooth = true;
    Source m_source;
    // m_scaled holds m_scaledRect of the page at the current size.
    QImage m_scaled;  // bilevel pages: drawn in m_scaledStore
    QRect m_scaledRect;
    std::vector<uchar> m_scaledStore;
    QSize m_scaledTarget;
    qint64 m_scaledSource = 0;
    QRegion m_scaledValid;  // the parts of m_scaledRect scaled so far (bilevel pages)
};

}  // namespace ktdv
