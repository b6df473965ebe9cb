#pragma once
// Which part of the thumbnail column the pane shows, and where its thumbnails lie in the
// pane's widget. The host either moves the pane widget to scroll (the part its parent shows
// is in view) or leaves it put and sets a scroll position, by which the content is shifted.
// Reads the widget's geometry and the column's layout; UI thread only.

#include <QPoint>
#include <QRect>

#include <utility>

class QWidget;

namespace ktdv {

class ThumbnailLayout;

class ThumbnailViewport {
public:
    ThumbnailViewport(const QWidget& widget, const ThumbnailLayout& layout)
        : m_widget(widget), m_layout(layout) {}

    void setScrollPosition(int position);  // 1 = top
    void setViewHeight(float height);
    void setScrolledByHost(bool byHost) { m_scrolledByHost = byHost; }

    int scrollPosition() const { return m_scrollPosition; }
    bool scrolledByHost() const { return m_scrolledByHost; }
    int scrollRange() const;           // positions; 1 when everything fits
    int viewportHeight() const;        // widget pixels in view
    int contentOffset() const;         // content pixels hidden above the top of the widget
    QRect visibleContentRect() const;  // the part of the content in view
    std::pair<int, int> visibleThumbnails() const;  // first and last in view, or -1s
    QPoint toContent(QPoint widgetPos) const;
    int indexAt(QPoint widgetPos) const;  // the thumbnail's cell under a point, or -1

    // In widget coordinates: the whole cell, the picture and its page number.
    QRect cellRect(int index) const;
    QRect thumbnailRect(int index) const;
    QRect labelRect(int index) const;

private:
    const QWidget& m_widget;
    const ThumbnailLayout& m_layout;
    int m_scrollPosition = 1;
    float m_viewHeight = 0;
    bool m_scrolledByHost = true;
};

}  // namespace ktdv
