#include "viewer/core/viewerwidgets.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>

#include "interfaces/componentfactory.h"
#include "interfaces/imageeditor.h"
#include "interfaces/progressbar.h"
#include "interfaces/thumbnailpane.h"
#include "viewer/core/statusbar.h"
#include "viewer/toolbars/toolbar.h"
#include "viewer/toolbars/toolbartables.h"

namespace ktdv {

namespace {

// Designed geometry, in pixels.
constexpr int kSplitterLeft = 156;  // 2340 twips at 15 twips per pixel
constexpr int kSplitterWidth = 6;   // 90 twips
constexpr int kDragBarWidth = 5;    // 75 twips
constexpr int kGotoWidth = 120;
constexpr int kGotoHeight = 73;
constexpr int kGotoFieldWidth = 68;

// The thumbnail pane's place: the pane scrolls by moving up inside it and is clipped to it,
// so scrolled thumbnails never paint over the tabs or the toolbars. Shown while the pane is.
class ThumbnailArea final : public QWidget {
public:
    explicit ThumbnailArea(QWidget& host) : QWidget(&host) {
        setObjectName(QStringLiteral("fraThumbs"));
        hide();
    }
    void hold(QWidget* pane) { pane->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShowToParent)
            show();
        else if (event->type() == QEvent::HideToParent)
            hide();
        return QWidget::eventFilter(watched, event);
    }
};

template <class T>
T* named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

std::unique_ptr<ImageEditor> makeEditor(QWidget& host, ComponentFactory& factory) {
    auto editor = factory.createImageEditor(&host);
    named(editor->widget(), "ctlKTImgEdit1");
    return editor;
}

std::unique_ptr<ThumbnailPane> makeThumbs(QWidget& area, ComponentFactory& factory) {
    auto thumbs = factory.createThumbnailPane(&area);
    named(thumbs->widget(), "ctlKTImgThumbs1")->hide();
    static_cast<ThumbnailArea&>(area).hold(thumbs->widget());
    return thumbs;
}

Toolbar* makeMainToolbar(QWidget& host) {
    auto* bar = new Toolbar(QStringLiteral("MainToolbar"), mainToolbarButtons(),
                            mainToolbarImages(), &host);
    bar->widget()->setGeometry(0, 0, host.width(), bar->widget()->sizeHint().height());
    return bar;
}

Toolbar* makeOcrToolbar(QWidget& host) {
    auto* bar =
        new Toolbar(QStringLiteral("OcrToolbar"), ocrToolbarButtons(), ocrToolbarImages(), &host);
    bar->widget()->resize(bar->widget()->sizeHint());
    return bar;
}

Toolbar* makeSelectionToolbar(QWidget& host) {
    auto* bar = new Toolbar(QStringLiteral("SelectionToolbar"), selectionToolbarButtons(),
                            selectionToolbarImages(), &host);
    // Floats over the page: its own background keeps its buttons readable.
    bar->widget()->setAutoFillBackground(true);
    bar->widget()->setBackgroundRole(QPalette::Button);
    bar->widget()->resize(bar->widget()->sizeHint());
    bar->widget()->hide();
    return bar;
}

StatusPanels* makeStatusBar(QWidget& host, const Toolbar& ocr) {
    auto* status = named(new StatusPanels(&host), "StatusBar");
    status->addPanel(
        QStringLiteral("ImagePath"), QStringLiteral("ImagePath"),
        QCoreApplication::translate("ktdv::ViewerWidgets", "Path to the current document"),
        StatusPanels::Fit::ElidePath);
    status->addPanel(QStringLiteral("ZoomFactor"), QStringLiteral("ZoomFactor"),
                     QCoreApplication::translate("ktdv::ViewerWidgets", "Document zoom factor"));
    status->addPanel(QStringLiteral("PageNumber"), QStringLiteral("PageNumber"),
                     QCoreApplication::translate("ktdv::ViewerWidgets", "Page number"));
    status->addPanel(QStringLiteral("FileAttributes"), QStringLiteral("FileAttributes"),
                     QCoreApplication::translate("ktdv::ViewerWidgets", "File attributes"));
    status->resize(status->width(), ocr.widget()->height() + 1);
    return status;
}

QTabBar* makeTabs(QWidget& host) {
    auto* tabs = named(new QTabBar(&host), "tabPages");
    tabs->setToolTip(QCoreApplication::translate(
        "ktdv::ViewerWidgets", "Page ranges for documents with more than 50 pages."));
    tabs->setElideMode(Qt::ElideNone);
    tabs->setUsesScrollButtons(true);
    tabs->setExpanding(false);
    tabs->addTab(QStringLiteral("1...50"));
    tabs->setTabData(0, 0);
    tabs->resize(kSplitterLeft, tabs->sizeHint().height());
    tabs->hide();
    return tabs;
}

// Beside the tabs when they do not all fit: every range in one drop-down.
QToolButton* makeRanges(QWidget& host, const QTabBar& tabs) {
    auto* button = named(new QToolButton(&host), "btnRanges");
    button->setToolTip(QCoreApplication::translate("ktdv::ViewerWidgets", "Choose a page range"));
    button->setArrowType(Qt::DownArrow);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->resize(button->sizeHint().width(), tabs.height());
    button->hide();
    return button;
}

QScrollBar* makeThumbScroll(QWidget& host) {
    auto* bar = named(new QScrollBar(Qt::Vertical, &host), "VScroll1");
    bar->setTracking(true);  // the pane follows the thumb while it is dragged
    bar->setRange(1, 1);
    bar->resize(bar->sizeHint().width(), 100);
    bar->hide();
    return bar;
}

QPushButton* makeSplitter(QWidget& host) {
    auto* button = named(new QPushButton(&host), "btnSplitter");
    button->setFocusPolicy(Qt::NoFocus);
    button->setMouseTracking(true);
    button->setGeometry(kSplitterLeft, 0, kSplitterWidth, 100);
    button->hide();
    return button;
}

QLabel* makeDragBar(QWidget& host) {
    auto* bar = named(new QLabel(&host), "pBoxDrag");
    bar->setAutoFillBackground(true);
    bar->setBackgroundRole(QPalette::Dark);  // the palette's, for high-contrast themes too
    bar->setGeometry(kSplitterLeft, 0, kDragBarWidth, 100);
    bar->hide();
    return bar;
}

QGroupBox* makeGoto(QWidget& host) {
    auto* box = named(
        new QGroupBox(QCoreApplication::translate("ktdv::ViewerWidgets", "Go to Page"), &host),
        "fraGoto");
    box->setAutoFillBackground(true);  // it floats over the page
    box->setGeometry(1, 0, kGotoWidth, kGotoHeight);
    new QGridLayout(box);
    return box;
}

QLineEdit* makePageNumber(QGroupBox* box) {
    auto* edit = named(new QLineEdit(box), "tboxPageNumber");
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    // Wide enough for the nine digits the box takes.
    edit->setFixedWidth(qMax(
        kGotoFieldWidth, edit->fontMetrics().horizontalAdvance(QStringLiteral("999999999")) + 12));
    static_cast<QGridLayout*>(box->layout())->addWidget(edit, 0, 0);
    return edit;
}

QScrollBar* makePageSpin(QGroupBox* box) {
    auto* bar = named(new QScrollBar(Qt::Vertical, box), "vsPages");
    bar->setMinimum(1);
    static_cast<QGridLayout*>(box->layout())->addWidget(bar, 0, 1, 2, 1);
    return bar;
}

// The box takes the size its caption and its controls need, never less than designed.
QPushButton* makeFind(QGroupBox* box) {
    auto* button = named(
        new QPushButton(QCoreApplication::translate("ktdv::ViewerWidgets", "&Go"), box), "btnFind");
    static_cast<QGridLayout*>(box->layout())->addWidget(button, 1, 0);
    box->setFixedSize(box->sizeHint()
                          .expandedTo(box->minimumSizeHint())
                          .expandedTo(QSize(kGotoWidth, kGotoHeight)));
    box->hide();
    return button;
}

std::unique_ptr<ProgressBar> makeProgress(QWidget& host, ComponentFactory& factory) {
    auto bar = factory.createProgressBar(&host);
    named(bar->widget(), "ProgressBar1")->hide();
    return bar;
}

QMenu* makePagesMenu(QWidget& host) {
    auto* menu =
        named(new QMenu(QCoreApplication::translate("ktdv::ViewerWidgets", "Manage Pages"), &host),
              "mnuMoveDelete");
    named(menu->addAction(QCoreApplication::translate("ktdv::ViewerWidgets", "Move Page")),
          "mnuMovePage");
    named(menu->addAction(QCoreApplication::translate("ktdv::ViewerWidgets", "Delete Page")),
          "mnuDeletePage");
    return menu;
}

}  // namespace

ViewerWidgets::ViewerWidgets(QWidget& host, ComponentFactory& factory)
    : editor(makeEditor(host, factory)),
      fraThumbs(new ThumbnailArea(host)),
      thumbs(makeThumbs(*fraThumbs, factory)),
      mainToolbar(makeMainToolbar(host)),
      ocrToolbar(makeOcrToolbar(host)),
      selectionToolbar(makeSelectionToolbar(host)),
      statusBar(makeStatusBar(host, *ocrToolbar)),
      tabPages(makeTabs(host)),
      btnRanges(makeRanges(host, *tabPages)),
      VScroll1(makeThumbScroll(host)),
      btnSplitter(makeSplitter(host)),
      pBoxDrag(makeDragBar(host)),
      fraGoto(makeGoto(host)),
      tboxPageNumber(makePageNumber(fraGoto)),
      vsPages(makePageSpin(fraGoto)),
      btnFind(makeFind(fraGoto)),
      progress(makeProgress(host, factory)),
      mnuMoveDelete(makePagesMenu(host)) {
    // The floating controls stay above the page and the thumbnails.
    fraGoto->raise();
    pBoxDrag->raise();
}

ViewerWidgets::~ViewerWidgets() = default;

}  // namespace ktdv
