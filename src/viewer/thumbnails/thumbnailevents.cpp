#include "viewer/thumbnails/thumbnailevents.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabBar>
#include <QThread>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include "interfaces/imageeditor.h"
#include "interfaces/thumbnailpane.h"
#include "platform/promptservice.h"
#include "viewer/core/errors.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/layout/panelayout.h"
#include "viewer/session/documentsession.h"

namespace ktdv {

namespace {
constexpr int kRangeSize = 50;
constexpr int kWheelNotchPixels = 60;
constexpr int kExposeWaitMs = 250;

// A window just shown appears only once the window system has mapped it, after control is
// back in the event loop, which the load about to start holds up. So wait (briefly, taking
// no user input) until it is on the screen, then paint it at once.
void paintBeforeWork(QWidget& window) {
    QElapsedTimer waited;
    waited.start();
    const QWindow* handle = window.windowHandle();
    while (handle && !handle->isExposed() && waited.elapsed() < kExposeWaitMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(1);
    }
    window.repaint();
}

}  // namespace

ThumbnailEvents::ThumbnailEvents(ViewerControl& viewer) : m_viewer(viewer) {}

// --- Thumbnail events ------------------------------------------------------------------

void ThumbnailEvents::ctlKTImgThumbs1_ThumbClick(int& index, int& button, int& shift, float& x,
                                                 float& y) {
    Q_UNUSED(index)
    Q_UNUSED(shift)
    Q_UNUSED(x)
    Q_UNUSED(y)
    if (button != 1)
        return;
    m_viewer.session().leavePage();
    showPage(toInt32(qint64{m_viewer.widgets().thumbs->selectedIndex()} + m_rangeStart));
}

void ThumbnailEvents::showPage(qint32 page) {
    if (!m_loading) {
        m_loading = new QWidget(&m_viewer, Qt::Tool | Qt::WindowTitleHint);
        m_loading->setObjectName(QStringLiteral("frmLoading"));
        m_loading->setWindowTitle(
            QCoreApplication::translate("ktdv::ThumbnailEvents", "Loading page ..."));
        m_loading->setAttribute(Qt::WA_ShowWithoutActivating);
        m_loadingLabel = new QLabel(m_loading);
        m_loadingLabel->setObjectName(QStringLiteral("lblLoading"));
        m_loadingLabel->setAlignment(Qt::AlignCenter);
        auto* layout = new QVBoxLayout(m_loading);
        layout->addWidget(m_loadingLabel);
        m_loading->resize(240, 60);
    }
    m_loadingLabel->setText(
        QCoreApplication::translate("ktdv::ThumbnailEvents", "Loading page: %1 ...")
            .arg(qint64{page} + 1));
    // Over the middle of the viewer, where the page is about to appear.
    m_loading->move(m_viewer.mapToGlobal(m_viewer.rect().center()) -
                    QPoint(m_loading->width() / 2, m_loading->height() / 2));
    m_loading->show();
    paintBeforeWork(*m_loading);
    m_viewer.widgets().editor->document().setPageIndex(page);
    m_viewer.session().reloadPage(page);
    m_loading->hide();
}

void ThumbnailEvents::closeLoadingWindow() {
    if (m_loading) {
        m_loading->close();
        delete m_loading;
        m_loading = nullptr;
        m_loadingLabel = nullptr;
    }
}

// The pane selects the moved page (in the range it moved to), or the page now in the deleted
// page's place.
void ThumbnailEvents::ctlKTImgThumbs1_PageDeleted(bool& ok) {
    const ThumbnailPane& thumbs = *m_viewer.widgets().thumbs;
    if (ok)
        showChangedDocument(qint64{thumbs.selectedIndex()} + thumbs.firstPage());
}

void ThumbnailEvents::ctlKTImgThumbs1_PageMoved(bool& ok) {
    const ThumbnailPane& thumbs = *m_viewer.widgets().thumbs;
    if (ok)
        showChangedDocument(qint64{thumbs.selectedIndex()} + thumbs.firstPage());
}

void ThumbnailEvents::showRewrittenDocument(qint32 page) {
    m_viewer.widgets().thumbs->reloadThumbnails();
    showChangedDocument(page);
}

void ThumbnailEvents::showChangedDocument(qint64 page) {
    const ViewerWidgets& w = m_viewer.widgets();
    ThumbnailPane& thumbs = *w.thumbs;
    QString path = w.editor->document().imagePath();
    // The page view reads the file afresh (a rewrite may keep its size and time stamp), so
    // the page count and everything built on it come from the file as it now is.
    w.editor->document().releaseImage();
    m_viewer.session().LoadPage(path, QStringLiteral("OpenImage"), toInt32(page));
    BuildPageRanges();
    const qint32 shown = w.editor->document().pageIndex();
    const qint32 start = shown - shown % kRangeSize;
    if (start != m_rangeStart && start / kRangeSize < w.tabPages->count()) {
        // The page moved to another range, or the shown range lost its last page: the range
        // of the page now shown is selected.
        {
            const QSignalBlocker block(w.tabPages);
            w.tabPages->setCurrentIndex(start / kRangeSize);
        }
        m_rangeStart = start;
        if (thumbs.firstPage() != start) {
            thumbs.setFirstPage(start);
            thumbs.clearThumbnails();
            thumbs.reloadThumbnails();
        }
    }
    thumbs.redraw();
    VScroll1_Change();
}

void ThumbnailEvents::RefreshThumbnails() {
    BuildPageRanges();
    m_viewer.widgets().thumbs->reloadThumbnails();
    m_viewer.widgets().thumbs->redraw();
    VScroll1_Change();
}

// --- Page ranges and the scroll bar ----------------------------------------------------

void ThumbnailEvents::VScroll1_Scroll() {
    const ViewerWidgets& w = m_viewer.widgets();
    QWidget* pane = w.thumbs->widget();
    // The pane moves up inside its area by the thumb's position (1 = top), which clips it,
    // and stays tall enough to cover the area down to its bottom.
    const int scrolled = w.VScroll1->sliderPosition() - w.VScroll1->minimum();
    pane->setGeometry(0, -scrolled, w.fraThumbs->width(), w.fraThumbs->height() + scrolled);
    m_viewer.update();
}

void ThumbnailEvents::wheel(QPoint pixels, QPoint angle) {
    QScrollBar* bar = m_viewer.widgets().VScroll1;
    if (bar->isHidden())
        return;
    // A touchpad reports pixels; a wheel notch moves about a third of a thumbnail.
    const int by = !pixels.isNull() ? pixels.y() : angle.y() * kWheelNotchPixels / 120;
    bar->setValue(bar->value() - by);
}

void ThumbnailEvents::btnRanges_Click() {
    const ViewerWidgets& w = m_viewer.widgets();
    QMenu menu;
    for (int i = 0; i < w.tabPages->count(); ++i) {
        QAction* range = menu.addAction(w.tabPages->tabText(i));
        range->setCheckable(true);
        range->setChecked(i == w.tabPages->currentIndex());
        QObject::connect(range, &QAction::triggered, w.tabPages,
                         [tabs = w.tabPages, i] { tabs->setCurrentIndex(i); });
    }
    m_viewer.prompts().popupMenu(&menu, w.btnRanges->mapToGlobal(QPoint(0, w.btnRanges->height())));
}

void ThumbnailEvents::VScroll1_Change() {
    ThumbnailPane& thumbs = *m_viewer.widgets().thumbs;
    VScroll1_Scroll();
    thumbs.setScrollPosition(static_cast<qint16>(m_viewer.widgets().VScroll1->value()));
    thumbs.setViewHeight(static_cast<float>(m_viewer.height()));
    thumbs.arrange(true);
    thumbs.redraw();
}

void ThumbnailEvents::ResetPageRanges() {
    QTabBar* tabs = m_viewer.widgets().tabPages;
    tabs->hide();
    m_tabsRebuilding = true;
    for (int i = tabs->count() - 2; i >= 0; --i) {
        tabs->setCurrentIndex(i);
        tabs->removeTab(i);
    }
    tabs->show();
    m_tabsRebuilding = false;
    m_rangeStart = 0;
}

void ThumbnailEvents::BuildPageRanges() {
    QTabBar* tabs = m_viewer.widgets().tabPages;
    const qint64 c = m_viewer.session().pageCount();
    const qint64 r = c <= kRangeSize ? 1 : (c + kRangeSize - 1) / kRangeSize;
    for (qint64 i = 1; i <= r; ++i) {
        const QString caption = QString::number(kRangeSize * i - (kRangeSize - 1)) +
                                QStringLiteral("...") + QString::number(kRangeSize * i);
        const int index = static_cast<int>(i - 1);
        if (tabs->count() < i)
            tabs->addTab(caption);
        else
            tabs->setTabText(index, caption);
        tabs->setTabData(index, static_cast<int>(kRangeSize * (i - 1)));
    }
    // Ranges the document no longer has go too, so a short document opened after a long
    // one shows only its own ranges; the tab clicks this raises are ignored.
    if (tabs->count() > r) {
        const bool wasRebuilding = m_tabsRebuilding;
        m_tabsRebuilding = true;
        while (tabs->count() > r)
            tabs->removeTab(tabs->count() - 1);
        m_tabsRebuilding = wasRebuilding;
    }
    if (!m_viewer.widgets().thumbs->widget()->isHidden())
        m_viewer.layout().placeRangeTabs();
}

void ThumbnailEvents::tabPages_Click() {
    if (m_tabsRebuilding)
        return;
    const ViewerWidgets& w = m_viewer.widgets();
    w.VScroll1->setValue(1);
    const qint32 first = w.tabPages->tabData(w.tabPages->currentIndex()).toInt();
    w.thumbs->setFirstPage(first);
    m_rangeStart = first;
    w.thumbs->clearThumbnails();
    w.thumbs->reloadThumbnails();
    w.thumbs->redraw();
    m_viewer.layout().fitThumbnailScrollBar();
    VScroll1_Change();
    m_viewer.session().leavePage();
    showPage(first);
}

// --- Following the shown page ----------------------------------------------------------

void ThumbnailEvents::followShownPage(qint32 page) {
    ThumbnailPane& thumbs = *m_viewer.widgets().thumbs;
    const bool shown = page >= 0 && !thumbs.widget()->isHidden();
    const qint32 first = page / kRangeSize * kRangeSize;
    if (shown && first != m_rangeStart)
        showRange(first);
    thumbs.setCurrentPage(page);
    if (shown)
        scrollIntoView(page);
}

void ThumbnailEvents::showRange(qint32 first) {
    const ViewerWidgets& w = m_viewer.widgets();
    const int tab = first / kRangeSize;
    if (w.tabPages->count() <= tab)
        BuildPageRanges();
    {
        const QSignalBlocker block(w.tabPages);
        w.tabPages->setCurrentIndex(tab);
    }
    m_rangeStart = first;
    w.thumbs->setFirstPage(first);
    w.thumbs->clearThumbnails();
    w.thumbs->reloadThumbnails();
    w.thumbs->redraw();
    m_viewer.layout().fitThumbnailScrollBar();
    w.VScroll1->setValue(1);
    VScroll1_Change();
}

void ThumbnailEvents::scrollIntoView(qint32 page) {
    const ViewerWidgets& w = m_viewer.widgets();
    QScrollBar* bar = w.VScroll1;
    const QRect cell = w.thumbs->pageRect(page);
    if (cell.isEmpty() || bar->isHidden())
        return;
    // The scroll bar spans the thumbnail area; one step moves the pane up by one pixel.
    const int top = w.thumbs->widget()->mapTo(&m_viewer, cell.topLeft()).y() - bar->y();
    const int bottom = top + cell.height() - bar->height();
    int value = bar->value();
    if (top < 0)
        value += top;
    else if (bottom > 0)
        value += qMin(top, bottom);
    bar->setValue(qBound(bar->minimum(), value, bar->maximum()));
}

}  // namespace ktdv
