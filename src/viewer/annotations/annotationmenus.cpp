// The annotation pop-up menus, the annotation toolbar's right-button releases with their
// "Properties" pop-up, and the "Manage Annotation" pop-up offered when the Select tool
// clicks an annotation, with the confirmed deletion of that annotation.
#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QDialog>
#include <QEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolBar>

#include <functional>
#include <memory>

#include "interfaces/annotationrecord.h"
#include "interfaces/imageeditor.h"
#include "platform/promptservice.h"
#include "platform/twips.h"
#include "viewer/annotations/annotationinteraction.h"
#include "viewer/annotations/annotationunits.h"
#include "viewer/annotations/confirmdeletedialog.h"
#include "viewer/core/errors.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/session/documentsession.h"
#include "viewer/toolbars/toolbar.h"
#include "viewer/undo/undoredo.h"

namespace ktdv {

namespace {

// Reports mouse releases over a toolbar and its buttons in toolbar coordinates (twips).
class ToolbarReleaseFilter final : public QObject {
public:
    using Handler = std::function<void(qint16 button, qint16 shift, float& x, float& y)>;
    ToolbarReleaseFilter(QToolBar* bar, Handler handler)
        : QObject(bar), m_bar(bar), m_handler(std::move(handler)) {
        bar->installEventFilter(this);
        for (QWidget* child : bar->findChildren<QWidget*>())
            child->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonRelease || !watched->isWidgetType())
            return false;
        auto* me = static_cast<QMouseEvent*>(event);
        auto* widget = static_cast<QWidget*>(watched);
        const QPointF at = widget == m_bar
                               ? me->position()
                               : me->position() + QPointF(widget->mapTo(m_bar, QPoint()));
        const qint16 button = me->button() == Qt::LeftButton     ? 1
                              : me->button() == Qt::RightButton  ? 2
                              : me->button() == Qt::MiddleButton ? 4
                                                                 : 0;
        const Qt::KeyboardModifiers m = me->modifiers();
        const qint16 shift =
            static_cast<qint16>((m & Qt::ShiftModifier ? 1 : 0) |
                                (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0));
        float x = static_cast<float>(at.x() * twips::perPixelX());
        float y = static_cast<float>(at.y() * twips::perPixelY());
        runUntrapped([&] { m_handler(button, shift, x, y); });
        // Other buttons' releases end here, so the toolbar does not see them a second time.
        return button != 1;
    }

private:
    QToolBar* m_bar;
    Handler m_handler;
};

}  // namespace

