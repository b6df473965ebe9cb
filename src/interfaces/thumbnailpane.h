#pragma once
// The thumbnail pane as the viewer sees it. All members are called on the UI thread;
// events are raised on the UI thread.

#include <QList>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>

class QAction;
class QWidget;

namespace ktdv {

namespace imaging {
class EditHistory;
}

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

    // Marks the page shown in the page view (absolute, zero-based); -1 for none. A page of
    // the shown range also becomes the selected thumbnail.
    virtual void setCurrentPage(int page) = 0;
    // Where a page's thumbnail lies in the pane's widget (absolute, zero-based page); empty
    // when the page is not in the shown range.
    virtual QRect pageRect(int page) const {
        Q_UNUSED(page)
        return {};
    }

    // Pages (absolute, zero-based) whose thumbnails carry a small mark: pages where the
    // text searched for was found. Replaces the pages given before.
    virtual void setMarkedPages(const QList<int>& pages) { Q_UNUSED(pages) }

    // The pane's events, raised on the UI thread: a click on a thumbnail (index within the
    // shown range; button 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt; widget
    // pixels), a pointer move over the pane, and whether a page delete or move changed the
    // file. Arguments are passed by reference as the handlers may rewrite them. An empty
    // handler ignores the event.
    struct Handlers {
        std::function<void(int& index, int& button, int& shift, float& x, float& y)> thumbClick;
        std::function<void(int& button, int& shift, float& x, float& y)> mouseMove;
        std::function<void(bool& ok)> pageDeleted;
        std::function<void(bool& ok)> pageMoved;
    };
    virtual void setHandlers(Handlers handlers) = 0;

    // Where the pane's page deletes and moves are recorded so they can be undone; null for
    // nowhere. Shared with the page view.
    virtual void setEditHistory(std::shared_ptr<imaging::EditHistory> history) { Q_UNUSED(history) }
    // Actions of the viewer offered at the end of the pane's pop-up menu (Undo, Redo).
    virtual void setMenuActions(const QList<QAction*>& actions) { Q_UNUSED(actions) }
};

}  // namespace ktdv
