#pragma once
// The thumbnail pane: a column of page thumbnails for one range of up to 50 pages
// (firstPage() .. firstPage() + 49), each with its page number under it. A click selects a
// thumbnail and is reported to the host; the page the page view shows is marked.
//
// The user manages pages here: the context menu ("Delete Page", "Move Page Up",
// "Move Page Down"), the Delete key and Ctrl+Up / Ctrl+Down on the selected thumbnail, and
// dragging a thumbnail to another place in the column. The document file is changed
// losslessly, the thumbnails are reloaded, and onPageDeleted / onPageMoved report whether
// the file changed.
//
// Thumbnails are decoded and scaled on a thread pool of the pane's own; until a thumbnail
// is ready a placeholder of the page's shape is drawn, so the UI thread never waits for a
// decode. Only the shown range is held, as small images.
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
#include <QVector>
#include <QWidget>

#include <memory>

#include "interfaces/thumbnailpane.h"
#include "widgets/thumbnails/thumbnaillayout.h"

class QMenu;

namespace ktdv {

namespace imaging {
class Document;
}

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

    // Page management, as the menu and the keys do it. Index within the shown range.
    void deletePageAt(int index);
    void movePage(int index, int delta);

    void setContentScrolledByHost(bool byHost);
    bool contentScrolledByHost() const { return m_scrolledByHost; }

    // What is shown, for hosts and tests.
    QString documentPath() const { return m_path; }
    int pageCount() const;       // of the document; 0 when none is loaded
    int thumbnailCount() const;  // in the shown range
    int currentPage() const { return m_currentPage; }
    int scrollPosition() const { return m_scrollPosition; }
    int contentOffset() const;             // content pixels hidden above the top of the widget
    QRect thumbnailRect(int index) const;  // the picture, in widget coordinates
    QRect labelRect(int index) const;      // its page number, in widget coordinates
    QString pageLabel(int index) const;
    QString toolTipText(int index) const;           // page number, size, resolution, any failure
    bool isThumbnailReady(int index) const;         // finished (picture or failure)
    QImage thumbnailImage(int index) const;         // null until ready or when it failed
    std::pair<int, int> visibleThumbnails() const;  // first and last in view, or -1s
    QRect visibleContentRect() const;               // the part of the content in view
    bool allThumbnailsReady() const;
    bool visibleThumbnailsReady() const;

    static QString deletePageText() { return tr("Delete Page"); }
    static QString movePageUpText() { return tr("Move Page Up"); }
    static QString movePageDownText() { return tr("Move Page Down"); }

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
    struct Thumbnail {
        int page = 0;
        QPixmap pixmap;
        QSize renderedSize;  // the size the pixmap was made for
        bool done = false;
        QString error;
    };

    // Loading and rendering (thumbnailview.cpp)
    bool openDocument(const QString& path);
    void rebuildRange();
    void requestRendering();
    void updateVisiblePriority();
    void onRendered(quint64 batch, const ThumbnailRequest& request, const QImage& image,
                    const QString& error);
    void checkFinished();
    int viewportHeight() const;
    QPoint toContent(QPoint widgetPos) const;

    // Painting (thumbnailpainting.cpp)
    void paintThumbnail(QPainter& painter, int index, const QRect& image, const QRect& label);

    // Mouse, keys and page management (thumbnailinput.cpp, thumbnailpages.cpp)
    void showContextMenu(int index, QPoint globalPos);
    bool refuseChange(bool deleting);
    void raiseDeleted(bool ok);
    void raiseMoved(bool ok);
    void reloadAfterChange(int selectIndex);

    std::shared_ptr<PromptService> m_prompts;
    std::unique_ptr<ThumbnailRenderer> m_renderer;
    std::shared_ptr<const imaging::Document> m_document;
    QString m_path;
    QVector<Thumbnail> m_thumbnails;
    ThumbnailLayout m_layout;
    quint64 m_batchFloor = 1;  // results of older batches belong to another document state
    qint32 m_firstPage = 0;
    int m_selected = 0;
    int m_currentPage = -1;
    int m_scrollPosition = 1;
    float m_viewHeight = 0;
    bool m_scrolledByHost = true;
    bool m_visibleAnnounced = false;
    bool m_allAnnounced = false;

    // Mouse state
    int m_pressIndex = -1;
    QPoint m_pressPos;
    bool m_dragging = false;
    int m_dropIndex = -1;  // insertion point while dragging: 0 .. count
};

}  // namespace ktdv
