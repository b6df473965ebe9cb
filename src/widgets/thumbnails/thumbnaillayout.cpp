#include "widgets/thumbnails/thumbnaillayout.h"

#include <algorithm>
#include <cmath>

namespace ktdv {

namespace {

constexpr int kCellPadding = 4;  // around the picture, inside the selection frame
constexpr double kA4Aspect = 297.0 / 210.0;

// Height over width of a page, bounded so that a hostile 1 x 100000 strip still gets a
// usable cell.
double aspectOf(const QSizeF& size) {
    double aspect = kA4Aspect;
    if (size.width() > 0 && size.height() > 0 && std::isfinite(size.width()) &&
        std::isfinite(size.height())) {
        aspect = size.height() / size.width();
    }
    return std::clamp(aspect, 1.0 / ThumbnailLayout::kMaxAspect, ThumbnailLayout::kMaxAspect);
}

}  // namespace

void ThumbnailLayout::setPages(const QVector<QSizeF>& physicalSizes) {
    m_sizes = physicalSizes;
    relayout();
}

void ThumbnailLayout::setWidth(int width) {
    if (width == m_width) {
        return;
    }
    m_width = width;
    relayout();
}

void ThumbnailLayout::setLabelHeight(int height) {
    if (height == m_labelHeight) {
        return;
    }
    m_labelHeight = std::max(0, height);
    relayout();
}

void ThumbnailLayout::relayout() {
    const int available =
        std::clamp(m_width - 2 * (kMargin + kCellPadding), kMinImageWidth, kMaxImageWidth);
    m_imageSizes.resize(m_sizes.size());
    m_tops.resize(m_sizes.size());
    int top = kMargin;
    for (int i = 0; i < count(); ++i) {
        const double aspect = aspectOf(m_sizes[i]);
        // Every page takes the column's width, so the column reads like the document.
        const int h = std::max(1, static_cast<int>(std::lround(available * aspect)));
        m_imageSizes[i] = QSize(available, h);
        m_tops[i] = top;
        top += cellHeight(i) + kSpacing;
    }
}

int ThumbnailLayout::cellHeight(int index) const {
    return kCellPadding + m_imageSizes[index].height() + kLabelGap + m_labelHeight + kCellPadding;
}

int ThumbnailLayout::contentHeight() const {
    if (m_sizes.isEmpty()) {
        return 0;
    }
    const int last = count() - 1;
    return m_tops[last] + cellHeight(last) + kMargin;
}

QRect ThumbnailLayout::cellRect(int index) const {
    if (index < 0 || index >= count()) {
        return {};
    }
    return QRect(kMargin, m_tops[index], std::max(1, m_width - 2 * kMargin), cellHeight(index));
}

QRect ThumbnailLayout::imageRect(int index) const {
    if (index < 0 || index >= count()) {
        return {};
    }
    const QSize size = m_imageSizes[index];
    const int x = std::max(kMargin + kCellPadding, (m_width - size.width()) / 2);
    return QRect(QPoint(x, m_tops[index] + kCellPadding), size);
}

QRect ThumbnailLayout::labelRect(int index) const {
    if (index < 0 || index >= count()) {
        return {};
    }
    const QRect image = imageRect(index);
    return QRect(kMargin, image.bottom() + 1 + kLabelGap, std::max(1, m_width - 2 * kMargin),
                 m_labelHeight);
}

int ThumbnailLayout::indexAt(QPoint contentPos) const {
    if (m_tops.isEmpty() || contentPos.x() < 0 || contentPos.x() >= m_width) {
        return -1;
    }
    // Last cell whose top is at or above the point.
    auto it = std::upper_bound(m_tops.cbegin(), m_tops.cend(), contentPos.y());
    if (it == m_tops.cbegin()) {
        return -1;
    }
    const int index = static_cast<int>(it - m_tops.cbegin()) - 1;
    return cellRect(index).contains(QPoint(kMargin, contentPos.y())) ? index : -1;
}

int ThumbnailLayout::insertionIndexAt(int contentY) const {
    for (int i = 0; i < count(); ++i) {
        const QRect cell = cellRect(i);
        if (contentY < cell.top() + cell.height() / 2) {
            return i;
        }
    }
    return count();
}

std::pair<int, int> ThumbnailLayout::visibleRange(int top, int height) const {
    if (m_tops.isEmpty() || height <= 0) {
        return {-1, -1};
    }
    const int bottom = top + height;  // exclusive
    int first = -1;
    int last = -1;
    auto it = std::upper_bound(m_tops.cbegin(), m_tops.cend(), top);
    int i = it == m_tops.cbegin() ? 0 : static_cast<int>(it - m_tops.cbegin()) - 1;
    for (; i < count(); ++i) {
        const QRect cell = cellRect(i);
        if (cell.top() >= bottom) {
            break;
        }
        if (cell.bottom() >= top) {
            if (first < 0) {
                first = i;
            }
            last = i;
        }
    }
    return {first, last};
}

int ThumbnailLayout::scrollRange(int viewportHeight) const {
    const int overflow = contentHeight() - std::max(0, viewportHeight);
    if (overflow <= 0) {
        return 1;
    }
    return std::min(kMaxScrollPositions, overflow + 1);
}

int ThumbnailLayout::offsetForPosition(int position, int viewportHeight) const {
    const int overflow = contentHeight() - std::max(0, viewportHeight);
    if (overflow <= 0) {
        return 0;
    }
    const int range = scrollRange(viewportHeight);
    const int steps = std::clamp(position, 1, range) - 1;
    if (range - 1 == overflow) {
        return steps;
    }
    // More overflow than positions: spread the positions over the whole list.
    return static_cast<int>(static_cast<qint64>(steps) * overflow / (range - 1));
}

}  // namespace ktdv
