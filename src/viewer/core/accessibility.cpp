#include "viewer/core/accessibility.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>

#include "interfaces/imageeditor.h"
#include "interfaces/progressbar.h"
#include "interfaces/thumbnailpane.h"
#include "viewer/core/statusbar.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/toolbars/toolbar.h"
#include "viewer/toolbars/toolbarkeys.h"

namespace ktdv {

namespace {

// Name and description; the description repeats the name when there is nothing to add.
void describe(QWidget* w, const QString& name, const QString& description = QString()) {
    w->setAccessibleName(name);
    w->setAccessibleDescription(description.isEmpty() ? name : description);
}

}  // namespace

ViewerAccess::ViewerAccess(ViewerControl& viewer) : QObject(&viewer), m_viewer(viewer) {
    nameWidgets();
    orderTabs();
    for (const bool backward : {false, true}) {
        auto* shortcut = new QShortcut(
            backward ? QKeySequence(Qt::SHIFT | Qt::Key_F6) : QKeySequence(Qt::Key_F6), &viewer);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this,
                [this, backward] { cycleRegions(backward); });
    }
    connect(viewer.widgets().statusBar, &StatusPanels::textChanged, this,
            [this] { updatePageText(); });
    updatePageText();
}

void ViewerAccess::nameWidgets() {
    const ViewerWidgets& w = m_viewer.widgets();
    describe(&m_viewer, tr("Document viewer"),
             tr("Shows a document's pages; F6 moves between the toolbars, the thumbnails and "
                "the page."));
    describe(w.editor->widget(), tr("No document"),
             tr("The page; in selection mode the arrow keys move a cursor and Enter draws with "
                "the chosen tool."));
    describe(w.fraThumbs, tr("Thumbnails"));
    describe(w.thumbs->widget(), tr("Page thumbnails"),
             tr("The pages of the shown range; Enter shows the selected page, Delete deletes it."));
    // A toolbar's title names it in its menu too.
    const std::pair<Toolbar*, QString> bars[] = {{w.mainToolbar, tr("Main toolbar")},
                                                 {w.ocrToolbar, tr("Annotation toolbar")},
                                                 {w.selectionToolbar, tr("Selection toolbar")}};
    for (const auto& [bar, title] : bars) {
        bar->widget()->setWindowTitle(title);
        describe(bar->widget(), title);
    }
    describe(w.statusBar, tr("Status bar"));
    describe(w.tabPages, tr("Page ranges"), w.tabPages->toolTip());
    describe(w.btnRanges, w.btnRanges->toolTip());
    describe(w.VScroll1, tr("Scroll the thumbnails"));
    describe(w.btnSplitter, tr("Splitter"),
             tr("Divides the thumbnails from the page; drag it to change their widths."));
    describe(w.pBoxDrag, tr("Splitter position"));
    describe(w.fraGoto, w.fraGoto->title());
    describe(w.tboxPageNumber, tr("Page number"), tr("The number of the page to go to."));
    describe(w.vsPages, tr("Choose the page number"));
    describe(w.btnFind, tr("Go"), tr("Shows the page with this number."));
    describe(w.progress->widget(), tr("Progress"));
    nameRest(&m_viewer);
}

// What the children made by Qt itself are called: the parts of scroll areas and tab bars,
// toolbar separators and extension buttons with their menus, menus by their titles. What has
// a name but no description is described by its tooltip or its name.
void ViewerAccess::nameRest(QWidget* root) {
    for (QWidget* child : root->findChildren<QWidget*>()) {
        QWidget* parent = child->parentWidget();
        if (!child->accessibleName().isEmpty()) {
        } else if (auto* menu = qobject_cast<QMenu*>(child)) {
            if (menu->title().isEmpty())  // a toolbar extension's
                menu->setTitle(parent->accessibleName().isEmpty() ? tr("Menu")
                                                                  : parent->accessibleName());
            describe(menu, menu->title().remove(QLatin1Char('&')));
        } else if (auto* bar = qobject_cast<QScrollBar*>(child)) {
            describe(bar, bar->orientation() == Qt::Horizontal ? tr("Horizontal scroll bar")
                                                               : tr("Vertical scroll bar"));
        } else if (qobject_cast<QAbstractScrollArea*>(parent)) {
            describe(child, parent->accessibleName(), parent->accessibleDescription());
        } else if (qobject_cast<QTabBar*>(parent)) {
            describe(child, child->objectName().contains(QLatin1String("Left"))
                                ? tr("Earlier page ranges")
                                : tr("Later page ranges"));
        } else if (qobject_cast<QToolButton*>(child) && qobject_cast<QToolBar*>(parent)) {
            describe(child, tr("More buttons"));  // the toolbar's extension
        } else if (qobject_cast<QToolBar*>(parent)) {
            describe(child, tr("Separator"));
        }
        if (child->accessibleDescription().isEmpty()) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(child);
            child->setAccessibleDescription(child->toolTip().isEmpty() && face
                                                ? face->text(QAccessible::Name)
                                                : child->toolTip());
        }
    }
}

void ViewerAccess::orderTabs() {
    const ViewerWidgets& w = m_viewer.widgets();
    QList<QWidget*> chain;
    for (const Toolbar* bar : {w.mainToolbar, w.ocrToolbar, w.selectionToolbar})
        for (int pos = 1; pos <= bar->count(); ++pos)
            if (QWidget* button = bar->buttonWidget(pos))
                chain.append(button);
    chain << w.tabPages << w.thumbs->widget() << w.editor->widget() << w.tboxPageNumber << w.vsPages
          << w.btnFind;
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain.at(i - 1), chain.at(i));
}

QString ViewerAccess::pageText() const {
    EditorDocument& document = m_viewer.widgets().editor->document();
    if (document.imagePath().isEmpty())
        return tr("No document");
    return tr("Page %1 of %2, %3")
        .arg(document.pageIndex() + 1)
        .arg(qMax(1, document.pageCount()))
        .arg(m_viewer.widgets().statusBar->text(QStringLiteral("ZoomFactor")));
}

void ViewerAccess::updatePageText() {
    QWidget* page = m_viewer.widgets().editor->widget();
    // Assistive technologies hear the name change.
    page->setAccessibleName(pageText());
    page->setAccessibleDescription(m_viewer.widgets().editor->document().imagePath());
}

void ViewerAccess::cycleRegions(bool backward) {
    const ViewerWidgets& w = m_viewer.widgets();
    const QList<QWidget*> regions = {w.mainToolbar->widget(), w.ocrToolbar->widget(),
                                     w.selectionToolbar->widget(), w.thumbs->widget(),
                                     w.editor->widget()};
    const QWidget* focus = m_viewer.focusWidget();
    qsizetype at = -1;
    for (qsizetype i = 0; i < regions.size(); ++i)
        if (focus && (regions.at(i) == focus || regions.at(i)->isAncestorOf(focus)))
            at = i;
    const qsizetype n = regions.size();
    for (qsizetype step = 1; step <= n; ++step) {
        const qsizetype i = at < 0 ? (backward ? n - step : step - 1)
                                   : ((at + (backward ? -step : step)) % n + n) % n;
        QWidget* region = regions.at(i);
        if (!region->isVisible() || !region->isEnabled())
            continue;
        if (auto* bar = qobject_cast<QToolBar*>(region)) {
            if (ToolbarKeys::focusToolbar(bar))
                return;
        } else if (region->focusPolicy() & Qt::TabFocus) {
            region->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
}

}  // namespace ktdv
