#pragma once
// The viewer's reaction to the thumbnail pane and the page-range tabs above it: showing
// a clicked page, keeping tabs and thumbnails in step after the pane deleted or moved a
// page, the tabs of 50 pages each and the thumbnails' scroll bar. UI thread only.

#include <QPoint>
#include <QtGlobal>

class QLabel;
class QWidget;

namespace ktdv {

class ViewerControl;

class ThumbnailEvents {
public:
    explicit ThumbnailEvents(ViewerControl& viewer);

    // A left click shows the page of the pane's selected thumbnail.
    void ctlKTImgThumbs1_ThumbClick(int& index, int& button, int& shift, float& x, float& y);
    // The pane changed the file and reloaded itself; ok is false when nothing changed.
    void ctlKTImgThumbs1_PageDeleted(bool& ok);
    void ctlKTImgThumbs1_PageMoved(bool& ok);
    // The file was changed behind the pane (an undo or redo): pane, page view and tabs read
    // it again, and this page is shown.
    void showRewrittenDocument(qint32 page);
    // Tabs for the current page count, then the pane reloaded, redrawn and scrolled.
    void RefreshThumbnails();

    // Back to the single first tab; thumbnail indexes count from page 0 again.
    void ResetPageRanges();
    // One tab per 50 pages of the loaded document.
    void BuildPageRanges();
    // A range tab was chosen: its thumbnails and its first page are shown.
    void tabPages_Click();
    // The thumb moved (dragged or settled): the pane follows at once.
    void VScroll1_Scroll();
    void VScroll1_Change();
    // The wheel or a touchpad over the pane scrolls it (pixels from a touchpad, else the
    // wheel's angle in eighths of a degree).
    void wheel(QPoint pixels, QPoint angle);
    // The drop-down beside the tabs: any range in one choice.
    void btnRanges_Click();
    // The page view shows this page (-1: none): its thumbnail is marked and, while the
    // pane is shown, brought into view, its range chosen first when it lies in another.
    void followShownPage(qint32 page);

    // The first page of the selected range, zero-based.
    qint32 rangeStart() const { return m_rangeStart; }
    // Tabs are being rebuilt: their clicks are ignored.
    bool tabsRebuilding() const { return m_tabsRebuilding; }
    // "Loading page ..." with its label, created at the first thumbnail click.
    QWidget* loadingWindow() const { return m_loading; }
    QLabel* loadingLabel() const { return m_loadingLabel; }
    void closeLoadingWindow();

private:
    // Shows a page with the "Loading page ..." window up while it loads.
    void showPage(qint32 page);
    // The file changed and the pane has read it again: the page is shown, and the tabs,
    // the range and the scroll bar follow the file.
    void showChangedDocument(qint64 page);
    // The range from this page on in the pane and on the tabs, without loading a page.
    void showRange(qint32 first);
    void scrollIntoView(qint32 page);

    ViewerControl& m_viewer;
    qint32 m_rangeStart = 0;
    bool m_tabsRebuilding = false;
    QWidget* m_loading = nullptr;
    QLabel* m_loadingLabel = nullptr;
};

}  // namespace ktdv
