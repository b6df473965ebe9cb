#pragma once
// The viewer control: hosts the page view, the thumbnail pane, three toolbars, a status
// bar, the page-range tabs, scroll bars, the splitter and the go-to-page box, and wires
// their events together. The hosted components come from a ComponentFactory.
//
// The implementation is split by topic: core/ (lifecycle, page loading, layout),
// commands/ (toolbars, zoom, navigation, page ranges, splitter, printing), thumbnails/
// (thumbnail events) and recognition/ (document conversion).
//
// Everything runs on the UI thread. Handlers are public so that tests and tools built
// with the library's sources can drive them directly.

#include <QString>
#include <QWidget>

#include <array>
#include <memory>

#include "viewer/core/modulestate.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QDate;
class QDialog;
class QLocale;
class QPushButton;
class QScrollBar;
class QTabBar;

namespace ktdv {

struct AnnotationRecord;
class ComponentFactory;
class ImageEditor;
class MachineValues;
class PrinterStatus;
class ProgressBar;
class PromptService;
class RecognitionEngine;
class SettingsStore;
class StatusPanels;
class ThumbnailPane;
class Toolbar;

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

    // --- Shared state ----------------------------------------------------------------
    static ViewerModuleState& module() { return moduleState(); }
    // The control's mouse pointer code (0 default, 9 west-east resize, ...).
    qint16 mousePointer() const { return m_mousePointer; }
    void setMousePointer(qint16 code);
    // The application folder handed to the recognition engine at start-up.
    QString engineFolder() const { return m_engineFolder; }

    // Per-control fields.
    bool bPageModified = false;
    bool bOpResult = false;
    bool bTabsRebuilding = false;
    qint32 RangeStart = 0;
    bool SuppressErrorReport = false;

    // --- Hosted components and controls ----------------------------------------------
    std::unique_ptr<ImageEditor> ctlKTImgEdit1;
    std::unique_ptr<ThumbnailPane> ctlKTImgThumbs1;
    std::unique_ptr<ProgressBar> ProgressBar1;
    std::unique_ptr<RecognitionEngine> m_engine;
    Toolbar* MainToolbar = nullptr;
    Toolbar* OcrToolbar = nullptr;
    Toolbar* SelectionToolbar = nullptr;
    StatusPanels* StatusBar = nullptr;
    QTabBar* tabPages = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QPushButton* btnSplitter = nullptr;
    QLabel* pBoxDrag = nullptr;
    QGroupBox* fraGoto = nullptr;
    QLineEdit* tboxPageNumber = nullptr;
    QScrollBar* vsPages = nullptr;
    QPushButton* btnFind = nullptr;
    QWidget* frmLoading = nullptr;  // created on first use
    QLabel* lblLoading = nullptr;
    QMenu* mnuMoveDelete = nullptr;
    QAction* mnuMovePage = nullptr;
    QAction* mnuDeletePage = nullptr;

    PromptService& prompts() const { return *m_prompts; }
    SettingsStore& settings() const { return *m_settings; }

    // --- Page loading and status display (core/pageloading.cpp) ----------------------
    void LoadPage(QString& path, const QString& callerTag, qint16 pageIndex);
    static QString GetExtension(const QString& path);
    bool HasFileAttribute(const QString& letter) const;
    static bool IsTiffExtension(const QString& ext);
    // Last four characters "tiff" or last three "tif"/"fax", any case.
    static bool IsTiffPath(const QString& path);

    // --- Layout (core/layout.cpp) ----------------------------------------------------
    void ArrangePanes();

    // --- Main toolbar and toolbar state (commands/maintoolbar.cpp) -------------------
    void MainToolbar_ButtonClick(const QString& key);
    void SetToolbarState(bool enable, bool excludeNav);

    // --- Zoom (commands/zoom.cpp) ----------------------------------------------------
    void ZoomCommand(const QString& key);
    void ApplyDefaultZoom();
    // Percentage of a default zoom step 1..11; 0 for any other step.
    static int ZoomStepPercent(int step);

    // --- Navigation, go-to-page, page ranges (commands/navigation.cpp, pageranges.cpp) -
    void NavigateCommand(const QString& key);
    void SetNavigationButtons();
    void ToggleGoToPage();
    // Returns false when the character is discarded (keyAscii is then set to 0).
    bool tboxPageNumber_KeyPress(int& keyAscii);
    void tboxPageNumber_MouseDown(int button);
    void vsPages_Change();
    void btnFind_Click();
    void VScroll1_Scroll();
    void VScroll1_Change();
    void ResetPageRanges();
    void BuildPageRanges();
    void tabPages_Click();
    void ParkGoToPage();

    // --- Splitter (commands/splitter.cpp) --------------------------------------------
    void btnSplitter_MouseDown(int button, int shift, float x, float y);
    void btnSplitter_MouseMove(int button, int shift, float x, float y);
    void btnSplitter_MouseUp(int button, int shift, float x, float y);
    void UserControl_MouseMove();
    void ctlKTImgEdit1_MouseMove(int& button, int& shift, float& x, float& y);

