// Page-range tabs of 50 pages above the thumbnails, and the thumbnails' scroll bar.
#include <QScrollBar>
#include <QTabBar>

#include "interfaces/imageeditor.h"
#include "interfaces/thumbnailpane.h"
#include "viewer/core/errors.h"
#include "viewer/core/viewercontrol.h"

namespace ktdv {

namespace {

constexpr int kRangeSize = 50;
constexpr int kScrollTop = 30;
constexpr int kScrollHeightAllowance = 20;
const QString kRangeJoin = QStringLiteral("...");

}  // namespace

void ViewerControl::VScroll1_Scroll() {
    QWidget* pane = ctlKTImgThumbs1->widget();
    const int value = VScroll1->value();
    const int top = kScrollTop - value;
    // Keep the pane covering the thumbnail area down to the bottom while scrolled.
    pane->setGeometry(pane->x(), top, pane->width(),
                      qMax(pane->height(), height() - top + kScrollHeightAllowance));
    update();
}

void ViewerControl::VScroll1_Change() {
    VScroll1_Scroll();
    ctlKTImgThumbs1->setScrollPosition(static_cast<qint16>(VScroll1->value()));
    ctlKTImgThumbs1->setViewHeight(static_cast<float>(height()));
    ctlKTImgThumbs1->arrange(true);
    ctlKTImgThumbs1->redraw();
}

void ViewerControl::ResetPageRanges() {
    tabPages->hide();
    bTabsRebuilding = true;
    for (int i = tabPages->count() - 2; i >= 0; --i) {
        tabPages->setCurrentIndex(i);
        tabPages->removeTab(i);
    }
    tabPages->show();
    bTabsRebuilding = false;
    // The pane starts again at the first page, so thumbnail indexes count from 0 again.
    RangeStart = 0;
}

void ViewerControl::BuildPageRanges() {
    const qint64 c = ctlKTImgEdit1->pageCount();
    const qint64 r = c <= kRangeSize ? 1 : (c + kRangeSize - 1) / kRangeSize;
    for (qint64 i = 1; i <= r; ++i) {
        const QString caption = QString::number(kRangeSize * i - (kRangeSize - 1)) + kRangeJoin +
                                QString::number(kRangeSize * i);
        if (tabPages->count() < i)
            tabPages->addTab(caption);
        else
            tabPages->setTabText(static_cast<int>(i - 1), caption);
    }
    // Ranges the document no longer has go too, so a short document opened after a long
    // one shows only its own ranges; the tab clicks this raises are ignored.
    if (tabPages->count() > r) {
        const bool wasRebuilding = bTabsRebuilding;
        bTabsRebuilding = true;
        while (tabPages->count() > r)
            tabPages->removeTab(tabPages->count() - 1);
        bTabsRebuilding = wasRebuilding;
    }
}

void ViewerControl::tabPages_Click() {
    if (bTabsRebuilding)
        return;
    VScroll1->setValue(1);
    const QString caption = tabPages->tabText(tabPages->currentIndex());
    const qint32 s =
        toInt32(static_cast<qint64>(toNumber(caption.left(caption.indexOf(kRangeJoin)))));
    ctlKTImgThumbs1->setFirstPage(s - 1);
    RangeStart = s - 1;
    ctlKTImgThumbs1->clearThumbnails();
    ctlKTImgThumbs1->reloadThumbnails();
    ctlKTImgThumbs1->redraw();
    VScroll1_Change();
    int index = s - 1;
    int button = 1;
    int shift = 0;
    float x = 100;
    float y = 100;
    ctlKTImgThumbs1_ThumbClick(index, button, shift, x, y);
}

}  // namespace ktdv
