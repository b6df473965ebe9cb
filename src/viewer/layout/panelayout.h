#pragma once
// Placing the hosted controls for the two view modes (page only, or thumbnails and page),
// switching between them, the splitter between thumbnails and page, and the control's
// mouse pointer. UI thread only.

#include <QString>
#include <QtGlobal>

namespace ktdv {

class ViewerControl;

class PaneLayout {
public:
    explicit PaneLayout(ViewerControl& viewer);

    // Places every pane for the control's size and reloads the shown page.
    void ArrangePanes();
    // Page only: the thumbnails, their scroll bar, the splitter and the tabs hidden.
    void showPageOnly();
    // The thumbnails of a TIFF document opened with thumbnails wanted, from its first page.
    void showThumbnails(const QString& path);
    // "Display Both": thumbnails and page for the shown TIFF document.
    void showBoth(bool tiff);
    // The range tabs across the thumbnail column, with the drop-down of every range beside
    // them when they do not all fit.
    void placeRangeTabs();
    // The thumbnails' scroll bar: its range and steps for the shown range, hidden when
    // every thumbnail fits.
    void fitThumbnailScrollBar();

    // The splitter: a left press starts a drag, shown by the drag bar; the drop happens
    // when the pointer next moves over the thumbnails or the page.
    void btnSplitter_MouseDown(int button, int shift, float x, float y);
    void btnSplitter_MouseMove(int button, int shift, float x, float y);
    void btnSplitter_MouseUp(int button, int shift, float x, float y);
    void UserControl_MouseMove();
    void ctlKTImgThumbs1_MouseMove(int& button, int& shift, float& x, float& y);
    // The pointer moved over the page (x in twips from the page's left edge).
    void pageMouseMove(int button, float x);

    // The control's mouse pointer code (0 default, 9 west-east resize, ...).
    qint16 mousePointer() const { return m_mousePointer; }
    void setMousePointer(qint16 code);

private:
    void restorePointer(int button);
    void dropSplitterAt(double left);

    ViewerControl& m_viewer;
    qint16 m_mousePointer = 0;
};

}  // namespace ktdv
