#pragma once
// The thumbnail pane as the viewer sees it. All members are called on the UI thread;
// events are raised on the UI thread.

#include <QString>

#include <functional>

class QWidget;

namespace ktdv {

class ThumbnailPane {
public:
    virtual ~ThumbnailPane() = default;

    virtual QWidget* widget() = 0;

    virtual void loadDocument(const QString& path) = 0;
    virtual void clearThumbnails() = 0;
    virtual void reloadThumbnails() = 0;  // from firstPage() on, after a change
    virtual void redraw() = 0;
    virtual void arrange(bool flag) = 0;

    virtual void setFirstPage(qint32 page) = 0;  // first page shown, zero-based
    virtual qint32 firstPage() const = 0;
    virtual void setScrollPosition(qint16 position) = 0;
    virtual void setViewHeight(float height) = 0;
    virtual qint16 selectedIndex() const = 0;  // within the shown range
    virtual qint16 scrollRange() const = 0;    // 1 when every thumbnail fits

    // Marks the page shown in the page view (absolute, zero-based); -1 for none.
    virtual void setCurrentPage(int page) = 0;

    // Events.
    std::function<void(int& index, int& button, int& shift, float& x, float& y)> onThumbClick;
    std::function<void(int& button, int& shift, float& x, float& y)> onMouseMove;
    std::function<void(bool& ok)> onPageDeleted;
    std::function<void(bool& ok)> onPageMoved;
};

}  // namespace ktdv
