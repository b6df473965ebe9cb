#include "widgets/pageview/stripscrollbar.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionSlider>

namespace ktdv {

namespace {
// Below the span count at which the raster engine starts splitting fills across threads.
constexpr int kStripRows = 64;
}  // namespace

StripScrollBar::StripScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {}

void StripScrollBar::paintEvent(QPaintEvent* event) {
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    opt.subControls = QStyle::SC_All;
    // A pressed part is drawn sunken, as the base class does.
    if (isSliderDown())
        opt.activeSubControls = QStyle::SC_ScrollBarSlider;
    const QRect area = event->rect();
    const qreal dpr = devicePixelRatioF();
    QPainter p(this);
    QImage strip;
    for (int y = area.top(); y <= area.bottom(); y += kStripRows) {
        const QRect part(area.left(), y, area.width(), qMin(kStripRows, area.bottom() + 1 - y));
        const QSize pixels = (QSizeF(part.size()) * dpr).toSize();
        if (strip.size() != pixels) {
            strip = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
            strip.setDevicePixelRatio(dpr);
        }
        strip.fill(Qt::transparent);
        {
            QPainter sp(&strip);
            sp.translate(-part.topLeft());
            style()->drawComplexControl(QStyle::CC_ScrollBar, &opt, &sp, this);
        }
        p.drawImage(part.topLeft(), strip);
    }
}

}  // namespace ktdv
