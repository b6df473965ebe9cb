#pragma once
// The viewer's child widgets and hosted components, created once in their designed order
// (a later widget stacks above an earlier one) as children of the viewer control. The
// pointers are fixed at construction; the concerns of the viewer change the widgets'
// state, never which widgets there are. UI thread only.

#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollBar;
class QTabBar;
class QToolButton;
class QWidget;

namespace ktdv {

class ComponentFactory;
class ImageEditor;
class ProgressBar;
class StatusPanels;
class ThumbnailPane;
class Toolbar;

class ViewerWidgets {
public:
    ViewerWidgets(QWidget& host, ComponentFactory& factory);
    ~ViewerWidgets();
    ViewerWidgets(const ViewerWidgets&) = delete;
    ViewerWidgets& operator=(const ViewerWidgets&) = delete;

    const std::unique_ptr<ImageEditor> editor;  // "ctlKTImgEdit1"
    // The thumbnail pane's place, which clips it; shown while the pane is.
    QWidget* const fraThumbs;
    const std::unique_ptr<ThumbnailPane> thumbs;  // "ctlKTImgThumbs1", inside fraThumbs
    Toolbar* const mainToolbar;
    Toolbar* const ocrToolbar;
    Toolbar* const selectionToolbar;
    StatusPanels* const statusBar;
    QTabBar* const tabPages;       // each tab's data: the first page of its range, zero-based
    QToolButton* const btnRanges;  // every range in a drop-down, when the tabs do not fit
    QScrollBar* const VScroll1;
    QPushButton* const btnSplitter;
    QLabel* const pBoxDrag;
    QGroupBox* const fraGoto;
    QLineEdit* const tboxPageNumber;
    QScrollBar* const vsPages;
    QPushButton* const btnFind;
    const std::unique_ptr<ProgressBar> progress;  // "ProgressBar1"
    // "Manage Pages": declared with its items, never shown.
    QMenu* const mnuMoveDelete;
};

}  // namespace ktdv
