// Drawing the thumbnail column: the pictures (or placeholders of the page's shape while
// they are being made), page numbers, the selection, the page shown in the page view and,
// during a drag, the place where the page would land. Every colour but the pages' own comes
// from the palette, so a high-contrast theme is followed; the selected thumbnail is framed
// while the pane has the keyboard focus.

#include <QPaintEvent>
#include <QPainter>

#include "widgets/thumbnails/thumbnailview.h"

namespace ktdv {

namespace {

constexpr int kCurrentFrame = 3;  // width of the frame around the page shown in the page view
constexpr int kFocusFrame = 2;
// The mark of a page where searched text was found: a corner of the thumbnail.
constexpr int kMarkSide = 12;
const QColor kMarkColour(255, 190, 0);

}  // namespace

void ThumbnailView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const int offset = m_viewport.contentOffset();
    const QRect dirty = event->rect().translated(0, offset);
    const auto [first, last] = m_layout.visibleRange(dirty.top(), dirty.height());
    for (int i = first; first >= 0 && i <= last; ++i) {
        paintThumbnail(painter, i, m_layout.imageRect(i).translated(0, -offset),
                       m_layout.labelRect(i).translated(0, -offset));
    }
    if (m_dragging && m_dropIndex >= 0) {
        int y = 0;
        if (m_dropIndex < m_store.count()) {
            y = m_layout.cellRect(m_dropIndex).top() - ThumbnailLayout::kSpacing / 2;
        } else if (m_store.count() > 0) {
            y = m_layout.cellRect(m_store.count() - 1).bottom() + ThumbnailLayout::kSpacing / 2;
        }
        y -= offset;
        painter.fillRect(
            QRect(ThumbnailLayout::kMargin, y - 1, width() - 2 * ThumbnailLayout::kMargin, 3),
            palette().color(QPalette::Highlight));
    }
}

void ThumbnailView::setMarkedPages(const QList<int>& pages) {
    QSet<int> marked(pages.begin(), pages.end());
    if (marked == m_markedPages)
        return;
    m_markedPages = std::move(marked);
    update();
}

void ThumbnailView::paintThumbnail(QPainter& painter, int index, const QRect& image,
                                   const QRect& label) {
    const ThumbnailStore::Entry& thumbnail = m_store.at(index);
    const QRect cell =
        m_layout.cellRect(index).translated(0, image.top() - m_layout.imageRect(index).top());
    const bool selected = index == m_selected;
    if (selected) {
        painter.fillRect(cell, palette().color(QPalette::Highlight));
    }
    if (selected && hasFocus()) {
        QPen pen(palette().color(QPalette::HighlightedText), kFocusFrame, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(cell).adjusted(1, 1, -1, -1));
    }

    if (!thumbnail.pixmap.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform,
                              thumbnail.renderedSize != image.size() * devicePixelRatioF());
        painter.drawPixmap(image, thumbnail.pixmap);
    } else {
        // Placeholder: a blank sheet of the page's shape; crossed out when it failed.
        painter.fillRect(image,
                         palette().color(thumbnail.done ? QPalette::Base : QPalette::Midlight));
        if (thumbnail.done) {
            painter.setPen(QPen(palette().color(QPalette::Text), 1));
            painter.drawLine(image.topLeft(), image.bottomRight());
            painter.drawLine(image.topRight(), image.bottomLeft());
        }
    }
    painter.setPen(QPen(palette().color(QPalette::Dark), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(image.adjusted(0, 0, -1, -1));

    const bool current = thumbnail.page == m_currentPage;
    if (current) {
        // On the selection's colour the frame takes the selected text's.
        QPen pen(palette().color(selected ? QPalette::HighlightedText : QPalette::Highlight),
                 kCurrentFrame);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.drawRect(image.adjusted(-1, -1, 0, 0));
    }

    if (m_markedPages.contains(thumbnail.page)) {
        const QPoint corner = image.topRight() + QPoint(1, 0);
        const QPoint triangle[] = {corner, corner - QPoint(kMarkSide, 0),
                                   corner + QPoint(0, kMarkSide)};
        painter.setPen(Qt::NoPen);
        painter.setBrush(kMarkColour);
        painter.drawPolygon(triangle, 3);
    }

    QFont font = painter.font();
    font.setBold(current);
    painter.setFont(font);
    painter.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::WindowText));
    painter.drawText(label, Qt::AlignCenter, m_store.pageLabel(index));
}

}  // namespace ktdv
