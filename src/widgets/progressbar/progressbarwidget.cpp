#include "progressbarwidget.h"

#include <QPainter>

#include <cmath>

namespace ktdv {

namespace {
constexpr int kMinWidth = 240;
constexpr int kTextPadding = 12;  // each side of the caption
}  // namespace

ProgressBarWidget::ProgressBarWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ProgressBar1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(sizeHint());
}

void ProgressBarWidget::setMin(qint16 v) {
    m_min = v;
    update();
}

void ProgressBarWidget::setMax(qint16 v) {
    m_max = v;
    update();
}

void ProgressBarWidget::setValue(double v) {
    // NaN would poison every later comparison; it draws as an empty bar.
    m_value = std::isnan(v) ? 0.0 : v;
    update();
}

void ProgressBarWidget::setText(const QString& text) {
    m_text = text;
    updateGeometry();
    update();
}

double ProgressBarWidget::filledFraction() const {
    if (m_max <= m_min) {
        return m_value >= m_max ? 1.0 : 0.0;
    }
    const double span = static_cast<double>(m_max) - m_min;
    const double f = (m_value - m_min) / span;
    return f <= 0.0 ? 0.0 : (f >= 1.0 ? 1.0 : f);
}

QSize ProgressBarWidget::sizeHint() const {
    // Wide enough for the whole caption.
    const int text = fontMetrics().horizontalAdvance(m_text) + 2 * kTextPadding;
    return {qMax(kMinWidth, text), fontMetrics().height() + 10};
}

void ProgressBarWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect frame = rect();
    const QPalette& pal = palette();
    p.fillRect(frame, pal.color(QPalette::Base));

    const QRect inner = frame.adjusted(1, 1, -1, -1);
    const int filled = static_cast<int>(std::lround(inner.width() * filledFraction()));
    if (filled > 0) {
        p.fillRect(QRect(inner.left(), inner.top(), filled, inner.height()),
                   pal.color(QPalette::Highlight));
    }
    p.setPen(pal.color(QPalette::Mid));
    p.drawRect(frame.adjusted(0, 0, -1, -1));

    if (!m_text.isEmpty()) {
        // The caption reads on both parts: highlighted text over the filled part. A bar
        // narrower than its caption shortens it in the middle.
        const QString text =
            fontMetrics().elidedText(m_text, Qt::ElideMiddle, inner.width() - 2 * kTextPadding);
        const QRect filledRect(inner.left(), inner.top(), filled, inner.height());
        p.setPen(pal.color(QPalette::Text));
        p.drawText(inner, Qt::AlignCenter, text);
        p.save();
        p.setClipRect(filledRect);
        p.setPen(pal.color(QPalette::HighlightedText));
        p.drawText(inner, Qt::AlignCenter, text);
        p.restore();
    }
}

}  // namespace ktdv
