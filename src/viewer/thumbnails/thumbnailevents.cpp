// The viewer's reaction to the thumbnail pane: showing a clicked page, keeping tabs and
// thumbnails in step after a page was deleted or moved, and the splitter drop.
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QVBoxLayout>

#include "interfaces/imageeditor.h"
#include "interfaces/thumbnailpane.h"
#include "viewer/core/errors.h"
#include "viewer/core/viewercontrol.h"
#include "platform/settingsstore.h"
#include "platform/twips.h"

namespace ktdv {

namespace {
constexpr int kMinimumThumbnailSide = 100;
const QString kRangeJoin = QStringLiteral("...");
}  // namespace

void ViewerControl::showLoading(const QString& text) {
    if (!frmLoading) {
        frmLoading = new QWidget(this, Qt::Tool | Qt::WindowTitleHint);
        frmLoading->setObjectName(QStringLiteral("frmLoading"));
        frmLoading->setWindowTitle(QStringLiteral("Loading page ..."));
        frmLoading->setAttribute(Qt::WA_ShowWithoutActivating);
        lblLoading = new QLabel(frmLoading);
        lblLoading->setObjectName(QStringLiteral("lblLoading"));
        lblLoading->setAlignment(Qt::AlignCenter);
        auto* layout = new QVBoxLayout(frmLoading);
        layout->addWidget(lblLoading);
        frmLoading->resize(240, 60);
    }
    frmLoading->show();
    lblLoading->setText(text);
    lblLoading->repaint();
    frmLoading->repaint();
}

void ViewerControl::ctlKTImgThumbs1_ThumbClick(int& index, int& button, int& shift, float& x,
                                               float& y) {
    Q_UNUSED(index)
    Q_UNUSED(shift)
    Q_UNUSED(x)
    Q_UNUSED(y)
    if (button != 1)
        return;
    ImageEditor& editor = *ctlKTImgEdit1;
    if (IsTiffPath(editor.imagePath()) && m_settings->readDouble(settings::SaveTiffEdits) == 1 &&
        !m_settings->readBool(settings::ReadOnly) && bPageModified) {
        editor.savePageChanges(editor.pageIndex(), editor.pageCount());
        bPageModified = false;
        RefreshThumbnails();
    }
    showLoading(lblLoading ? lblLoading->text() : QString());
    const qint32 page = toInt32(qint64{ctlKTImgThumbs1->selectedIndex()} + RangeStart);
    showLoading(QStringLiteral("Loading page: ") + QString::number(qint64{page} + 1) +
                QStringLiteral(" ..."));
    editor.setPageIndex(page);
    QString path = editor.imagePath();
    LoadPage(path, QStringLiteral("OpenImage"), toInt16(qint64{page}));
    frmLoading->hide();
}

void ViewerControl::ctlKTImgThumbs1_PageDeleted(bool& ok) {
    if (!ok)
        return;
    const int n = tabPages->count();
    const QString caption = tabPages->tabText(n - 1);
    const double start = toNumber(caption.left(caption.indexOf(kRangeJoin)));
    if (ctlKTImgEdit1->pageCount() < start) {
        tabPages->hide();
        const int last = n - 1;
        const int selected = tabPages->currentIndex();
        {
            const QSignalBlocker block(tabPages);
            tabPages->removeTab(last);
            tabPages->setCurrentIndex(selected < tabPages->count() ? selected
                                                                   : tabPages->count() - 1);
        }
        tabPages->show();
        // The emptied range was the one shown: show the first page of the new last range.
        if (selected == last && tabPages->count() > 0)
            tabPages_Click();
    } else {
        ctlKTImgEdit1->setPageIndex(0);
        QString path = ctlKTImgEdit1->imagePath();
        LoadPage(path, QStringLiteral("OpenImage"), toInt16(qint64{RangeStart}));
    }
    RefreshThumbnails();
}

void ViewerControl::ctlKTImgThumbs1_PageMoved(bool& ok) {
    if (!ok)
        return;
    ctlKTImgEdit1->setPageIndex(0);
    QString path = ctlKTImgEdit1->imagePath();
    LoadPage(path, QStringLiteral("OpenImage"), toInt16(qint64{RangeStart}));
    RefreshThumbnails();
}

void ViewerControl::RefreshThumbnails() {
    BuildPageRanges();
    ctlKTImgThumbs1->reloadThumbnails();
    ctlKTImgThumbs1->redraw();
    VScroll1_Change();
}

void ViewerControl::ctlKTImgThumbs1_MouseMove(int& button, int& shift, float& x, float& y) {
    Q_UNUSED(shift)
    Q_UNUSED(y)
    ViewerModuleState& g = module();
    if (button == 0 && mousePointer() != g.gSavedPointer)
        setMousePointer(g.gSavedPointer);
    if (g.gSplitterDrag && x > kMinimumThumbnailSide) {
        btnSplitter->move(static_cast<int>(twips::roundEven(x)), btnSplitter->y());
        ArrangePanes();
        g.gSplitterDrag = false;
    }
}

}  // namespace ktdv