void AnnotationInteraction::connectEvents() {
    ViewerControl* host = &m_viewer;
    const auto untrapped = [this](auto f) { return [this, f] { runUntrapped([&] { f(this); }); }; };
    using Self = AnnotationInteraction;

    m_mainMenu = new QMenu(
        QCoreApplication::translate("ktdv::AnnotationInteraction", "Manage Annotation"), host);
    m_mainMenu->setObjectName(QStringLiteral("mnuMain"));
    QAction* remove = m_mainMenu->addAction(
        QCoreApplication::translate("ktdv::AnnotationInteraction", "Delete Annotation"));
    remove->setObjectName(QStringLiteral("mnuDelete"));
    QObject::connect(remove, &QAction::triggered, host,
                     untrapped([](Self* a) { a->mnuDelete_Click(); }));
    // Editing and moving are offered greyed: they carry no action.
    QAction* edit = m_mainMenu->addAction(
        QCoreApplication::translate("ktdv::AnnotationInteraction", "Edit Annotation"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    edit->setEnabled(false);
    QAction* move = m_mainMenu->addAction(
        QCoreApplication::translate("ktdv::AnnotationInteraction", "Move Annotation"));
    move->setObjectName(QStringLiteral("mnuMove"));
    move->setEnabled(false);
    m_mainMenu->addSeparator();
    m_mainMenu->addAction(m_viewer.undoRedo().undoAction());
    m_mainMenu->addAction(m_viewer.undoRedo().redoAction());

    m_stampMenu =
        new QMenu(QCoreApplication::translate("ktdv::AnnotationInteraction", "Manage Stamp"), host);
    m_stampMenu->setObjectName(QStringLiteral("mnuMainStamp"));
    const char* const stamps[] = {QT_TRANSLATE_NOOP("ktdv::AnnotationInteraction", "Approved"),
                                  QT_TRANSLATE_NOOP("ktdv::AnnotationInteraction", "Draft"),
                                  QT_TRANSLATE_NOOP("ktdv::AnnotationInteraction", "Received"),
                                  QT_TRANSLATE_NOOP("ktdv::AnnotationInteraction", "Rejected")};
    for (qint16 i = 1; i <= 4; ++i) {
        QAction* item = m_stampMenu->addAction(
            QCoreApplication::translate("ktdv::AnnotationInteraction", stamps[i - 1]));
        item->setObjectName(QStringLiteral("mnuStamp%1").arg(i));
        item->setCheckable(true);
        QObject::connect(item, &QAction::triggered, host, untrapped([i](Self* a) {
                             qint16 index = i;
                             a->mnuStamp_Click(index);
                         }));
        m_stamps[static_cast<std::size_t>(i)] = item;
    }

    m_rectMenu = new QMenu(
        QCoreApplication::translate("ktdv::AnnotationInteraction", "Rectange Selection"), host);
    m_rectMenu->setObjectName(QStringLiteral("mnuMainRect"));
    const char* const kinds[] = {
        QT_TRANSLATE_NOOP("ktdv::AnnotationInteraction", "Filled Rectangle"),
        QT_TRANSLATE_NOOP("ktdv::AnnotationInteraction", "Hollow Rectangle")};
    for (qint16 i = 1; i <= 2; ++i) {
        QAction* item = m_rectMenu->addAction(
            QCoreApplication::translate("ktdv::AnnotationInteraction", kinds[i - 1]));
        item->setObjectName(QStringLiteral("mnuRect%1").arg(i));
        item->setCheckable(true);
        QObject::connect(item, &QAction::triggered, host, untrapped([i](Self* a) {
                             qint16 index = i;
                             a->mnuRect_Click(index);
                         }));
        m_rects[static_cast<std::size_t>(i)] = item;
    }

    m_propertiesMenu = new QMenu(QStringLiteral("MainProperties"), host);
    m_propertiesMenu->setObjectName(QStringLiteral("mnuMainProperties"));
    QAction* properties = m_propertiesMenu->addAction(
        QCoreApplication::translate("ktdv::AnnotationInteraction", "Properties"));
    properties->setObjectName(QStringLiteral("mnuProperties"));
    QObject::connect(properties, &QAction::triggered, host,
                     untrapped([](Self* a) { a->mnuProperties_Click(); }));

    new ToolbarReleaseFilter(m_viewer.widgets().ocrToolbar->widget(),
                             [this](qint16 button, qint16 shift, float& x, float& y) {
                                 OcrToolbar_MouseUp(button, shift, x, y);
                             });
}

void AnnotationInteraction::OcrToolbar_MouseUp(qint16 button, qint16 shift, float& x, float& y) {
    Q_UNUSED(shift)
    if (button == 1)
        return;
    const Toolbar& ocr = *m_viewer.widgets().ocrToolbar;
    const qint16 height = toInt16(ocr.widget()->height());
    struct Edge {
        const char* key;
        qint16 left = 0, right = 0;
    };
    Edge edges[] = {{"Rectangle"}, {"Highlight"}, {"Stamp"}};
    for (Edge& e : edges) {
        const QWidget* w = ocr.buttonWidget(ocr.position(QString::fromLatin1(e.key)));
        if (!w)
            continue;
        e.left = toInt16(w->x());
        e.right = toInt16(static_cast<qint64>(e.left) + w->width());
    }
    x = static_cast<float>(annotations::pixelX(x));
    y = static_cast<float>(annotations::pixelY(y));
    for (const Edge& e : edges) {
        if (e.left < x && x < e.right && 0 < y && y < height) {
            m_propertiesTool = QString::fromLatin1(e.key);
            m_viewer.prompts().popupMenu(m_propertiesMenu, QCursor::pos());
            return;
        }
    }
}

void AnnotationInteraction::mnuProperties_Click() {
    EditorAnnotations& notes = m_viewer.widgets().editor->annotations();
    if (m_propertiesTool == QLatin1String("Rectangle"))
        notes.rectangleProperties();
    else if (m_propertiesTool == QLatin1String("Highlight"))
        notes.highlightProperties();
    else if (m_propertiesTool == QLatin1String("Stamp"))
        notes.stampProperties();
}

void AnnotationInteraction::showAnnotationMenu(float& x, float& y) {
    EditorAnnotations& notes = m_viewer.widgets().editor->annotations();
    AnnotationRecord record;
    notes.annotationCommand(QStringLiteral("rangecheck"), record, 0, QString(), 0,
                            annotations::wholeTwips(x), annotations::wholeTwips(y));
    // The hit rectangle decides, not the command's result.
    const std::array<qint32, 4> hit = notes.hitRect();
    if (hit[0] != 0 && hit[2] != 0)
        m_viewer.prompts().popupMenu(m_mainMenu, QCursor::pos());
}

void AnnotationInteraction::mnuDelete_Click() {
    ImageEditor& editor = *m_viewer.widgets().editor;
    ViewerModuleState& g = moduleState();
    // Only the Yes button confirms: a window closed any other way answers No.
    g.setDeleteConfirmed(false);
    {
        std::unique_ptr<QDialog> dialog(annotations::createConfirmDeleteDialog(&m_viewer));
        const auto button = [&dialog](const char* name) {
            return dialog->findChild<QPushButton*>(QString::fromLatin1(name));
        };
        QObject::connect(button("btnYes"), &QPushButton::clicked, dialog.get(),
                         [this] { runUntrapped([this] { btnYes_Click(); }); });
        QObject::connect(button("btnNo"), &QPushButton::clicked, dialog.get(),
                         [this] { runUntrapped([this] { btnNo_Click(); }); });
        m_confirm = dialog.get();
        struct Forget {
            QDialog*& window;
            ~Forget() { window = nullptr; }
        } forget{m_confirm};
        m_viewer.prompts().execDialog(dialog.get());
    }
    if (g.deleteConfirmed()) {
        AnnotationRecord record;
        editor.annotations().annotationCommand(QStringLiteral("remove"), record);
        m_viewer.session().refreshPage();
    }
    editor.pointer().clearRubberBand();
}

void AnnotationInteraction::btnYes_Click() {
    moduleState().setDeleteConfirmed(true);
    if (m_confirm)
        m_confirm->accept();
}

void AnnotationInteraction::btnNo_Click() {
    moduleState().setDeleteConfirmed(false);
    if (m_confirm)
        m_confirm->reject();
}

}  // namespace ktdv
