#pragma once
// Geometry of the thumbnail column: one cell per page, stacked top to bottom, each with the
// page's picture (its physical aspect kept) and its page number underneath. Positions are
// in content coordinates (y = 0 at the top of the first cell); the view maps them to the
// widget through its scroll offset. Pure value type, no widgets; UI thread in practice.

#include <QRect>
#include <QSizeF>
#include <QVector>

#include <utility>

namespace ktdv {

class ThumbnailLayout {
public:
    // Largest scroll position the host's 16-bit scroll bar can take.
    static constexpr int kMaxScrollPositions = 32767;
    static constexpr int kMargin = 6;
    static constexpr int kSpacing = 10;
    static constexpr int kLabelGap = 3;
    static constexpr int kMinImageWidth = 16;
    static constexpr int kMaxImageWidth = 360;
    // Extreme strips are shown at most this many times as tall as wide (and vice versa).
    static constexpr double kMaxAspect = 3.0;

    // Physical page sizes (any unit; only the ratio counts). An empty or invalid size
    // falls back to the A4 shape.
    void setPages(const QVector<QSizeF>& physicalSizes);
    void setWidth(int width);
    void setLabelHeight(int height);

    int count() const { return static_cast<int>(m_sizes.size()); }
    int width() const { return m_width; }
    int contentHeight() const;

    QRect cellRect(int index) const;   // the whole cell, full width
    QRect imageRect(int index) const;  // the picture, centred in the cell
    QRect labelRect(int index) const;  // the page number line under the picture
    QSize imageSize(int index) const { return imageRect(index).size(); }

    // The cell under a content point, or -1.
    int indexAt(QPoint contentPos) const;
    // Where a dragged cell would land for a drop at content y: 0 .. count().
    int insertionIndexAt(int contentY) const;
    // Cells intersecting content rows [top, top + height): first and last index, or
    // (-1, -1) when none.
    std::pair<int, int> visibleRange(int top, int height) const;

    // Scroll positions for a viewport of the given height: 1 when everything fits,
    // otherwise one per pixel of overflow plus one, capped at kMaxScrollPositions.
    int scrollRange(int viewportHeight) const;
    // Content offset (pixels hidden above the viewport) for a 1-based scroll position.
    int offsetForPosition(int position, int viewportHeight) const;

private:
    QVector<QSizeF> m_sizes;
    QVector<int> m_tops;  // cell tops, recomputed on change
    QVector<QSize> m_imageSizes;
    int m_width = 0;
    int m_labelHeight = 16;

    void relayout();
    int cellHeight(int index) const;
};

}  // namespace ktdv
