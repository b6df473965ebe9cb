#include "widgets/pageview/pagerenderer.h"

#include <QPainter>
#include <QPalette>
#include <QtMath>

#include "imaging/scaling.h"

namespace ktdv {

namespace {

// Largest scaled page kept whole; beyond it (far zoomed in) only the region around the
// viewport is scaled.
constexpr qint64 kMaxScaledBytes = 64LL * 1024 * 1024;
// A store up to this size is kept when the document is closed: the next one reuses it.
constexpr size_t kKeptStoreBytes = 16u * 1024 * 1024;
// Bilevel pages are scaled in bands of this many rows (fewer, larger pieces when scrolling).
constexpr int kBandRows = 64;
constexpr int kMessageMargin = 12;

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

void PageRenderer::invalidate() {
    m_scaled = QImage();
    m_scaledRect = QRect();
    m_scaledValid = QRegion();
}

void PageRenderer::releaseStore() {
    invalidate();
    if (m_scaledStore.capacity() > kKeptStoreBytes) {
        m_scaledStore.clear();
        m_scaledStore.shrink_to_fit();
    }
}

void PageRenderer::setSmoothScaling(bool on) {
    if (m_smooth == on)
        return;
    m_smooth = on;
    invalidate();
}

void PageRenderer::ensureScaled(const QImage& page, QSize target, const QRect& visible, QSize v) {
    const QRect full(QPoint(0, 0), target);
    const bool current = !m_scaled.isNull() && m_scaledTarget == target &&
                         m_scaledSource == page.cacheKey() && m_scaledRect.contains(visible);
    // (QRegion::contains(QRect) only tells whether they overlap.)
    if (current && QRegion(visible).subtracted(m_scaledValid).isEmpty())
        return;
    if (!current) {
        QRect part = full;
        // A page drawn afresh is drawn around what is seen: scrolling draws the next part.
        if (m_source || qint64(target.width()) * target.height() * 4 > kMaxScaledBytes) {
            part = visible.adjusted(-v.width() / 2, -v.height() / 2, v.width() / 2, v.height() / 2)
                       .intersected(full);
        }
        m_scaledValid = QRegion();
        m_scaledTarget = target;
        m_scaledSource = page.cacheKey();
        if (!isBilevel(page)) {
            m_scaled = m_source ? m_source(target, part) : QImage();
            if (m_scaled.isNull())
                m_scaled = m_smooth ? imaging::scaleForDisplay(page, target, part)
                                    : scaleFast(page, target, part);
            m_scaledRect = m_scaled.isNull() ? QRect() : part;
            m_scaledValid = m_scaledRect;
            return;
        }
        // Screen pixels, in memory kept from the last time: a resize at a fit zoom rescales,
        // and fresh memory costs more than the scaling itself on some systems. Nothing is
        // scaled here; the visible bands are, below.
        m_scaled = QImage();  // releases the store before it may move
        const size_t bytes = size_t(part.width()) * 4 * size_t(part.height());
        if (m_scaledStore.size() < bytes)
            m_scaledStore.resize(bytes);
        m_scaled = QImage(m_scaledStore.data(), part.width(), part.height(), part.width() * 4,
                          QImage::Format_RGB32);
        m_scaledRect = part;
    }
    if (!isBilevel(page) || m_scaled.isNull())
        return;
    // The visible part not scaled yet, in whole bands of the store.
    const int top =
        m_scaledRect.top() + (visible.top() - m_scaledRect.top()) / kBandRows * kBandRows;
    const int bottom =
        qMin(m_scaledRect.bottom(),
             m_scaledRect.top() +
                 ((visible.bottom() - m_scaledRect.top()) / kBandRows + 1) * kBandRows - 1);
    const QRect wanted(QPoint(visible.left(), top), QPoint(visible.right(), bottom));
    const QRegion missing = QRegion(wanted) - m_scaledValid;
    const qsizetype stride = m_scaledRect.width() * 4;
    for (const QRect& part : missing) {
        uchar* at = m_scaledStore.data() + (part.y() - m_scaledRect.y()) * stride +
                    (part.x() - m_scaledRect.x()) * 4;
        QImage piece(at, part.width(), part.height(), stride, QImage::Format_RGB32);
        imaging::scaleForDisplayInto(page, target, part, piece);
    }
    m_scaledValid += missing;
}

void PageRenderer::paintMessage(QPainter& p, const QString& message, QSize viewport, bool overPage,
                                const QPalette& palette) {
    if (message.isEmpty())
        return;
    const QRect whole(QPoint(0, 0), viewport);
    const QRect area =
        whole.adjusted(kMessageMargin, kMessageMargin, -kMessageMargin, -kMessageMargin);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    QRect box = p.fontMetrics().boundingRect(area, flags, message);
    box.adjust(-kMessageMargin, -kMessageMargin / 2, kMessageMargin, kMessageMargin / 2);
    if (overPage)
        box.moveBottom(whole.bottom() - kMessageMargin);
    p.fillRect(box, palette.color(QPalette::ToolTipBase));
    p.setPen(palette.color(QPalette::ToolTipText));
    p.drawText(box, flags, message);
}

bool PageRenderer::paint(QPainter& p, const QRect& dirty, const QImage& page, QPointF at,
                         QSize shown, QSize room) {
    // The page is scaled to the screen's own pixels and copied to them one to one: drawn in
    // screen pixels, so a high-density screen shows it at its full resolution.
    const qreal ratio = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QPoint origin = (at * ratio).toPoint();
    const QSize viewport(qCeil(room.width() * ratio), qCeil(room.height() * ratio));
    const QRect area =
        QRectF(QPointF(dirty.topLeft()) * ratio, QSizeF(dirty.size()) * ratio).toAlignedRect();
    p.save();
    p.scale(1 / ratio, 1 / ratio);
    const bool drawn = paintScreenPixels(p, area, page, origin, shown, viewport);
    p.restore();
    return drawn;
}

bool PageRenderer::paintScreenPixels(QPainter& p, const QRect& dirty, const QImage& page,
                                     QPoint origin, QSize shown, QSize viewport) {
    const QRect visible =
        page.isNull() ? QRect() : QRect(-origin, viewport).intersected(QRect(QPoint(0, 0), shown));
    // The background only where no page pixel goes.
    QRegion background(dirty);
    if (!visible.isEmpty() && !page.hasAlphaChannel())
        background -= visible.translated(origin);
    for (const QRect& r : background)
        p.fillRect(r, p.background());  // the viewport's palette
    if (visible.isEmpty())
        return false;
    ensureScaled(page, shown, visible, viewport);
    if (page.hasAlphaChannel())
        p.fillRect(QRect(origin, shown), Qt::white);
    if (m_scaled.isNull())
        p.fillRect(visible.translated(origin), p.background());
    const QRect part = visible.intersected(m_scaledRect);
    p.drawImage(origin + part.topLeft(), m_scaled, part.translated(-m_scaledRect.topLeft()));
    return true;
}

}  // namespace ktdv
