#include "viewer/view/pagecommands.h"

#include <QCoreApplication>

#include "interfaces/imageeditor.h"
#include "platform/printerstatus.h"
#include "platform/promptservice.h"
#include "platform/settingsstore.h"
#include "viewer/core/errors.h"
#include "viewer/core/statusbar.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/layout/panelayout.h"
#include "viewer/session/documentsession.h"
#include "viewer/toolbars/toolbarstates.h"

namespace ktdv {

namespace {
constexpr int kFitWidthStep = 12;
constexpr int kFitHeightStep = 13;
const QString kPercent = QStringLiteral(" %");
const QString kPanel = QStringLiteral("ZoomFactor");
}  // namespace

PageCommands::PageCommands(ViewerControl& viewer, std::shared_ptr<PrinterStatus> printer)
    : m_viewer(viewer), m_printer(std::move(printer)) {}

int PageCommands::ZoomStepPercent(int step) {
    if (step >= 1 && step <= 5)
        return 15 * step + 10;
    if (step == 6)
        return 100;
    if (step >= 7 && step <= 11)
        return 100 + 25 * (step - 6);
    return 0;
}

void PageCommands::ZoomCommand(const QString& key) {
    ImageEditor& editor = *m_viewer.widgets().editor;
    EditorView& view = editor.view();
    StatusPanels& status = *m_viewer.widgets().statusBar;
    if (key == QLatin1String("ZoomIn") || key == QLatin1String("ZoomOut")) {
        view.setZoomFactor(key == QLatin1String("ZoomIn") ? QStringLiteral("IN")
                                                          : QStringLiteral("OUT"));
        const QString text = view.zoomFactor();
        if (toNumber(text) != 0) {
            view.refresh();
            view.updateLayout();
            view.syncView();
            status.setText(kPanel, text + kPercent);
        }
        return;
    }
    if (editor.document().imagePath().isEmpty())
        return;
    if (key == QLatin1String("FitWidth") || key == QLatin1String("FitHeight")) {
        const bool width = key == QLatin1String("FitWidth");
        if (width)
            view.fitWidth();
        else
            view.fitHeight();
        view.updateLayout();
        view.refresh();
        view.syncView();
        status.setText(kPanel,
                       width ? QCoreApplication::translate("ktdv::PageCommands", "Fit Width")
                             : QCoreApplication::translate("ktdv::PageCommands", "Fit Height"));
    } else if (key == QLatin1String("OneToOne")) {
        view.zoomTo(QStringLiteral("IN"), 100);
        view.refresh();
        view.updateLayout();
        view.syncView();
        status.setText(kPanel, view.zoomFactor() + kPercent);
    }
}

void PageCommands::ApplyDefaultZoom() {
    EditorView& view = m_viewer.widgets().editor->view();
    StatusPanels& status = *m_viewer.widgets().statusBar;
    const qint16 n = m_viewer.settings().readInt16(settings::ZoomStep);
    const int p = ZoomStepPercent(n);
    if (p != 0) {
        view.zoomTo(QStringLiteral("IN"), p);
        status.setText(kPanel, QString::number(p) + kPercent);
    } else if (n == kFitWidthStep) {
        view.fitWidth();
        status.setText(kPanel, QCoreApplication::translate("ktdv::PageCommands", "Fit Width"));
    } else if (n == kFitHeightStep) {
        view.fitHeight();
        status.setText(kPanel, QCoreApplication::translate("ktdv::PageCommands", "Fit Height"));
    }
    view.updateLayout();
    view.refresh();
    view.syncView();
    if (p != 0)
        view.setZoomPercent(p);
}

void PageCommands::TurnCommand(const QString& key) {
    ImageEditor& editor = *m_viewer.widgets().editor;
    EditorDocument& document = editor.document();
    EditorView& view = editor.view();
    if (key == QLatin1String("Flip")) {
        document.flip();
        view.refresh();
    } else {
        if (key == QLatin1String("Rotate90Left"))
            document.rotateLeft();
        else
            document.rotateRight();
        view.refresh();
        view.updateLayout();
        view.syncView();
    }
    m_viewer.session().setPageModified(true);
}

void PageCommands::PrintCommand() {
    EditorDocument& document = m_viewer.widgets().editor->document();
    if (document.imagePath().isEmpty())
        return;
    bool printAnnotations = m_viewer.toolbars().printAnnotations();
    if (document.busy())
        return;
    if (m_printer->status() != QLatin1String("Ready")) {
        // Nothing can be printed: the user is told why rather than left waiting.
        m_viewer.prompts().message(
            &m_viewer,
            QCoreApplication::translate("ktdv::PageCommands", "The document was not printed: ") +
                m_printer->problem() + QLatin1Char('.'));
        return;
    }
    document.printDocument(printAnnotations);
    m_viewer.session().refreshPage();
}

void PageCommands::SettingsCommand() {
    const SettingsStore& store = m_viewer.settings();
    const qint16 zoom = store.readInt16(settings::ZoomStep);
    const bool thumbs = store.readBool(settings::Thumbs);
    ImageEditor& editor = *m_viewer.widgets().editor;
    editor.view().setTool(QStringLiteral("default"));
    editor.view().showSettings();
    if (store.readInt16(settings::ZoomStep) != zoom && !editor.document().imagePath().isEmpty())
        ApplyDefaultZoom();
    if (store.readBool(settings::Thumbs) != thumbs) {
        if (thumbs)
            m_viewer.layout().showPageOnly();
        else
            m_viewer.layout().showBoth(m_viewer.session().paged());
    }
}

}  // namespace ktdv
