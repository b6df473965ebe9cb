// Placing the hosted controls for the two view modes: page only, or thumbnails and page.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QToolBar>

#include "interfaces/imageeditor.h"
#include "interfaces/thumbnailpane.h"
#include "viewer/core/errors.h"
#include "viewer/core/statusbar.h"
#include "viewer/core/toolbar.h"
#include "viewer/core/viewercontrol.h"
#include "platform/twips.h"

namespace ktdv {

namespace {

constexpr int kMinimumSize = 100;
constexpr int kStatusRightMargin = 5;
constexpr int kBottomAllowance = 7;
constexpr int kGotoLift = 3;
constexpr int kGotoLiftWithScrollBar = 19;
constexpr int kThumbHeightAllowance = 20;

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

void ViewerControl::ArrangePanes() {
    const int W = width();
    const int H = height();
    if (W < kMinimumSize || H < kMinimumSize)
        return;

    QToolBar* ocr = OcrToolbar->widget();
    QWidget* page = ctlKTImgEdit1->widget();
    QWidget* thumbs = ctlKTImgThumbs1->widget();
    const int TB = MainToolbar->widget()->height();

    // Bottom row.
    setTop(ocr, H - ocr->height());
    setLeft(ocr, 1);
    setLeft(StatusBar, ocr->width());
    setTop(StatusBar, ocr->y() - 1);
    setLeft(fraGoto, ocr->x());
    const int lift = ctlKTImgEdit1->hScrollVisible() ? kGotoLiftWithScrollBar : kGotoLift;
    setTop(fraGoto, ocr->y() - (lift + fraGoto->height()));
    setWidth(StatusBar, W - ocr->width() - kStatusRightMargin);
    const int sw = StatusBar->width();
    StatusBar->setPanelWidth(QStringLiteral("ImagePath"), static_cast<int>(sw * 0.4));
    for (const char* key : {"ZoomFactor", "PageNumber", "FileAttributes"})
        StatusBar->setPanelWidth(QString::fromLatin1(key), static_cast<int>(sw * 0.2));

    if (W == kMinimumSize || H == kMinimumSize)
        return;

    page->hide();

    if (!thumbs->isHidden()) {
        tabPages->move(1, TB);
        setWidth(tabPages, btnSplitter->x());
        setTop(btnSplitter, tabPages->y() + 3);
        setHeight(btnSplitter, H - (TB + StatusBar->height()) - kBottomAllowance);
        setTop(pBoxDrag, btnSplitter->y());
        setHeight(pBoxDrag, btnSplitter->height());
        setTop(VScroll1, tabPages->y() + tabPages->height() + 3);
        setLeft(VScroll1, btnSplitter->x() - VScroll1->width());
        setHeight(VScroll1, H - (tabPages->height() + TB + StatusBar->height()) - kBottomAllowance);
        VScroll1->show();
        VScroll1->raise();
        thumbs->setGeometry(
            1, tabPages->y() + tabPages->height() + 3, btnSplitter->x() - VScroll1->width(),
            H - (tabPages->height() + TB + StatusBar->height()) + kThumbHeightAllowance);

        RefreshThumbnails();

        const int max = ctlKTImgThumbs1->scrollRange();
        VScroll1->setMinimum(1);
        VScroll1->setMaximum(max);
        if (VScroll1->maximum() != 1) {
            VScroll1->setSingleStep(static_cast<int>(twips::roundEven(max * 0.01)));
            VScroll1->setPageStep(static_cast<int>(twips::roundEven(max * 0.1)));
            VScroll1->show();
            VScroll1->raise();
        } else {
            VScroll1->hide();
        }
    }

    int left = 1;
    int w = W - 3;
    if (!thumbs->isHidden()) {
        if (VScroll1->isHidden()) {
            left = thumbs->width() + thumbs->x() + btnSplitter->width();
            w = W - 3 - thumbs->width();
        } else {
            left = thumbs->width() + thumbs->x() + VScroll1->width() + btnSplitter->width();
            w = W - 3 - (thumbs->width() + VScroll1->width());
        }
    }
    setWidth(page, w);
    setHeight(page, H - (TB + StatusBar->height()) - kBottomAllowance);
    setTop(page, TB + 3);
    setLeft(page, left);

    if (page->isHidden())
        page->show();
    // Controls that float over the page stay in front of it.
    fraGoto->raise();
    pBoxDrag->raise();
    if (!ctlKTImgEdit1->imagePath().isEmpty())
        ctlKTImgEdit1->updateLayout();

    QString path = module().gImagePath;
    LoadPage(path, QStringLiteral("navigate"), toInt16(qint64{ctlKTImgEdit1->pageIndex()}));
}

}  // namespace ktdv
