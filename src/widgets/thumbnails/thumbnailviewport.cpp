#include "widgets/thumbnails/thumbnailviewport.h"

#include <QRegion>
#include <QWidget>

#include <algorithm>
#include <cmath>

#include "widgets/thumbnails/thumbnaillayout.h"

namespace ktdv {

void ThumbnailViewport::setScrollPosition(int position) {
    m_scrollPosition = std::max(1, position);
}

void ThumbnailViewport::setViewHeight(float height) {
    m_viewHeight = std::isfinite(height) ? std::max(0.0f, height) : 0.0f;
}

int ThumbnailViewport::scrollRange() const {
    return m_layout.scrollRange(viewportHeight());
}

int ThumbnailViewport::viewportHeight() const {
    if (m_scrolledByHost && m_widget.isVisible()) {
        const QRect seen = m_widget.visibleRegion().boundingRect();
        if (!seen.isEmpty()) {
            return seen.height();
        }
    }
    int viewport = m_widget.height();
    if (m_viewHeight > 0) {
        viewport = std::min(viewport, static_cast<int>(m_viewHeight));
    }
    return viewport;
}

QRect ThumbnailViewport::visibleContentRect() const {
    if (m_scrolledByHost && m_widget.isVisible()) {
        // Content and widget coordinates coincide; the parent and the siblings on top
        // decide what shows.
        const QRect seen = m_widget.visibleRegion().boundingRect();
        if (!seen.isEmpty()) {
            return seen;
        }
    }
    // Off screen, or scrolled here: the rows from the scroll position down.
    const int viewport = viewportHeight();
    return QRect(0, m_layout.offsetForPosition(m_scrollPosition, viewport), m_widget.width(),
                 viewport);
}

int ThumbnailViewport::contentOffset() const {
    return m_scrolledByHost ? 0 : m_layout.offsetForPosition(m_scrollPosition, viewportHeight());
}

std::pair<int, int> ThumbnailViewport::visibleThumbnails() const {
    const QRect seen = visibleContentRect();
    return m_layout.visibleRange(seen.top(), seen.height());
}

QPoint ThumbnailViewport::toContent(QPoint widgetPos) const {
    return widgetPos + QPoint(0, contentOffset());
}

int ThumbnailViewport::indexAt(QPoint widgetPos) const {
    return m_layout.indexAt(toContent(widgetPos));
}

QRect ThumbnailViewport::cellRect(int index) const {
    return m_layout.cellRect(index).translated(0, -contentOffset());
}

QRect ThumbnailViewport::thumbnailRect(int index) const {
    return m_layout.imageRect(index).translated(0, -contentOffset());
}

QRect ThumbnailViewport::labelRect(int index) const {
    return m_layout.labelRect(index).translated(0, -contentOffset());
}

}  // namespace ktdv