    // --- Printing (commands/printing.cpp) --------------------------------------------
    void PrintCommand();

    // --- Annotation toolbar (commands/ocrtoolbar.cpp) --------------------------------
    void OcrToolbar_ButtonClick(const QString& key);
    void ReleaseAnnotationTools(qint16 position);
    void TogglePrintAnnotations();

    // --- Annotation mouse handling, styles and management (annotations/) -------------
    void ctlKTImgEdit1_MouseDown(int& button, int& shift, float& x, float& y);
    void ctlKTImgEdit1_MouseUp(int& button, int& shift, float& x, float& y);
    void OcrToolbar_MouseUp(qint16 button, qint16 shift, float& x, float& y);
    // The drag rectangle in whole twips: left, top, right, bottom.
    struct DragRect {
        qint32 left = 0, top = 0, right = 0, bottom = 0;
    };
    void FinishAnnotation(float& x, float& y);
    DragRect GetDragRect() const;
    void AddTextAnnotation();
    void AddShapeAnnotation(qint16& annotationType, bool& highlight);
    // After a successful "add" (bOpResult): the default zoom, the page's annotations saved,
    // and in any case the page reloaded as stored.
    void SaveAddedAnnotation(AnnotationRecord& record);
    void ClickAnnotation(float& x, float& y);
    // Selection mode: the main toolbar's "Select" is enabled and pressed; scroll mode
    // likewise with "Scroll". toolPressed reads an annotation tool button by key.
    bool selectionModeOn() const;
    bool scrollModeOn() const;
    bool toolPressed(const char* key) const;

    // Stamps, rectangle kinds and the component's style dialogs (annotations/stamps.cpp).
    void mnuStamp_Click(qint16& index);
    void mnuRect_Click(qint16& index);
    void mnuProperties_Click();
    void PlaceStamp(float& x, float& y);
    // The stamp text of a stamp kind on a date, as the locale writes "dd/MMM/yyyy".
    static QString StampText(qint16 stampType, const QDate& date, const QLocale& locale);

    // The annotation pop-up and the delete confirmation (annotations/annotationmenu.cpp).
    void ShowAnnotationMenu(float& x, float& y);
    void mnuDelete_Click();
    void btnYes_Click();
    void btnNo_Click();

    // Annotation colours, read from the settings at each press that starts a drag.
    qint32 lngRectFillColor = 0;
    qint32 lngRectBorderColor = 0;
    qint32 lngHighColor = 0;
    // Key of the tool button last right-clicked ("Rectangle", "Highlight" or "Stamp").
    QString strPropertiesTool;
    // Pop-up menus; mnuStamp and mnuRect are indexed from 1 (index 0 unused).
    QMenu* mnuMain = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuEdit = nullptr;
    QAction* mnuMove = nullptr;
    QMenu* mnuMainStamp = nullptr;
    std::array<QAction*, 5> mnuStamp = {};
    QMenu* mnuMainRect = nullptr;
    std::array<QAction*, 3> mnuRect = {};
    QMenu* mnuMainProperties = nullptr;
    QAction* mnuProperties = nullptr;
    // The delete confirmation while it is shown; a fresh window for each showing.
    QDialog* frmMsgBox = nullptr;

    // --- Selection toolbar (selection/) ------------------------------------------------
    void PlaceSelectionToolbar(float& x, float& y);
    void SelectionToolbar_ButtonClick(const QString& key);

    // --- Thumbnail events (thumbnails/thumbnailevents.cpp) ---------------------------
    void ctlKTImgThumbs1_ThumbClick(int& index, int& button, int& shift, float& x, float& y);
    void ctlKTImgThumbs1_MouseMove(int& button, int& shift, float& x, float& y);
    void ctlKTImgThumbs1_PageDeleted(bool& ok);
    void ctlKTImgThumbs1_PageMoved(bool& ok);
    void RefreshThumbnails();

    // --- Document conversion (recognition/conversion.cpp) ----------------------------
    void ConvertDocumentToFile();
    void ConvertDocumentToClipboard();

    // The recognition engine's progress event.
    void Engine_Progress(int arg);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildGoToPage();
    void connectEvents();
    void installShortcuts();
    void Initialise();
    void Terminate();
    // Runs a main toolbar command from the keyboard when its button is usable.
    void runShortcut(const QString& key);
    void showLoading(const QString& text);
    // Builds the annotation pop-up menus and wires the annotation toolbar's right-button
    // releases (annotations/annotationevents.cpp).
    void connectAnnotationEvents();

    std::shared_ptr<ComponentFactory> m_factory;
    std::shared_ptr<PromptService> m_prompts;
    std::shared_ptr<SettingsStore> m_settings;
    std::shared_ptr<MachineValues> m_machine;
    std::shared_ptr<PrinterStatus> m_printer;
    QString m_engineFolder;
    qint16 m_mousePointer = 0;
    bool m_terminated = false;
};

}  // namespace ktdv
