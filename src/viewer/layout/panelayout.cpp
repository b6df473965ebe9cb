#include "viewer/layout/panelayout.h"

#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>

#include "interfaces/imageeditor.h"
#include "interfaces/thumbnailpane.h"
#include "platform/settingsstore.h"
#include "platform/twips.h"
#include "viewer/core/errors.h"
#include "viewer/core/statusbar.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/find/findbar.h"
#include "viewer/find/textfind.h"
#include "viewer/session/documentsession.h"
#include "viewer/thumbnails/thumbnailevents.h"
#include "viewer/toolbars/toolbar.h"

namespace ktdv {

namespace {

constexpr int kMinimumSize = 100;
constexpr int kStatusRightMargin = 5;
constexpr int kBottomAllowance = 7;
constexpr int kGotoLift = 3;
constexpr int kGotoLiftWithScrollBar = 19;
constexpr qint16 kResizePointer = 9;  // west-east
constexpr int kMinimumSide = 100;

void setTop(QWidget* w, int top) {
    w->move(w->x(), top);
}
void setLeft(QWidget* w, int left) {
    w->move(left, w->y());
}
void setWidth(QWidget* w, int width) {
    w->resize(qMax(0, width), w->height());
}
void setHeight(QWidget* w, int height) {
    w->resize(w->width(), qMax(0, height));
}

}  // namespace

PaneLayout::PaneLayout(ViewerControl& viewer) : m_viewer(viewer) {}

void PaneLayout::ArrangePanes() {
    const ViewerWidgets& c = m_viewer.widgets();
    const int W = m_viewer.width();
    const int H = m_viewer.height();
    if (W < kMinimumSize || H < kMinimumSize)
        return;

    QToolBar* ocr = c.ocrToolbar->widget();
    QWidget* page = c.editor->widget();
    QWidget* thumbs = c.thumbs->widget();
    StatusPanels* status = c.statusBar;
    QScrollBar* scroll = c.VScroll1;
    QTabBar* tabs = c.tabPages;
    QPushButton* splitter = c.btnSplitter;
    const int TB = c.mainToolbar->widget()->height();

    // Bottom row.
    setTop(ocr, H - ocr->height());
    setLeft(ocr, 1);
    setLeft(status, ocr->width());
    setTop(status, ocr->y() - 1);
    setLeft(c.fraGoto, ocr->x());
    const int lift = c.editor->view().hScrollVisible() ? kGotoLiftWithScrollBar : kGotoLift;
    setTop(c.fraGoto, ocr->y() - (lift + c.fraGoto->height()));
    setWidth(status, W - ocr->width() - kStatusRightMargin);
    const int sw = status->width();
    status->setPanelWidth(QStringLiteral("ImagePath"), static_cast<int>(sw * 0.4));
    for (const char* key : {"ZoomFactor", "PageNumber", "FileAttributes"})
        status->setPanelWidth(QString::fromLatin1(key), static_cast<int>(sw * 0.2));

    if (W == kMinimumSize || H == kMinimumSize)
        return;

    page->hide();

    // Thumbnail column, from left to right: the pane in its area, its scroll bar, the
    // splitter (S is its left edge); the tabs above the pane and the scroll bar.
    const int S = splitter->x();
    if (!thumbs->isHidden()) {
        tabs->move(1, TB);
        placeRangeTabs();
        setTop(splitter, tabs->y() + 3);
        setHeight(splitter, H - (TB + status->height()) - kBottomAllowance);
        setTop(c.pBoxDrag, splitter->y());
        setHeight(c.pBoxDrag, splitter->height());
        const int top = tabs->y() + tabs->height() + 3;
        const int height = H - (tabs->height() + TB + status->height()) - kBottomAllowance;
        scroll->setGeometry(S - scroll->width(), top, scroll->width(), qMax(0, height));
        scroll->show();
        scroll->raise();
        c.fraThumbs->setGeometry(1, top, qMax(0, S - 1 - scroll->width()), qMax(0, height));
        thumbs->setGeometry(0, 0, c.fraThumbs->width(), c.fraThumbs->height());

        m_viewer.thumbnails().RefreshThumbnails();
        fitThumbnailScrollBar();
    }

    if (thumbs->isHidden())
        c.btnRanges->hide();
    // The page fills the rest of the width, its scroll bars inside the control; an open
    // find bar takes a row above it.
    const int left = thumbs->isHidden() ? 1 : S + splitter->width() + 1;
    int findRow = 0;
    if (FindBar* find = m_viewer.textFind().bar(); find && !find->isHidden()) {
        find->setGeometry(left, TB + 1, qMax(0, W - 2 - left), find->sizeHint().height());
        findRow = find->height() + 1;
    }
    setWidth(page, W - 2 - left);
    setHeight(page, H - (TB + status->height()) - kBottomAllowance - findRow);
    setTop(page, TB + 3 + findRow);
    setLeft(page, left);

    if (page->isHidden())
        page->show();
    // Controls that float over the page stay in front of it.
    c.fraGoto->raise();
    c.pBoxDrag->raise();
    if (!c.editor->document().imagePath().isEmpty())
        c.editor->view().updateLayout();

    // A pass over the page already shown leaves it as it is: its zoom mode, its scroll
    // position and a turn not saved yet all stay. A document not shown yet is loaded.
    QString path = moduleState().imagePath();
    const qint32 shown = c.editor->document().pageIndex();
    if (!path.isEmpty() && c.editor->document().imagePath() == path) {
        m_viewer.thumbnails().followShownPage(shown);
        return;
    }
    m_viewer.session().LoadPage(path, QStringLiteral("navigate"), shown);
}

void PaneLayout::showPageOnly() {
    const ViewerWidgets& c = m_viewer.widgets();
    c.thumbs->widget()->hide();
    c.VScroll1->hide();
    c.btnSplitter->hide();
    c.tabPages->hide();
    c.btnRanges->hide();
    ArrangePanes();
}

void PaneLayout::showThumbnails(const QString& path) {
    const ViewerWidgets& c = m_viewer.widgets();
    ThumbnailPane& thumbs = *c.thumbs;
    thumbs.widget()->show();
    thumbs.setFirstPage(0);
    m_viewer.thumbnails().ResetPageRanges();
    thumbs.clearThumbnails();
    thumbs.redraw();
    thumbs.loadDocument(path);
    ArrangePanes();
    m_viewer.thumbnails().RefreshThumbnails();
    c.btnSplitter->show();
}

void PaneLayout::showBoth(bool tiff) {
    const ViewerWidgets& c = m_viewer.widgets();
    ThumbnailPane& thumbs = *c.thumbs;
    if (c.editor->document().imagePath().isEmpty())
        return;
    if (!tiff) {
        thumbs.widget()->hide();
        return;
    }
    thumbs.clearThumbnails();
    thumbs.redraw();
    thumbs.loadDocument(c.editor->document().imagePath());
    thumbs.widget()->show();
    m_viewer.settings().writeBool(settings::Thumbs, true);
    c.tabPages->show();
    c.btnSplitter->show();
    ArrangePanes();
}

void PaneLayout::placeRangeTabs() {
    const ViewerWidgets& c = m_viewer.widgets();
    QTabBar* tabs = c.tabPages;
    QToolButton* ranges = c.btnRanges;
    const int width = c.btnSplitter->x() - 1;
    const bool crowded = tabs->count() > 1 && tabs->sizeHint().width() > width;
    const int rangesWidth = crowded ? ranges->sizeHint().width() : 0;
    tabs->resize(qMax(0, width - rangesWidth), tabs->height());
    ranges->setGeometry(tabs->x() + tabs->width(), tabs->y(), rangesWidth, tabs->height());
    ranges->setVisible(crowded && !tabs->isHidden());
}

void PaneLayout::fitThumbnailScrollBar() {
    QScrollBar* scroll = m_viewer.widgets().VScroll1;
    const int max = m_viewer.widgets().thumbs->scrollRange();
    scroll->setMinimum(1);
    scroll->setMaximum(max);
    if (scroll->maximum() != 1) {
        scroll->setSingleStep(static_cast<int>(twips::roundEven(max * 0.01)));
        scroll->setPageStep(static_cast<int>(twips::roundEven(max * 0.1)));
        scroll->show();
        scroll->raise();
    } else {
        scroll->hide();
    }
}

// --- The splitter and the pointer ------------------------------------------------------

void PaneLayout::setMousePointer(qint16 code) {
    m_mousePointer = code;
    static const QHash<int, Qt::CursorShape> shapes{
        {1, Qt::ArrowCursor},      {2, Qt::CrossCursor},    {3, Qt::IBeamCursor},
        {7, Qt::SizeVerCursor},    {9, Qt::SizeHorCursor},  {11, Qt::WaitCursor},
        {12, Qt::ForbiddenCursor}, {15, Qt::SizeAllCursor},
    };
    if (code == 0)
        m_viewer.unsetCursor();
    else
        m_viewer.setCursor(shapes.value(code, Qt::ArrowCursor));
}

void PaneLayout::btnSplitter_MouseDown(int button, int shift, float x, float y) {
    Q_UNUSED(shift)
    Q_UNUSED(x)
    Q_UNUSED(y)
    if (button != 1)
        return;
    moduleState().setSplitterDrag(true);
    m_viewer.widgets().pBoxDrag->show();
    m_viewer.widgets().pBoxDrag->raise();
}

void PaneLayout::btnSplitter_MouseMove(int button, int shift, float x, float y) {
    Q_UNUSED(shift)
    Q_UNUSED(y)
    if (button == 0) {
        if (mousePointer() != kResizePointer)
            moduleState().savePointer(mousePointer());
        setMousePointer(kResizePointer);
    } else if (button == 1) {
        QLabel* bar = m_viewer.widgets().pBoxDrag;
        const double left = m_viewer.widgets().btnSplitter->x() + x / twips::perPixelX();
        bar->move(static_cast<int>(twips::roundEven(left)), bar->y());
    }
}

void PaneLayout::btnSplitter_MouseUp(int button, int shift, float x, float y) {
    Q_UNUSED(shift)
    Q_UNUSED(x)
    Q_UNUSED(y)
    if (button == 1)
        m_viewer.widgets().pBoxDrag->hide();
}

void PaneLayout::UserControl_MouseMove() {
    setMousePointer(moduleState().savedPointer());
}

void PaneLayout::restorePointer(int button) {
    if (button == 0 && mousePointer() != moduleState().savedPointer())
        setMousePointer(moduleState().savedPointer());
}

void PaneLayout::dropSplitterAt(double left) {
    QPushButton* splitter = m_viewer.widgets().btnSplitter;
    splitter->move(static_cast<int>(twips::roundEven(left)), splitter->y());
    ArrangePanes();
    moduleState().setSplitterDrag(false);
}

void PaneLayout::ctlKTImgThumbs1_MouseMove(int& button, int& shift, float& x, float& y) {
    Q_UNUSED(shift)
    Q_UNUSED(y)
    restorePointer(button);
    if (moduleState().splitterDrag() && x > kMinimumSide)
        dropSplitterAt(x);
}

void PaneLayout::pageMouseMove(int button, float x) {
    restorePointer(button);
    if (moduleState().splitterDrag()) {
        const double p = x / twips::perPixelX();
        if (m_viewer.widgets().editor->widget()->width() - kMinimumSide > p)
            dropSplitterAt(m_viewer.widgets().btnSplitter->x() + p);
    }
}

}  // namespace ktdv
