#include "viewer/toolbars/toolbarkeys.h"

#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionToolButton>
#include <QToolBar>
#include <QToolButton>

namespace ktdv {

namespace {

// Draws the focused tool button with a frame in the highlight colour, whatever the style
// does with focus: a keyboard user always sees where the focus is.
class FocusFrameStyle final : public QProxyStyle {
public:
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        if (control != CC_ToolButton || !(option->state & State_HasFocus))
            return;
        painter->save();
        QPen pen(option->palette.color(QPalette::Highlight), 2);
        pen.setJoinStyle(Qt::MiterJoin);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(option->rect).adjusted(1, 1, -1, -1));
        painter->restore();
    }
};

}  // namespace

ToolbarKeys::ToolbarKeys(QToolBar* bar) : QObject(bar), m_bar(bar) {
    m_style = new FocusFrameStyle;
    m_style->setParent(this);
    for (QToolButton* button : bar->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
        watch(button);
    // Buttons added later (a host's or a feature's own) are watched as they come.
    bar->installEventFilter(this);
    updateTabStop();
}

void ToolbarKeys::watch(QToolButton* button) {
    button->setStyle(m_style);
    button->installEventFilter(this);
}

QList<QToolButton*> ToolbarKeys::usableButtons() const {
    QList<QToolButton*> list;
    for (QAction* action : m_bar->actions()) {
        auto* button = qobject_cast<QToolButton*>(m_bar->widgetForAction(action));
        if (button && action->isVisible() && action->isEnabled() && !action->isSeparator())
            list.append(button);
    }
    return list;
}

void ToolbarKeys::updateTabStop() {
    const QList<QToolButton*> usable = usableButtons();
    if (!usable.contains(m_current))
        m_current = usable.isEmpty() ? nullptr : usable.first();
    for (QToolButton* button : m_bar->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
        button->setFocusPolicy(button == m_current ? Qt::TabFocus : Qt::NoFocus);
}

bool ToolbarKeys::focusToolbar(QToolBar* bar) {
    auto* keys = bar->findChild<ToolbarKeys*>(QString(), Qt::FindDirectChildrenOnly);
    if (!keys)
        return false;
    keys->updateTabStop();
    if (!keys->m_current)
        return false;
    keys->m_current->setFocus(Qt::TabFocusReason);
    return true;
}

bool ToolbarKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_bar) {
        if (event->type() == QEvent::ChildPolished) {
            auto* added = qobject_cast<QToolButton*>(static_cast<QChildEvent*>(event)->child());
            if (added)
                watch(added);
        } else if (event->type() == QEvent::ActionAdded) {
            QMetaObject::invokeMethod(
                this, [this] { updateTabStop(); }, Qt::QueuedConnection);
        }
        return false;
    }
    // A button being destroyed is no longer a QToolButton while its last events arrive.
    auto* button = qobject_cast<QToolButton*>(watched);
    if (!button)
        return false;
    switch (event->type()) {
        case QEvent::FocusIn:
            m_current = button;
            updateTabStop();
            return false;
        case QEvent::EnabledChange:
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
            // Not while the focused button changes: its own focus is left alone.
            if (!button->hasFocus())
                updateTabStop();
            return false;
        case QEvent::KeyPress:
            break;
        default:
            return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))
        return false;
    const QList<QToolButton*> usable = usableButtons();
    const int at = usable.indexOf(button);
    int to = -1;
    switch (key->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            to = at > 0 ? at - 1 : int(usable.size()) - 1;  // around the end
            break;
        case Qt::Key_Right:
        case Qt::Key_Down:
            to = at + 1 < usable.size() ? at + 1 : 0;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (button->menu())
                button->showMenu();
            else if (key->key() == Qt::Key_Space)
                return false;  // the button presses itself on Space
            else
                button->click();
            return true;
        default:
            return false;
    }
    if (to >= 0 && to < usable.size())
        usable.at(to)->setFocus(Qt::TabFocusReason);
    return true;
}

}  // namespace ktdv
