// Construction, start-up, termination and the host's public members of the viewer.
#include "viewer/core/viewercontrol.h"

#include <QAction>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTabBar>
#include <QToolBar>
#include <QWheelEvent>

#include "interfaces/componentfactory.h"
#include "interfaces/imageeditor.h"
#include "interfaces/progressbar.h"
#include "interfaces/recognitionengine.h"
#include "interfaces/thumbnailpane.h"
#include "viewer/core/errors.h"
#include "viewer/core/statusbar.h"
#include "viewer/core/toolbar.h"
#include "viewer/core/toolbartables.h"
#include "platform/machinevalues.h"
#include "platform/printerstatus.h"
#include "platform/promptservice.h"
#include "platform/settingsstore.h"
#include "platform/twips.h"

namespace ktdv {

namespace {

// Designed geometry, in pixels.
constexpr int kSplitterLeft = 156;  // 2340 twips at 15 twips per pixel
constexpr int kSplitterWidth = 6;   // 90 twips
constexpr int kDragBarWidth = 5;    // 75 twips
constexpr int kGotoWidth = 120;
constexpr int kGotoHeight = 73;

int buttonCode(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton:
            return 1;
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

int buttonsCode(Qt::MouseButtons b) {
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) |
           (b & Qt::MiddleButton ? 4 : 0);
}

int shiftCode(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

}  // namespace

ViewerControl::ViewerControl(std::shared_ptr<ComponentFactory> factory, QWidget* parent)
    : QWidget(parent), m_factory(std::move(factory)) {
    setObjectName(QStringLiteral("ctlKTDocView"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_prompts = m_factory->promptService();
    m_settings = m_factory->settingsStore();
    m_machine = m_factory->machineValues();
    m_printer = m_factory->printerStatus();
    buildControls();
    connectEvents();
    installShortcuts();
    Initialise();
}

ViewerControl::~ViewerControl() {
    runUntrapped([this] { Terminate(); });
}

void ViewerControl::buildControls() {
    ctlKTImgEdit1 = m_factory->createImageEditor(this);
    ctlKTImgEdit1->widget()->setObjectName(QStringLiteral("ctlKTImgEdit1"));
    ctlKTImgThumbs1 = m_factory->createThumbnailPane(this);
    ctlKTImgThumbs1->widget()->setObjectName(QStringLiteral("ctlKTImgThumbs1"));
    ctlKTImgThumbs1->widget()->hide();

    MainToolbar =
        new Toolbar(QStringLiteral("MainToolbar"), mainToolbarButtons(), mainToolbarImages(), this);
    MainToolbar->widget()->setGeometry(0, 0, width(), MainToolbar->widget()->sizeHint().height());
    OcrToolbar =
        new Toolbar(QStringLiteral("OcrToolbar"), ocrToolbarButtons(), ocrToolbarImages(), this);
    OcrToolbar->widget()->resize(OcrToolbar->widget()->sizeHint());
    SelectionToolbar = new Toolbar(QStringLiteral("SelectionToolbar"), selectionToolbarButtons(),
                                   selectionToolbarImages(), this);
    SelectionToolbar->widget()->resize(SelectionToolbar->widget()->sizeHint());
    SelectionToolbar->widget()->hide();

    StatusBar = new StatusPanels(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->addPanel(QStringLiteral("ImagePath"), QStringLiteral("ImagePath"),
                        QStringLiteral("Path to the current document"));
    StatusBar->addPanel(QStringLiteral("ZoomFactor"), QStringLiteral("ZoomFactor"),
                        QStringLiteral("Document zoom factor"));
    StatusBar->addPanel(QStringLiteral("PageNumber"), QStringLiteral("PageNumber"),
                        QStringLiteral("Page number"));
    StatusBar->addPanel(QStringLiteral("FileAttributes"), QStringLiteral("FileAttributes"),
                        QStringLiteral("File attributes"));
    StatusBar->resize(StatusBar->width(), OcrToolbar->widget()->height() + 1);

    tabPages = new QTabBar(this);
    tabPages->setObjectName(QStringLiteral("tabPages"));
    tabPages->setToolTip(QStringLiteral("Page ranges for documents with more than 50 pages."));
    tabPages->setElideMode(Qt::ElideNone);
    tabPages->setUsesScrollButtons(true);
    tabPages->setExpanding(false);
    tabPages->addTab(QStringLiteral("1...50"));
    tabPages->resize(kSplitterLeft, tabPages->sizeHint().height());
    tabPages->hide();

    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setTracking(false);
    VScroll1->setRange(1, 1);
    VScroll1->resize(VScroll1->sizeHint().width(), 100);
    VScroll1->hide();

    btnSplitter = new QPushButton(this);
    btnSplitter->setObjectName(QStringLiteral("btnSplitter"));
    btnSplitter->setFocusPolicy(Qt::NoFocus);
    btnSplitter->setMouseTracking(true);
    btnSplitter->setGeometry(kSplitterLeft, 0, kSplitterWidth, 100);
    btnSplitter->hide();

    pBoxDrag = new QLabel(this);
    pBoxDrag->setObjectName(QStringLiteral("pBoxDrag"));
    pBoxDrag->setAutoFillBackground(true);
    pBoxDrag->setStyleSheet(QStringLiteral("background: #606060;"));
    pBoxDrag->setGeometry(kSplitterLeft, 0, kDragBarWidth, 100);
    pBoxDrag->hide();

    buildGoToPage();

    ProgressBar1 = m_factory->createProgressBar(this);
    ProgressBar1->widget()->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->widget()->hide();

    mnuMoveDelete = new QMenu(QStringLiteral("Manage Pages"), this);
    mnuMoveDelete->setObjectName(QStringLiteral("mnuMoveDelete"));
    mnuMovePage = mnuMoveDelete->addAction(QStringLiteral("Move Page"));
    mnuMovePage->setObjectName(QStringLiteral("mnuMovePage"));
    mnuDeletePage = mnuMoveDelete->addAction(QStringLiteral("Delete Page"));
    mnuDeletePage->setObjectName(QStringLiteral("mnuDeletePage"));

    // The floating controls stay above the page and the thumbnails.
    fraGoto->raise();
    pBoxDrag->raise();
}

void ViewerControl::buildGoToPage() {
    fraGoto = new QGroupBox(QStringLiteral("Go to Page"), this);
    fraGoto->setObjectName(QStringLiteral("fraGoto"));
    fraGoto->setGeometry(1, 0, kGotoWidth, kGotoHeight);
    tboxPageNumber = new QLineEdit(fraGoto);
    tboxPageNumber->setObjectName(QStringLiteral("tboxPageNumber"));
    tboxPageNumber->setContextMenuPolicy(Qt::NoContextMenu);
    tboxPageNumber->setGeometry(8, 20, 68, 22);
    vsPages = new QScrollBar(Qt::Vertical, fraGoto);
    vsPages->setObjectName(QStringLiteral("vsPages"));
    vsPages->setMinimum(1);
    vsPages->setGeometry(80, 18, 16, 48);
    btnFind = new QPushButton(QStringLiteral("&Go"), fraGoto);
    btnFind->setObjectName(QStringLiteral("btnFind"));
    btnFind->setGeometry(8, 45, 68, 24);
    fraGoto->hide();
}

void ViewerControl::connectEvents() {
    connect(MainToolbar, &Toolbar::buttonClicked, this,
            [this](int pos) { MainToolbar_ButtonClick(MainToolbar->key(pos)); });
    connect(OcrToolbar, &Toolbar::buttonClicked, this, [this](int pos) {
        runUntrapped([&] { OcrToolbar_ButtonClick(OcrToolbar->key(pos)); });
    });
    connect(SelectionToolbar, &Toolbar::buttonClicked, this, [this](int pos) {
        runUntrapped([&] { SelectionToolbar_ButtonClick(SelectionToolbar->key(pos)); });
    });
    connect(tabPages, &QTabBar::currentChanged, this,
            [this](int) { runUntrapped([this] { tabPages_Click(); }); });
    connect(VScroll1, &QScrollBar::sliderMoved, this,
            [this](int) { runUntrapped([this] { VScroll1_Scroll(); }); });
    connect(VScroll1, &QScrollBar::valueChanged, this,
            [this](int) { runUntrapped([this] { VScroll1_Change(); }); });
    connect(vsPages, &QScrollBar::valueChanged, this,
            [this](int) { runUntrapped([this] { vsPages_Change(); }); });
    connect(btnFind, &QPushButton::clicked, this,
            [this] { runUntrapped([this] { btnFind_Click(); }); });
    btnSplitter->installEventFilter(this);
    tboxPageNumber->installEventFilter(this);
    QWidget* page = ctlKTImgEdit1->widget();
    page->installEventFilter(this);
    for (QWidget* child : page->findChildren<QWidget*>())
        child->installEventFilter(this);

    ctlKTImgEdit1->onMouseDown = [this](int& b, int& s, float& x, float& y) {
        runUntrapped([&] { ctlKTImgEdit1_MouseDown(b, s, x, y); });
    };
    ctlKTImgEdit1->onMouseMove = [this](int& b, int& s, float& x, float& y) {
        runUntrapped([&] { ctlKTImgEdit1_MouseMove(b, s, x, y); });
    };
    ctlKTImgEdit1->onMouseUp = [this](int& b, int& s, float& x, float& y) {
        runUntrapped([&] { ctlKTImgEdit1_MouseUp(b, s, x, y); });
    };
    ctlKTImgThumbs1->onThumbClick = [this](int& i, int& b, int& s, float& x, float& y) {
        runUntrapped([&] { ctlKTImgThumbs1_ThumbClick(i, b, s, x, y); });
    };
    ctlKTImgThumbs1->onMouseMove = [this](int& b, int& s, float& x, float& y) {
        runUntrapped([&] { ctlKTImgThumbs1_MouseMove(b, s, x, y); });
    };
    ctlKTImgThumbs1->onPageDeleted = [this](bool& ok) {
        runUntrapped([&] { ctlKTImgThumbs1_PageDeleted(ok); });
    };
    ctlKTImgThumbs1->onPageMoved = [this](bool& ok) {
        runUntrapped([&] { ctlKTImgThumbs1_PageMoved(ok); });
    };
    connectAnnotationEvents();
}

void ViewerControl::installShortcuts() {
    const std::pair<QKeySequence, const char*> keys[] = {
        {QKeySequence(Qt::Key_PageUp), "PreviousPage"},
        {QKeySequence(Qt::Key_PageDown), "NextPage"},
        {QKeySequence(Qt::Key_Home), "FirstPage"},
        {QKeySequence(Qt::Key_End), "LastPage"},
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), "ZoomIn"},
        {QKeySequence(Qt::CTRL | Qt::Key_Equal), "ZoomIn"},
        {QKeySequence(Qt::CTRL | Qt::Key_Minus), "ZoomOut"},
        {QKeySequence(Qt::CTRL | Qt::Key_0), "OneToOne"},
    };
    for (const auto& [sequence, key] : keys) {
        auto* shortcut = new QShortcut(sequence, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        const QString k = QString::fromLatin1(key);
        connect(shortcut, &QShortcut::activated, this,
                [this, k] { runUntrapped([&] { runShortcut(k); }); });
    }
}

void ViewerControl::runShortcut(const QString& key) {
    const int pos = MainToolbar->position(key);
    if (pos != 0 && MainToolbar->enabled(pos) && MainToolbar->visible(pos))
        MainToolbar_ButtonClick(key);
}

void ViewerControl::Initialise() {
    try {
        OcrToolbar->setEnabled(QStringLiteral("OcrToFile"), true);
        OcrToolbar->setEnabled(QStringLiteral("OcrToClipboard"), true);

        m_engine = m_factory->createRecognitionEngine();
        if (!m_engine)
            throw ViewerError(429, QStringLiteral("Cannot create the component object"));
        m_engine->onProgress = [this](int arg) { runUntrapped([&] { Engine_Progress(arg); }); };

        const QString sep = m_machine->separator();
        QString folder = m_machine->appPath(QStringLiteral("Brackwater"));
        if (folder == QLatin1String("ERROR"))
            folder = m_machine->appPath(QStringLiteral("Selvagard"));
        const auto hasDoZed = [&sep](const QString& f) {
            return QFileInfo::exists(f + sep + QStringLiteral("doZed"));
        };
        if (folder == QLatin1String("ERROR") || !hasDoZed(folder)) {
            for (const QString& fallback : m_machine->fallbackFolders()) {
                if (hasDoZed(fallback)) {
                    folder = fallback;
                    break;
                }
            }
        }
        if (!folder.trimmed().endsWith(sep))
            folder += sep;
        m_engineFolder = folder;

        if (m_engine->initialise(folder) != 0) {
            OcrToolbar->setEnabled(QStringLiteral("OcrToFile"), false);
            OcrToolbar->setEnabled(QStringLiteral("OcrToClipboard"), false);
        }
    } catch (...) {
        runUntrapped([this] {
            OcrToolbar->setEnabled(QStringLiteral("OcrToFile"), false);
            OcrToolbar->setEnabled(QStringLiteral("OcrToClipboard"), false);
        });
        return;
    }
    runUntrapped([this] { SetToolbarState(false, false); });
}

void ViewerControl::Terminate() {
    if (m_terminated)
        return;
    m_terminated = true;
    ctlKTImgEdit1->releaseImage();
    if (frmLoading) {
        frmLoading->close();
        delete frmLoading;
        frmLoading = nullptr;
        lblLoading = nullptr;
    }
}

void ViewerControl::Refresh() {
    ctlKTImgEdit1->refresh();
}

void ViewerControl::setUserPermission(qint32 lngUserPermission) {
    module().gUserPermission = lngUserPermission;
}

void ViewerControl::OpenImage(const QString& strImagePath) {
    try {
        const QFileInfo info(strImagePath);
        if (strImagePath.isEmpty() || !info.isFile())
            return;
        ViewerModuleState& g = module();
        g.gImagePath = strImagePath;
        ctlKTImgEdit1->setPageIndex(0);
        if (OcrToolbar->value(QStringLiteral("GoToPage")) == 1) {
            fraGoto->hide();
            OcrToolbar->setValue(QStringLiteral("GoToPage"), 0);
        }
        const QString ext = GetExtension(g.gImagePath);
        if (!m_settings->readBool(settings::Thumbs)) {
            QString path = g.gImagePath;
            LoadPage(path, QStringLiteral("OpenImage"), 0);
        }
        if (IsTiffExtension(ext)) {
            if (m_settings->readBool(settings::Thumbs)) {
                ctlKTImgThumbs1->widget()->show();
                ctlKTImgThumbs1->setFirstPage(0);
                ResetPageRanges();
                ctlKTImgThumbs1->clearThumbnails();
                ctlKTImgThumbs1->redraw();
                ctlKTImgThumbs1->loadDocument(g.gImagePath);
                ArrangePanes();
                RefreshThumbnails();
                btnSplitter->show();
            }
        } else {
            ctlKTImgThumbs1->widget()->hide();
            VScroll1->hide();
            btnSplitter->hide();
            tabPages->hide();
            ArrangePanes();
        }
    } catch (...) {
        const ViewerError e = currentError();
        m_prompts->message(this, errorReport(QStringLiteral("OpenImage: Error ("), e));
    }
}

void ViewerControl::CloseImage() {
    const QString path = ctlKTImgEdit1->imagePath();
    if (path.isEmpty())
        return;
    if (IsTiffPath(path) && m_settings->readDouble(settings::SaveTiffEdits) == 1 &&
        !m_settings->readBool(settings::ReadOnly) && bPageModified) {
        ctlKTImgEdit1->savePageChanges(ctlKTImgEdit1->pageIndex(), ctlKTImgEdit1->pageCount());
    }
    ctlKTImgEdit1->clearImage();
    ctlKTImgEdit1->syncView();
    SetToolbarState(false, false);
    for (const char* key : {"ImagePath", "ZoomFactor", "PageNumber", "FileAttributes"})
        StatusBar->setText(QString::fromLatin1(key), QString());
    ctlKTImgEdit1->resetDocument(0);
    ctlKTImgEdit1->releaseImage();
}

void ViewerControl::setMousePointer(qint16 code) {
    m_mousePointer = code;
    switch (code) {
        case 0:
            unsetCursor();
            break;
        case 1:
            setCursor(Qt::ArrowCursor);
            break;
        case 2:
            setCursor(Qt::CrossCursor);
            break;
        case 3:
            setCursor(Qt::IBeamCursor);
            break;
        case 7:
            setCursor(Qt::SizeVerCursor);
            break;
        case 9:
            setCursor(Qt::SizeHorCursor);
            break;
        case 11:
            setCursor(Qt::WaitCursor);
            break;
        case 12:
            setCursor(Qt::ForbiddenCursor);
            break;
        case 15:
            setCursor(Qt::SizeAllCursor);
            break;
        default:
            setCursor(Qt::ArrowCursor);
            break;
    }
}

void ViewerControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    MainToolbar->widget()->setGeometry(0, 0, width(), MainToolbar->widget()->sizeHint().height());
    runUntrapped([this] { ArrangePanes(); });
}

void ViewerControl::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    runUntrapped([this] { UserControl_MouseMove(); });
}

bool ViewerControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == btnSplitter) {
        const auto type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
            type == QEvent::MouseButtonRelease) {
            auto* me = static_cast<QMouseEvent*>(event);
            const float x = static_cast<float>(me->position().x() * twips::perPixelX());
            const float y = static_cast<float>(me->position().y() * twips::perPixelY());
            const int shift = shiftCode(me->modifiers());
            runUntrapped([&] {
                if (type == QEvent::MouseButtonPress)
                    btnSplitter_MouseDown(buttonCode(me->button()), shift, x, y);
                else if (type == QEvent::MouseMove)
                    btnSplitter_MouseMove(buttonsCode(me->buttons()), shift, x, y);
                else
                    btnSplitter_MouseUp(buttonCode(me->button()), shift, x, y);
            });
        }
        return false;
    }
    if (watched == tboxPageNumber) {
        if (event->type() == QEvent::KeyPress) {
            auto* ke = static_cast<QKeyEvent*>(event);
            const QString text = ke->text();
            if (text.size() != 1 || ke->key() == Qt::Key_Delete)
                return false;  // not a typed character
            int keyAscii = text.at(0).unicode();
            bool keep = true;
            runUntrapped([&] { keep = tboxPageNumber_KeyPress(keyAscii); });
            return !keep;
        }
        if (event->type() == QEvent::MouseButtonPress) {
            auto* me = static_cast<QMouseEvent*>(event);
            runUntrapped([&] { tboxPageNumber_MouseDown(buttonCode(me->button())); });
        }
        return false;
    }
    if (event->type() == QEvent::Wheel) {
        auto* we = static_cast<QWheelEvent*>(event);
        if ((we->modifiers() & Qt::ControlModifier) && we->angleDelta().y() != 0) {
            const QString key =
                we->angleDelta().y() > 0 ? QStringLiteral("ZoomIn") : QStringLiteral("ZoomOut");
            runUntrapped([&] { runShortcut(key); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace ktdv
