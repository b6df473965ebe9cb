// The annotation pop-up menus and the annotation toolbar's right-button releases, which
// open the "Properties" pop-up over the Rectangle, Highlight and Stamp buttons.
#include <QAction>
#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QToolBar>

#include <functional>

#include "viewer/annotations/annotationunits.h"
#include "viewer/core/errors.h"
#include "viewer/core/toolbar.h"
#include "viewer/core/viewercontrol.h"
#include "platform/promptservice.h"
#include "platform/twips.h"

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

void ViewerControl::connectAnnotationEvents() {
    const auto untrapped = [this](auto f) { return [this, f] { runUntrapped([&] { f(this); }); }; };

    mnuMain = new QMenu(QStringLiteral("Manage Annotation"), this);
    mnuMain->setObjectName(QStringLiteral("mnuMain"));
    mnuDelete = mnuMain->addAction(QStringLiteral("Delete Annotation"));
    mnuDelete->setObjectName(QStringLiteral("mnuDelete"));
    connect(mnuDelete, &QAction::triggered, this,
            untrapped([](ViewerControl* v) { v->mnuDelete_Click(); }));
    // Editing and moving are offered greyed: they carry no action.
    mnuEdit = mnuMain->addAction(QStringLiteral("Edit Annotation"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEdit->setEnabled(false);
    mnuMove = mnuMain->addAction(QStringLiteral("Move Annotation"));
    mnuMove->setObjectName(QStringLiteral("mnuMove"));
    mnuMove->setEnabled(false);

    mnuMainStamp = new QMenu(QStringLiteral("Manage Stamp"), this);
    mnuMainStamp->setObjectName(QStringLiteral("mnuMainStamp"));
    const char* const stamps[] = {"Approved", "Draft", "Received", "Rejected"};
    for (qint16 i = 1; i <= 4; ++i) {
        QAction* item = mnuMainStamp->addAction(QString::fromLatin1(stamps[i - 1]));
        item->setObjectName(QStringLiteral("mnuStamp%1").arg(i));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, untrapped([i](ViewerControl* v) {
                    qint16 index = i;
                    v->mnuStamp_Click(index);
                }));
        mnuStamp[static_cast<std::size_t>(i)] = item;
    }

    mnuMainRect = new QMenu(QStringLiteral("Rectange Selection"), this);
    mnuMainRect->setObjectName(QStringLiteral("mnuMainRect"));
    const char* const kinds[] = {"Filled Rectangle", "Hollow Rectangle"};
    for (qint16 i = 1; i <= 2; ++i) {
        QAction* item = mnuMainRect->addAction(QString::fromLatin1(kinds[i - 1]));
        item->setObjectName(QStringLiteral("mnuRect%1").arg(i));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, untrapped([i](ViewerControl* v) {
                    qint16 index = i;
                    v->mnuRect_Click(index);
                }));
        mnuRect[static_cast<std::size_t>(i)] = item;
    }

    mnuMainProperties = new QMenu(QStringLiteral("MainProperties"), this);
    mnuMainProperties->setObjectName(QStringLiteral("mnuMainProperties"));
    mnuProperties = mnuMainProperties->addAction(QStringLiteral("Properties"));
    mnuProperties->setObjectName(QStringLiteral("mnuProperties"));
    connect(mnuProperties, &QAction::triggered, this,
            untrapped([](ViewerControl* v) { v->mnuProperties_Click(); }));

    new ToolbarReleaseFilter(OcrToolbar->widget(),
                             [this](qint16 button, qint16 shift, float& x, float& y) {
                                 OcrToolbar_MouseUp(button, shift, x, y);
                             });
}

void ViewerControl::OcrToolbar_MouseUp(qint16 button, qint16 shift, float& x, float& y) {
    Q_UNUSED(shift)
    if (button == 1)
        return;
    const qint16 height = toInt16(OcrToolbar->widget()->height());
    struct Edge {
        const char* key;
        qint16 left = 0, right = 0;
    };
    Edge edges[] = {{"Rectangle"}, {"Highlight"}, {"Stamp"}};
    for (Edge& e : edges) {
        const QWidget* w =
            OcrToolbar->buttonWidget(OcrToolbar->position(QString::fromLatin1(e.key)));
        if (!w)
            continue;
        e.left = toInt16(w->x());
        e.right = toInt16(static_cast<qint64>(e.left) + w->width());
    }
    x = static_cast<float>(annotations::pixelX(x));
    y = static_cast<float>(annotations::pixelY(y));
    for (const Edge& e : edges) {
        if (e.left < x && x < e.right && 0 < y && y < height) {
            strPropertiesTool = QString::fromLatin1(e.key);
            m_prompts->popupMenu(mnuMainProperties, QCursor::pos());
            return;
        }
    }
}

}  // namespace ktdv
