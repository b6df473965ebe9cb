#include "components/pageview/stripscrollbar.h"

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
    QPainter p(this);
    const QRect area = event->rect();
    for (int y = area.top(); y <= area.bottom(); y += kStripRows) {
        p.setClipRect(QRect(area.left(), y, area.width(), qMin(kStripRows, area.bottom() + 1 - y)));
        style()->drawComplexControl(QStyle::CC_ScrollBar, &opt, &p, this);
    }
}

}  // namespace ktdv
