// Page navigation from the main toolbar and the go-to-page box.
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolBar>

#include "interfaces/imageeditor.h"
#include "viewer/core/errors.h"
#include "viewer/core/statusbar.h"
#include "viewer/core/toolbar.h"
#include "viewer/core/viewercontrol.h"

namespace ktdv {

namespace {
constexpr int kGotoOffset = 76;
constexpr int kGotoOffsetWithScrollBar = 92;
constexpr int kGotoParked = 1400;
constexpr int kMaxPageDigits = 9;
constexpr int kBackspace = 8;
}  // namespace

void ViewerControl::ParkGoToPage() {
    fraGoto->move(fraGoto->x(), OcrToolbar->widget()->y() + kGotoParked);
    fraGoto->hide();
}

void ViewerControl::NavigateCommand(const QString& key) {
    ImageEditor& editor = *ctlKTImgEdit1;
    const QString goToPage = QStringLiteral("GoToPage");
    if (!editor.imagePath().isEmpty()) {
        if (OcrToolbar->value(goToPage) == 1) {
            fraGoto->hide();
            OcrToolbar->setValue(goToPage, 0);
        }
        bPageModified = false;
        editor.setNavigateTo(key);
        const qint16 target = toInt16(editor.navigateTo());
        QString path = editor.imagePath();
        LoadPage(path, QStringLiteral("navigate"), target);
    } else {
        editor.clearImage();
        editor.syncView();
        OcrToolbar->setValue(goToPage, 0);
        OcrToolbar->setEnabled(goToPage, false);
        ParkGoToPage();
        SetToolbarState(false, true);
    }
    SetNavigationButtons();
}

void ViewerControl::SetNavigationButtons() {
    const int i = ctlKTImgEdit1->pageIndex();
    const int count = ctlKTImgEdit1->pageCount();
    bool backward = true;
    bool forward = true;
    if (i == 0)
        backward = false;
    else if (i + 1 == count)
        forward = false;
    MainToolbar->setEnabled(QStringLiteral("PreviousPage"), backward);
    MainToolbar->setEnabled(QStringLiteral("FirstPage"), backward);
    MainToolbar->setEnabled(QStringLiteral("NextPage"), forward);
    MainToolbar->setEnabled(QStringLiteral("LastPage"), forward);
}

void ViewerControl::ToggleGoToPage() {
    ViewerModuleState& g = module();
    g.gGotoPage = ctlKTImgEdit1->pageIndex();
    g.gGotoPageCount = ctlKTImgEdit1->pageCount();
    const int offset = ctlKTImgEdit1->hScrollVisible() ? kGotoOffsetWithScrollBar : kGotoOffset;
    const int top = OcrToolbar->widget()->y();
    if (OcrToolbar->value(QStringLiteral("GoToPage")) == 0) {
        fraGoto->move(fraGoto->x(), top + offset);
        fraGoto->hide();
    } else {
        vsPages->setMaximum(g.gGotoPageCount);
        vsPages->setValue(g.gGotoPage + 1);
        fraGoto->show();
        fraGoto->raise();
        fraGoto->move(fraGoto->x(), top - offset);
    }
    tboxPageNumber->setMaxLength(kMaxPageDigits);
    tboxPageNumber->setText(QString::number(g.gGotoPage + 1));
}

bool ViewerControl::tboxPageNumber_KeyPress(int& keyAscii) {
    const bool digit = keyAscii >= '0' && keyAscii <= '9';
    if (digit || keyAscii == kBackspace)
        return true;
    keyAscii = 0;
    return false;
}

void ViewerControl::tboxPageNumber_MouseDown(int button) {
    if (button == 2)
        QGuiApplication::clipboard()->clear();
}

void ViewerControl::vsPages_Change() {
    tboxPageNumber->setText(QString::number(vsPages->value()));
    tboxPageNumber->setSelection(0, static_cast<int>(tboxPageNumber->text().size()));
}

void ViewerControl::btnFind_Click() {
    ViewerModuleState& g = module();
    ImageEditor& editor = *ctlKTImgEdit1;
    const QString text = tboxPageNumber->text();
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    if (!text.isEmpty() && ok && v > 0 && v <= g.gGotoPageCount) {
        g.gGotoPage = static_cast<qint32>(v);
        editor.setPageIndex(static_cast<int>(v - 1));
        vsPages->setValue(static_cast<int>(v));
        QString path = editor.imagePath();
        LoadPage(path, QStringLiteral("OpenImage"), toInt16(qint64{editor.pageIndex()}));
        if (editor.imagePath().isEmpty()) {
            editor.clearImage();
            editor.syncView();
            OcrToolbar->setValue(QStringLiteral("GoToPage"), 0);
            OcrToolbar->setEnabled(QStringLiteral("GoToPage"), false);
            ParkGoToPage();
            SetToolbarState(false, true);
            return;
        }
        const int count = editor.pageCount();
        StatusBar->setText(QStringLiteral("PageNumber"),
                           QString::number(editor.pageIndex() + 1) + QStringLiteral(" of ") +
                               QString::number(count == 0 ? 1 : count));
        editor.refresh();
        editor.updateLayout();
        return;
    }
    tboxPageNumber->setFocus();
    tboxPageNumber->setText(QString::number(g.gGotoPageCount));
    tboxPageNumber->setSelection(0, static_cast<int>(tboxPageNumber->text().size()));
}

}  // namespace ktdv
