// The clicks of the main and annotation toolbars (common preamble, dispatch to the concern
// that owns the command, common tail, error report) and the page view's mouse events.
#include <QCursor>

#include "interfaces/imageeditor.h"
#include "platform/promptservice.h"
#include "platform/settingsstore.h"
#include "viewer/annotations/annotationinteraction.h"
#include "viewer/conversion/documentconversion.h"
#include "viewer/core/errors.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/find/textfind.h"
#include "viewer/layout/panelayout.h"
#include "viewer/navigation/pagenavigation.h"
#include "viewer/session/documentsession.h"
#include "viewer/toolbars/toolbar.h"
#include "viewer/toolbars/toolbarstates.h"
#include "viewer/view/pagecommands.h"

namespace ktdv {

namespace {

bool isOneOf(const QString& key, std::initializer_list<const char*> keys) {
    for (const char* k : keys)
        if (key == QLatin1String(k))
            return true;
    return false;
}

}  // namespace

void ViewerControl::MainToolbar_ButtonClick(const QString& key) {
    ImageEditor& editor = *m_widgets->editor;
    EditorDocument& document = editor.document();
    EditorView& view = editor.view();
    Toolbar& main = *m_widgets->mainToolbar;
    Toolbar& ocr = *m_widgets->ocrToolbar;
    ViewerModuleState& g = module();
    const QString select = QStringLiteral("Select");
    const QString scroll = QStringLiteral("Scroll");
    bool reportErrors = true;
    try {
        // Common preamble. Zoom and page turning leave the annotation tool in place.
        bool tiff = !document.imagePath().isEmpty() && m_session->tiff();
        const bool keepTool =
            main.value(scroll) == 0 &&
            isOneOf(key, {"ZoomIn", "ZoomOut", "FitWidth", "FitHeight", "OneToOne", "FirstPage",
                          "PreviousPage", "NextPage", "LastPage"});
        int keptTool = 0;
        for (int pos : ocr.positions(AnnotationTools))
            if (keepTool && ocr.enabled(pos) && ocr.value(pos) == 1)
                keptTool = pos;
        if (ocr.enabled(QStringLiteral("GoToPage")))
            m_navigation->closeGoToPage();
        if (tiff && !keepTool)
            m_toolbars->ReleaseAnnotationTools(QString());
        if (key != scroll) {
            m_toolbars->leaveScrollMode();
            if (!keepTool)
                view.setTool(QStringLiteral("Default"));
        }

        // Dispatch.
        if (key == QLatin1String("Open")) {
            m_navigation->closeGoToPage();
            m_session->leavePage();
            document.setPageIndex(0);
            QString path = QStringLiteral("nopath");
            m_session->LoadPage(path, QStringLiteral("OpenImage"), 0);
            tiff = DocumentSession::isTiffDocument(g.imagePath());
            if (!DocumentSession::isPagedDocument(g.imagePath()))
                m_layout->showPageOnly();
            else if (m_settings->readBool(settings::Thumbs))
                m_layout->showThumbnails(g.imagePath());
        } else if (key == QLatin1String("Print")) {
            // A failed print is not reported.
            reportErrors = false;
            m_commands->PrintCommand();
            reportErrors = true;
        } else if (isOneOf(key, {"ZoomIn", "ZoomOut", "FitWidth", "FitHeight", "OneToOne"})) {
            m_commands->ZoomCommand(key);
        } else if (isOneOf(key, {"Rotate90Left", "Flip", "Rotate90Right"})) {
            m_commands->TurnCommand(key);
        } else if (key == select) {
            if (!document.imagePath().isEmpty()) {
                main.setValue(scroll, 0);
                m_toolbars->ReleaseAnnotationTools(QString());
            }
        } else if (key == scroll) {
            if (!document.imagePath().isEmpty()) {
                main.setValue(select, 0);
                view.setTool(scroll);
                if (tiff)
                    m_toolbars->ReleaseAnnotationTools(QString());
            }
        } else if (isOneOf(key, {"FirstPage", "PreviousPage", "NextPage", "LastPage"})) {
            m_navigation->NavigateCommand(key);
        } else if (key == QLatin1String("ShowImage")) {
            m_settings->writeBool(settings::Thumbs, false);
            m_layout->showPageOnly();
        } else if (key == QLatin1String("ShowBoth")) {
            m_layout->showBoth(m_session->paged() && !document.imagePath().isEmpty());
        } else if (key == QLatin1String("Viewer Settings")) {
            m_commands->SettingsCommand();
        }

        // A page load releases the select tool; the tool kept stays pressed.
        if (keptTool != 0 && ocr.enabled(keptTool))
            ocr.setValue(keptTool, 1);

        // Common tail.
        if (!m_session->pageModified()) {
            if (!document.imagePath().isEmpty() && !m_session->readOnly() && tiff &&
                g.mayAnnotate()) {
                ocr.setEnabled(select, true);
            }
        } else {
            ocr.setValue(select, 0);
            ocr.setEnabled(select, false);
        }
    } catch (...) {
        const ViewerError e = currentError();
        if (reportErrors)
            runUntrapped(
                [&] { m_prompts->message(this, errorReport(tr("MainToolbar Error("), e)); });
    }
}

void ViewerControl::OcrToolbar_ButtonClick(const QString& key) {
    ImageEditor& editor = *m_widgets->editor;
    Toolbar& ocr = *m_widgets->ocrToolbar;
    const int pos = ocr.position(key);
    if (editor.document().busy()) {
        if (pos != 0)
            ocr.setValue(pos, ocr.value(pos) == 1 ? 0 : 1);
        return;
    }
    if (editor.document().imagePath().isEmpty())
        return;
    editor.view().setTool(QStringLiteral("default"));
    if (isOneOf(key, {"Stamp", "Text", "Highlight", "Rectangle", "Select"}))
        m_toolbars->leaveScrollMode();
    if (key == QLatin1String("GoToPage")) {
        m_navigation->ToggleGoToPage();
    } else if (key == QLatin1String("PrintAnnotations")) {
        m_toolbars->TogglePrintAnnotations();
    } else if (key == QLatin1String("OcrToFile")) {
        m_conversion->ConvertDocumentToFile();
    } else if (key == QLatin1String("OcrToClipboard")) {
        m_conversion->ConvertDocumentToClipboard();
    } else if (isOneOf(key, {"Select", "Highlight", "Text"})) {
        m_toolbars->ReleaseAnnotationTools(key);
    } else if (isOneOf(key, {"Rectangle", "Stamp"})) {
        editor.view().setTool(key == QLatin1String("Stamp") ? QStringLiteral("stamp")
                                                            : QStringLiteral("default"));
        m_toolbars->ReleaseAnnotationTools(key);
        if (ocr.value(key) == 1)
            m_annotations->offerStyles(key);
    }
}

void ViewerControl::ctlKTImgEdit1_MouseDown(int& button, int& shift, float& x, float& y) {
    if (m_find->pageMouseDown(button, x, y))
        return;  // on a recognised word: text is selected, no zone
    m_annotations->pageMouseDown(button, shift, x, y);
}

void ViewerControl::ctlKTImgEdit1_MouseMove(int& button, int& shift, float& x, float& y) {
    if (m_widgets->editor->document().busy())
        return;
    m_layout->pageMouseMove(button, x);
    if (m_find->pageMouseMove(button, x, y))
        return;
    m_annotations->pageMouseMove(button, shift, x, y);
}

void ViewerControl::ctlKTImgEdit1_MouseUp(int& button, int& shift, float& x, float& y) {
    if (m_find->pageMouseUp(button))
        return;
    m_annotations->pageMouseUp(button, shift, x, y);
}

}  // namespace ktdv
