#pragma once
// The viewer control: hosts the page view, the thumbnail pane, three toolbars, a status
// bar, the page-range tabs, scroll bars, the splitter and the go-to-page box, and wires
// their events to the objects that each own one concern of the viewer:
//
//   session/     DocumentSession    the loaded document, page loading, closing
//   view/        PageCommands       zoom, rotate and flip, printing of the shown page
//   toolbars/    ToolbarStates      which buttons are usable, pressed or switched
//   navigation/  PageNavigation     page turning and the go-to-page box
//   layout/      PaneLayout         placing the panes, the splitter and the pointer
//   thumbnails/  ThumbnailEvents    thumbnail clicks, page changes and page-range tabs
//   annotations/ AnnotationInteraction  drawing, stamps, styles, deletion of annotations
//   selection/   SelectionZone      the toolbar offered beside a dragged zone
//   conversion/  DocumentConversion the recognition engine and whole-document conversion
//   undo/        UndoRedo           the edit history of the shown document, Undo and Redo
//   find/        TextFind           the find bar, and text selected on the page and copied
//
// The hosted components come from a ComponentFactory. Everything runs on the UI thread.

#include <QString>
#include <QWidget>

#include <memory>

#include "viewer/core/modulestate.h"

namespace ktdv {

class AnnotationInteraction;
class ComponentFactory;
class DocumentConversion;
class DocumentSession;
class MachineValues;
class PageCommands;
class PageNavigation;
class PaneLayout;
class PrinterStatus;
class PromptService;
class SelectionZone;
class SettingsStore;
class TextFind;
class ThumbnailEvents;
class ToolbarStates;
class UndoRedo;
class ViewerWidgets;

class ViewerControl : public QWidget {
    Q_OBJECT
public:
    explicit ViewerControl(std::shared_ptr<ComponentFactory> factory, QWidget* parent = nullptr);
    ~ViewerControl() override;

    // --- Public members seen by the host ---------------------------------------------
    void Refresh();
    void OpenImage(const QString& strImagePath);
    void CloseImage();
    void setUserPermission(qint32 lngUserPermission);

    // --- Toolbar clicks and the page view's mouse (core/toolbarcommands.cpp) ----------
    void MainToolbar_ButtonClick(const QString& key);
    void OcrToolbar_ButtonClick(const QString& key);
    void ctlKTImgEdit1_MouseDown(int& button, int& shift, float& x, float& y);
    void ctlKTImgEdit1_MouseMove(int& button, int& shift, float& x, float& y);
    void ctlKTImgEdit1_MouseUp(int& button, int& shift, float& x, float& y);

    // --- The parts ---------------------------------------------------------------------
    static ViewerModuleState& module() { return moduleState(); }
    const ViewerWidgets& widgets() const { return *m_widgets; }
    PromptService& prompts() const { return *m_prompts; }
    SettingsStore& settings() const { return *m_settings; }
    DocumentSession& session() const { return *m_session; }
    PageCommands& pageCommands() const { return *m_commands; }
    ToolbarStates& toolbars() const { return *m_toolbars; }
    PageNavigation& navigation() const { return *m_navigation; }
    PaneLayout& layout() const { return *m_layout; }
    ThumbnailEvents& thumbnails() const { return *m_thumbnails; }
    AnnotationInteraction& annotations() const { return *m_annotations; }
    SelectionZone& selection() const { return *m_selection; }
    DocumentConversion& conversion() const { return *m_conversion; }
    UndoRedo& undoRedo() const { return *m_undo; }
    TextFind& textFind() const { return *m_find; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectEvents();
    void installShortcuts();
    void Initialise();
    void Terminate();
    // Runs a main toolbar command from the keyboard when its button is usable.
    void runShortcut(const QString& key);

    std::shared_ptr<ComponentFactory> m_factory;
    std::shared_ptr<PromptService> m_prompts;
    std::shared_ptr<SettingsStore> m_settings;
    std::shared_ptr<MachineValues> m_machine;
    std::shared_ptr<PrinterStatus> m_printer;
    std::unique_ptr<ViewerWidgets> m_widgets;
    std::unique_ptr<DocumentSession> m_session;
    std::unique_ptr<PageCommands> m_commands;
    std::unique_ptr<ToolbarStates> m_toolbars;
    std::unique_ptr<PageNavigation> m_navigation;
    std::unique_ptr<PaneLayout> m_layout;
    std::unique_ptr<ThumbnailEvents> m_thumbnails;
    std::unique_ptr<AnnotationInteraction> m_annotations;
    std::unique_ptr<SelectionZone> m_selection;
    std::unique_ptr<DocumentConversion> m_conversion;
    std::unique_ptr<UndoRedo> m_undo;
    std::unique_ptr<TextFind> m_find;
    bool m_terminated = false;
};

}  // namespace ktdv
