#include "viewer/navigation/pagenavigation.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolBar>

#include "interfaces/imageeditor.h"
#include "viewer/core/errors.h"
#include "viewer/core/statusbar.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/session/documentsession.h"
#include "viewer/toolbars/toolbar.h"
#include "viewer/toolbars/toolbarstates.h"

namespace ktdv {

namespace {
// The box's bottom stays this far above the bottom row (clear of the page's horizontal
// scroll bar when it shows one); at the designed box height of 73 the box's top lies 76 or
// 92 pixels above the row.
constexpr int kGotoLift = 3;
constexpr int kGotoLiftWithScrollBar = 19;
constexpr int kGotoParked = 1400;
constexpr int kMaxPageDigits = 9;
constexpr int kBackspace = 8;
const QString kGoToPage = QStringLiteral("GoToPage");
}  // namespace

PageNavigation::PageNavigation(ViewerControl& viewer) : m_viewer(viewer) {}

void PageNavigation::closeGoToPage() {
    Toolbar& ocr = *m_viewer.widgets().ocrToolbar;
    if (ocr.value(kGoToPage) == 1) {
        m_viewer.widgets().fraGoto->hide();
        ocr.setValue(kGoToPage, 0);
    }
}

void PageNavigation::ParkGoToPage() {
    QGroupBox* box = m_viewer.widgets().fraGoto;
    box->move(box->x(), m_viewer.widgets().ocrToolbar->widget()->y() + kGotoParked);
    box->hide();
}

void PageNavigation::showNoDocument() {
    ImageEditor& editor = *m_viewer.widgets().editor;
    Toolbar& ocr = *m_viewer.widgets().ocrToolbar;
    editor.document().clearImage();
    editor.view().syncView();
    ocr.setValue(kGoToPage, 0);
    ocr.setEnabled(kGoToPage, false);
    ParkGoToPage();
    m_viewer.toolbars().SetToolbarState(false, true);
}

void PageNavigation::NavigateCommand(const QString& key) {
    EditorDocument& document = m_viewer.widgets().editor->document();
    if (!document.imagePath().isEmpty()) {
        closeGoToPage();
        m_viewer.session().leavePage();
        m_viewer.session().setPageModified(false);
        document.setNavigateTo(key);
        m_viewer.session().reloadPage(toInt32(document.navigateTo()));
    } else {
        showNoDocument();
    }
    m_viewer.toolbars().SetNavigationButtons();
}

void PageNavigation::ToggleGoToPage() {
    const ViewerWidgets& w = m_viewer.widgets();
    ViewerModuleState& g = moduleState();
    g.setGotoPage(w.editor->document().pageIndex(), w.editor->document().pageCount());
    const int offset = w.fraGoto->height() +
                       (w.editor->view().hScrollVisible() ? kGotoLiftWithScrollBar : kGotoLift);
    const int top = w.ocrToolbar->widget()->y();
    if (w.ocrToolbar->value(kGoToPage) == 0) {
        w.fraGoto->move(w.fraGoto->x(), top + offset);
        w.fraGoto->hide();
    } else {
        w.vsPages->setMaximum(g.gotoPageCount());
        w.vsPages->setValue(g.gotoPage() + 1);
        w.fraGoto->show();
        w.fraGoto->raise();
        w.fraGoto->move(w.fraGoto->x(), top - offset);
    }
    w.tboxPageNumber->setMaxLength(kMaxPageDigits);
    w.tboxPageNumber->setText(QString::number(g.gotoPage() + 1));
}

bool PageNavigation::tboxPageNumber_KeyPress(int& keyAscii) {
    const bool digit = keyAscii >= '0' && keyAscii <= '9';
    if (digit || keyAscii == kBackspace)
        return true;
    keyAscii = 0;
    return false;
}

void PageNavigation::tboxPageNumber_MouseDown(int button) {
    if (button == 2)
        QGuiApplication::clipboard()->clear();
}

void PageNavigation::vsPages_Change() {
    QLineEdit* box = m_viewer.widgets().tboxPageNumber;
    box->setText(QString::number(m_viewer.widgets().vsPages->value()));
    box->setSelection(0, static_cast<int>(box->text().size()));
}

void PageNavigation::btnFind_Click() {
    ViewerModuleState& g = moduleState();
    const ViewerWidgets& w = m_viewer.widgets();
    ImageEditor& editor = *w.editor;
    EditorDocument& document = editor.document();
    QLineEdit* box = w.tboxPageNumber;
    const QString text = box->text();
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    if (!text.isEmpty() && ok && v > 0 && v <= g.gotoPageCount()) {
        g.setGotoPage(static_cast<qint32>(v));
        m_viewer.session().leavePage();
        document.setPageIndex(static_cast<int>(v - 1));
        w.vsPages->setValue(static_cast<int>(v));
        m_viewer.session().reloadPage(document.pageIndex());
        if (document.imagePath().isEmpty()) {
            showNoDocument();
            return;
        }
        const int count = document.pageCount();
        w.statusBar->setText(QStringLiteral("PageNumber"),
                             QCoreApplication::translate("ktdv::DocumentSession", "%1 of %2")
                                 .arg(document.pageIndex() + 1)
                                 .arg(count == 0 ? 1 : count));
        editor.view().refresh();
        editor.view().updateLayout();
        return;
    }
    box->setFocus();
    box->setText(QString::number(g.gotoPageCount()));
    box->setSelection(0, static_cast<int>(box->text().size()));
}

void PageNavigation::followShownPage(int pageIndex) {
    const ViewerWidgets& w = m_viewer.widgets();
    if (w.fraGoto->isHidden() || pageIndex < 0)
        return;
    ViewerModuleState& g = moduleState();
    g.setGotoPage(pageIndex, w.editor->document().pageCount());
    w.vsPages->setMaximum(g.gotoPageCount());
    w.vsPages->setValue(pageIndex + 1);
    vsPages_Change();
}

}  // namespace ktdv
