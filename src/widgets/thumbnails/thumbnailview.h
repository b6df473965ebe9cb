#pragma once
// The thumbnail pane: a column of page thumbnails for one range of up to 50 pages
// (firstPage() .. firstPage() + 49), each with its page number under it. A click selects a
// thumbnail and is reported to the host; the page the page view shows is marked.
//
// The user manages pages here: the context menu ("Delete Page", "Move Page Up",
// "Move Page Down", then the host's own actions, such as Undo), the Delete key and Ctrl+Up /
// Ctrl+Down on the selected thumbnail, and dragging a thumbnail to another place in the column. The
// document file is changed losslessly (and recorded in the edit history when one is set), the
// thumbnails are reloaded, and the pageDeleted / pageMoved handlers hear whether the file changed.
//
// Thumbnails are decoded and scaled on a thread pool of the pane's own; until a thumbnail
// is ready a placeholder of the page's shape is drawn, so the UI thread never waits for a
// decode. Only the shown range is held, as small images (thumbnails()).
//
// Scrolling: the host owns the scroll bar. scrollRange() gives its positions (1 when all
// fits); setScrollPosition() (1 = top) with setViewHeight() and arrange(true) apply one.
// Two ways of scrolling are supported:
//  - the host moves the pane widget up by the scroll value and keeps it tall enough (the
//    viewer control does this; the default). The content is drawn unshifted, and the part
//    of the pane its parent actually shows decides which thumbnails are in view.
//  - setContentScrolledByHost(false): the pane stays put and shifts its content by the
//    scroll position itself.
//
// Threads: UI thread only (the renderer's workers never touch the widget).

#include <QPixmap>
#include <QPointer>
#include <QSet>
#include <QVector>
#include <QWidget>

#include <memory>

#include "interfaces/thumbnailpane.h"
#include "widgets/thumbnails/thumbnaillayout.h"
#include "widgets/thumbnails/thumbnailstore.h"
#include "widgets/thumbnails/thumbnailviewport.h"

class QMenu;

namespace ktdv {

class PromptService;
class ThumbnailRenderer;
struct ThumbnailRequest;

class ThumbnailView : public QWidget, public ThumbnailPane {
    Q_OBJECT
public:
    static constexpr int kRangeSize = 50;

    explicit ThumbnailView(std::shared_ptr<PromptService> prompts, QWidget* parent = nullptr);
    ~ThumbnailView() override;

    // ThumbnailPane
    QWidget* widget() override { return this; }
    void loadDocument(const QString& path) override;
    void clearThumbnails() override;
    void reloadThumbnails() override;
    void redraw() override;
    void arrange(bool flag) override;
    void setFirstPage(qint32 page) override;
    qint32 firstPage() const override { return m_firstPage; }
    void setScrollPosition(qint16 position) override;
    void setViewHeight(float height) override;
    qint16 selectedIndex() const override { return static_cast<qint16>(m_selected); }
    qint16 scrollRange() const override;
    void setCurrentPage(int page) override;
    QRect pageRect(int page) const override;
    void setMarkedPages(const QList<int>& pages) override;
    void setHandlers(Handlers handlers) override { m_handlers = std::move(handlers); }
    void setEditHistory(std::shared_ptr<imaging::EditHistory> history) override {
        m_history = std::move(history);
    }
    void setMenuActions(const QList<QAction*>& actions) override;

    // Page management, as the menu and the keys do it. Index within the shown range.
    void deletePageAt(int index);
    void movePage(int index, int delta);

    void setContentScrolledByHost(bool byHost);
    int currentPage() const { return m_currentPage; }

    // What is shown, for hosts and tests.
    const ThumbnailStore& thumbnails() const { return m_store; }
    const ThumbnailViewport& viewport() const { return m_viewport; }

signals:
    void visibleThumbnailsFinished();  // every thumbnail in view is ready
    void thumbnailsFinished();         // the whole range is ready

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    static QString deletePageText() { return tr("Delete Page"); }
    static QString movePageUpText() { return tr("Move Page Up"); }
    static QString movePageDownText() { return tr("Move Page Down"); }

    // Loading and rendering (thumbnailview.cpp)
    void rebuildRange();
    void requestRendering();
    void updateVisiblePriority();
    void onRendered(quint64 batch, const ThumbnailRequest& request, const QImage& image,
                    const QString& error);
    void checkFinished();
    bool visibleThumbnailsReady() const;

    // Painting (thumbnailpainting.cpp)
    void paintThumbnail(QPainter& painter, int index, const QRect& image, const QRect& label);

    // Mouse, keys and page management (thumbnailinput.cpp, thumbnailpages.cpp)
    void showContextMenu(int index, QPoint globalPos);
    bool refuseChange(bool deleting);
    // Why pages of a PDF document cannot be deleted or moved.
    static QString pdfReadOnlyText();
    void raiseDeleted(bool ok);
    void raiseMoved(bool ok);
    void reloadAfterChange(int selectIndex);

    std::shared_ptr<PromptService> m_prompts;
    std::shared_ptr<imaging::EditHistory> m_history;  // null: changes are not recorded
    QList<QPointer<QAction>> m_menuActions;
    std::unique_ptr<ThumbnailRenderer> m_renderer;
    Handlers m_handlers;
    ThumbnailStore m_store;
    ThumbnailLayout m_layout;
    ThumbnailViewport m_viewport{*this, m_layout};
    quint64 m_batchFloor = 1;  // results of older batches belong to another document state
    qint32 m_firstPage = 0;
    int m_selected = 0;
    int m_currentPage = -1;
    QSet<int> m_markedPages;
    bool m_visibleAnnounced = false;
    bool m_allAnnounced = false;

    // Mouse state
    int m_pressIndex = -1;
    QPoint m_pressPos;
    bool m_dragging = false;
    int m_dropIndex = -1;  // insertion point while dragging: 0 .. count
};

}  // namespace ktdv
