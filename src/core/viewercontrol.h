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

#include <memory>

#include "core/modulestate.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPushButton;
class QScrollBar;
class QTabBar;

namespace ktdv {

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
