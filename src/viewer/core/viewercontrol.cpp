// Construction, start-up, termination, the host's public members and the event wiring of
// the viewer.
#include "viewer/core/viewercontrol.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

#include "interfaces/componentfactory.h"
#include "interfaces/imageeditor.h"
#include "interfaces/thumbnailpane.h"
#include "platform/machinevalues.h"
#include "platform/printerstatus.h"
#include "platform/promptservice.h"
#include "platform/settingsstore.h"
#include "platform/twips.h"
#include "viewer/annotations/annotationinteraction.h"
#include "viewer/annotations/keyboardcursor.h"
#include "viewer/conversion/documentconversion.h"
#include "viewer/core/accessibility.h"
#include "viewer/core/errors.h"
#include "viewer/core/translations.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/find/textfind.h"
#include "viewer/layout/panelayout.h"
#include "viewer/navigation/pagenavigation.h"
#include "viewer/selection/selectionzone.h"
#include "viewer/session/documentsession.h"
#include "viewer/thumbnails/thumbnailevents.h"
#include "viewer/toolbars/toolbar.h"
#include "viewer/toolbars/toolbarstates.h"
#include "viewer/undo/undoredo.h"
#include "viewer/view/pagecommands.h"

namespace ktdv {

namespace {

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
    translations::ensureLoaded();  // before any text is made
    setObjectName(QStringLiteral("ctlKTDocView"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_prompts = m_factory->promptService();
    m_settings = m_factory->settingsStore();
    m_machine = m_factory->machineValues();
    m_printer = m_factory->printerStatus();
    m_widgets = std::make_unique<ViewerWidgets>(*this, *m_factory);
    m_session = std::make_unique<DocumentSession>(*this);
    m_commands = std::make_unique<PageCommands>(*this, m_printer);
    m_toolbars = std::make_unique<ToolbarStates>(*this);
    m_navigation = std::make_unique<PageNavigation>(*this);
    m_layout = std::make_unique<PaneLayout>(*this);
    m_thumbnails = std::make_unique<ThumbnailEvents>(*this);
    m_annotations = std::make_unique<AnnotationInteraction>(*this);
    m_selection = std::make_unique<SelectionZone>(*this);
    m_conversion = std::make_unique<DocumentConversion>(*this);
    m_undo = std::make_unique<UndoRedo>(*this);
    std::unique_ptr<PageTextProvider> pageText;
    runUntrapped([&] { pageText = m_factory->createPageTextProvider(); });
    m_find = std::make_unique<TextFind>(*this, std::move(pageText));
    connectEvents();
    installShortcuts();
    new ViewerAccess(*this);
    new KeyboardCursor(*this);
    Initialise();
}

ViewerControl::~ViewerControl() {
    runUntrapped([this] { Terminate(); });
}

void ViewerControl::connectEvents() {
    const ViewerWidgets& w = *m_widgets;
    connect(w.mainToolbar, &Toolbar::buttonClicked, this,
            [this](int pos) { MainToolbar_ButtonClick(m_widgets->mainToolbar->key(pos)); });
    connect(w.ocrToolbar, &Toolbar::buttonClicked, this, [this](int pos) {
        runUntrapped([&] { OcrToolbar_ButtonClick(m_widgets->ocrToolbar->key(pos)); });
    });
    connect(w.selectionToolbar, &Toolbar::buttonClicked, this, [this](int pos) {
        runUntrapped([&] {
            m_selection->SelectionToolbar_ButtonClick(m_widgets->selectionToolbar->key(pos));
        });
    });
    connect(w.tabPages, &QTabBar::currentChanged, this,
            [this](int) { runUntrapped([this] { m_thumbnails->tabPages_Click(); }); });
    connect(w.btnRanges, &QToolButton::clicked, this,
            [this] { runUntrapped([this] { m_thumbnails->btnRanges_Click(); }); });
    connect(w.VScroll1, &QScrollBar::sliderMoved, this,
            [this](int) { runUntrapped([this] { m_thumbnails->VScroll1_Scroll(); }); });
    connect(w.VScroll1, &QScrollBar::valueChanged, this,
            [this](int) { runUntrapped([this] { m_thumbnails->VScroll1_Change(); }); });
    connect(w.vsPages, &QScrollBar::valueChanged, this,
            [this](int) { runUntrapped([this] { m_navigation->vsPages_Change(); }); });
    connect(w.btnFind, &QPushButton::clicked, this,
            [this] { runUntrapped([this] { m_navigation->btnFind_Click(); }); });
    w.btnSplitter->installEventFilter(this);
    w.tboxPageNumber->installEventFilter(this);
    w.tabPages->installEventFilter(this);
    w.thumbs->widget()->installEventFilter(this);
    QWidget* page = w.editor->widget();
    page->installEventFilter(this);
    for (QWidget* child : page->findChildren<QWidget*>())
        child->installEventFilter(this);

    w.editor->pointer().setMouseHandlers(
        [this](int& b, int& s, float& x, float& y) {
            runUntrapped([&] { ctlKTImgEdit1_MouseDown(b, s, x, y); });
        },
        [this](int& b, int& s, float& x, float& y) {
            runUntrapped([&] { ctlKTImgEdit1_MouseMove(b, s, x, y); });
        },
        [this](int& b, int& s, float& x, float& y) {
            runUntrapped([&] { ctlKTImgEdit1_MouseUp(b, s, x, y); });
        });
    w.thumbs->setHandlers({
        .thumbClick =
            [this](int& i, int& b, int& s, float& x, float& y) {
                runUntrapped([&] { m_thumbnails->ctlKTImgThumbs1_ThumbClick(i, b, s, x, y); });
            },
        .mouseMove =
            [this](int& b, int& s, float& x, float& y) {
                runUntrapped([&] { m_layout->ctlKTImgThumbs1_MouseMove(b, s, x, y); });
            },
        .pageDeleted =
            [this](bool& ok) {
                runUntrapped([&] { m_thumbnails->ctlKTImgThumbs1_PageDeleted(ok); });
            },
        .pageMoved =
            [this](bool& ok) {
                runUntrapped([&] { m_thumbnails->ctlKTImgThumbs1_PageMoved(ok); });
            },
    });
    m_annotations->connectEvents();
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
    const Toolbar& bar = *m_widgets->mainToolbar;
    const int pos = bar.position(key);
    if (pos != 0 && bar.enabled(pos) && bar.visible(pos))
        MainToolbar_ButtonClick(key);
}

void ViewerControl::Initialise() {
    Toolbar& ocr = *m_widgets->ocrToolbar;
    const auto enableConversions = [&ocr](bool on) {
        ocr.setEnabled(QStringLiteral("OcrToFile"), on);
        ocr.setEnabled(QStringLiteral("OcrToClipboard"), on);
    };
    try {
        enableConversions(true);
        if (m_conversion->startEngine(*m_factory, *m_machine) != 0)
            enableConversions(false);
    } catch (...) {
        runUntrapped([&] { enableConversions(false); });
        return;
    }
    runUntrapped([this] { m_toolbars->SetToolbarState(false, false); });
}

void ViewerControl::Terminate() {
    if (m_terminated)
        return;
    m_terminated = true;
    m_widgets->editor->document().releaseImage();
    m_thumbnails->closeLoadingWindow();
}

void ViewerControl::Refresh() {
    m_widgets->editor->view().refresh();
}

void ViewerControl::setUserPermission(qint32 lngUserPermission) {
    module().setUserPermission(lngUserPermission);
}

void ViewerControl::OpenImage(const QString& strImagePath) {
    try {
        const QFileInfo info(strImagePath);
        if (strImagePath.isEmpty() || !info.isFile())
            return;
        ViewerModuleState& g = module();
        m_session->leavePage();
        m_undo->forget();  // opened afresh, also when it is the document shown
        g.setImagePath(strImagePath);
        m_widgets->editor->document().setPageIndex(0);
        m_navigation->closeGoToPage();
        const bool thumbs = m_settings->readBool(settings::Thumbs);
        if (!thumbs) {
            QString path = g.imagePath();
            m_session->LoadPage(path, QStringLiteral("OpenImage"), 0);
        } else {
            // Opened afresh by the layout pass below, also when it is the document shown.
            m_widgets->editor->document().clearImage();
        }
        if (!DocumentSession::isPagedDocument(g.imagePath()))
            m_layout->showPageOnly();
        else if (thumbs)
            m_layout->showThumbnails(g.imagePath());
    } catch (...) {
        const ViewerError e = currentError();
        m_prompts->message(this, errorReport(tr("OpenImage: Error ("), e));
    }
}

void ViewerControl::CloseImage() {
    if (!m_widgets->editor->document().imagePath().isEmpty())
        m_session->close();
    m_undo->forget();
    // Closed stays closed: no layout pass loads it again, its thumbnails and tabs go too.
    module().setImagePath(QString());
    m_widgets->thumbs->loadDocument(QString());
    m_thumbnails->BuildPageRanges();
    m_find->followShownPage();
}

void ViewerControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    QToolBar* bar = m_widgets->mainToolbar->widget();
    bar->setGeometry(0, 0, width(), bar->sizeHint().height());
    runUntrapped([this] { m_layout->ArrangePanes(); });
}

void ViewerControl::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    runUntrapped([this] { m_layout->UserControl_MouseMove(); });
}

bool ViewerControl::eventFilter(QObject* watched, QEvent* event) {
    const ViewerWidgets& w = *m_widgets;
    if (watched == w.btnSplitter) {
        const auto type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseMove ||
            type == QEvent::MouseButtonRelease) {
            auto* me = static_cast<QMouseEvent*>(event);
            const float x = static_cast<float>(me->position().x() * twips::perPixelX());
            const float y = static_cast<float>(me->position().y() * twips::perPixelY());
            const int shift = shiftCode(me->modifiers());
            runUntrapped([&] {
                if (type == QEvent::MouseButtonPress)
                    m_layout->btnSplitter_MouseDown(buttonCode(me->button()), shift, x, y);
                else if (type == QEvent::MouseMove)
                    m_layout->btnSplitter_MouseMove(buttonsCode(me->buttons()), shift, x, y);
                else
                    m_layout->btnSplitter_MouseUp(buttonCode(me->button()), shift, x, y);
            });
        }
        return false;
    }
    if (watched == w.tboxPageNumber) {
        if (event->type() == QEvent::KeyPress) {
            auto* ke = static_cast<QKeyEvent*>(event);
            if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
                runUntrapped([this] { m_navigation->btnFind_Click(); });
                return true;
            }
            const QString text = ke->text();
            if (text.size() != 1 || ke->key() == Qt::Key_Delete)
                return false;  // not a typed character
            int keyAscii = text.at(0).unicode();
            bool keep = true;
            runUntrapped([&] { keep = m_navigation->tboxPageNumber_KeyPress(keyAscii); });
            return !keep;
        }
        if (event->type() == QEvent::MouseButtonPress) {
            auto* me = static_cast<QMouseEvent*>(event);
            runUntrapped([&] { m_navigation->tboxPageNumber_MouseDown(buttonCode(me->button())); });
        }
        return false;
    }
    // A double-click on a recognised word selects it; elsewhere it is a press as before.
    if (event->type() == QEvent::MouseButtonDblClick && watched->isWidgetType() &&
        !qobject_cast<QScrollBar*>(watched) &&
        w.editor->widget()->isAncestorOf(static_cast<QWidget*>(watched))) {
        auto* me = static_cast<QMouseEvent*>(event);
        const QPointF at =
            static_cast<QWidget*>(watched)->mapTo(w.editor->widget(), me->position());
        bool taken = false;
        if (me->button() == Qt::LeftButton)
            runUntrapped([&] { taken = m_find->pageDoubleClick(at); });
        if (taken)
            return true;
    }
    // A range changes by a click on its tab, never by a wheel turned on the way to the page.
    if (watched == w.tabPages)
        return event->type() == QEvent::Wheel;
    if (event->type() == QEvent::Wheel && w.thumbs && watched == w.thumbs->widget()) {
        auto* we = static_cast<QWheelEvent*>(event);
        runUntrapped([&] { m_thumbnails->wheel(we->pixelDelta(), we->angleDelta()); });
        return true;
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
