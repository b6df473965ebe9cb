// Drawing: the page scaled once per zoom and turn and kept, so a paint only copies pixels;
// the rubber band on top.
#include <QPaintEvent>
#include <QPainter>

#include "components/pageview/pageview.h"
#include "imaging/scaling.h"

namespace ktdv {

namespace {

// Largest scaled page kept whole; beyond it (far zoomed in) only the region around the
// viewport is scaled.
constexpr qint64 kMaxScaledBytes = 64LL * 1024 * 1024;
const QColor kBackground(128, 128, 128);

bool isBilevel(const QImage& img) {
    return img.format() == QImage::Format_Mono || img.format() == QImage::Format_MonoLSB;
}

// Grey and colour pages without smoothing: plain pixel repetition, for users who want
// hard edges.
QImage scaleFast(const QImage& page, QSize target, const QRect& part) {
    QImage out(part.size(),
               page.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (out.isNull())
        return out;
    out.fill(Qt::white);
    QPainter p(&out);
    p.translate(-part.x(), -part.y());
    p.scale(double(target.width()) / page.width(), double(target.height()) / page.height());
    p.drawImage(0, 0, page);
    return out;
}

}  // namespace

void PageView::invalidateScaled() {
    m_scaled = QImage();
    m_scaledRect = QRect();
}

void PageView::releaseScaledStore() {
    invalidateScaled();
    m_scaledStore.clear();
    m_scaledStore.shrink_to_fit();
}

void PageView::ensureScaled(const QRect& visible) {
    const QSize target = displaySize();
    if (!m_scaled.isNull() && m_scaledTarget == target && m_scaledSource == m_page.cacheKey() &&
        m_scaledRect.contains(visible))
        return;
    const QRect full(QPoint(0, 0), target);
    QRect part = full;
    if (qint64(target.width()) * target.height() * 4 > kMaxScaledBytes) {
        const QSize v = viewport()->size();
        part = visible.adjusted(-v.width() / 2, -v.height() / 2, v.width() / 2, v.height() / 2)
                   .intersected(full);
    }
    QImage scaled;
    if (isBilevel(m_page)) {
        // Grey, in memory kept from the last time: a resize at a fit zoom rescales, and
        // fresh memory, or four bytes a pixel, cost more than the scaling itself on some
        // systems. Painting converts only what is visible.
        m_scaled = QImage();  // releases the store before it may move
        const int stride = (part.width() + 3) & ~3;
        const size_t bytes = size_t(stride) * size_t(part.height());
        if (m_scaledStore.size() < bytes)
            m_scaledStore.resize(bytes + bytes / 4);
        scaled = QImage(m_scaledStore.data(), part.width(), part.height(), stride,
                        QImage::Format_Grayscale8);
        imaging::scaleForDisplayInto(m_page, target, part, scaled);
    } else {
        scaled = m_smooth ? imaging::scaleForDisplay(m_page, target, part)
                          : scaleFast(m_page, target, part);
    }
    m_scaled = scaled;
    m_scaledRect = scaled.isNull() ? QRect() : part;
    m_scaledTarget = target;
    m_scaledSource = m_page.cacheKey();
}

void PageView::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    p.fillRect(event->rect(), kBackground);
    if (!m_page.isNull()) {
        // Viewport coordinates; the page's origin is in widget coordinates.
        const QPoint origin = pageOrigin() - viewport()->geometry().topLeft();
        const QRect visible =
            QRect(-origin, viewport()->size()).intersected(QRect(QPoint(0, 0), displaySize()));
        if (!visible.isEmpty()) {
            ensureScaled(visible);
            if (m_page.hasAlphaChannel())
                p.fillRect(QRect(origin, displaySize()), Qt::white);
            p.drawImage(origin + m_scaledRect.topLeft(), m_scaled);
        }
    }
    if (m_bandShown) {
        const QRect band = m_bandRect.translated(-viewport()->geometry().topLeft());
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
}

}  // namespace ktdv
