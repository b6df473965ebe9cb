#pragma once

#include <QScrollBar>

namespace ktdv {

// A scroll bar that paints itself in short strips. Qt's raster engine hands any gradient
// or pattern fill taller than about a hundred rows to its thread pool in pieces; for a bar
// a few pixels wide the thread wake-ups cost many times the fill itself, and the bar is
// repainted on every resize and zoom. Each strip stays under that size, so the style
// paints it on this thread. What is drawn is unchanged.
class StripScrollBar : public QScrollBar {
public:
    explicit StripScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace ktdv
