#include "viewer/toolbars/toolbar.h"

#include <QAction>
#include <QCoreApplication>
#include <QToolBar>
#include <QWidget>

#include "platform/viewererror.h"
#include "viewer/toolbars/toolbarkeys.h"

namespace ktdv {

namespace {
constexpr int kSubscriptOutOfRange = 9;

// What assistive technologies call a button: its tooltip, or for the entries without one
// (never shown) a name of our own.
QString accessibleText(const ButtonEntry& entry) {
    if (*entry.tooltip)
        return QCoreApplication::translate("ktdv::Toolbar", entry.tooltip);
    static const std::pair<const char*, const char*> kOwn[] = {
        {"Freehand", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Freehand annotation")},
        {"Line", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Line annotation")},
        {"TextFromFile", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Text annotation from a file")},
        {"Note", QT_TRANSLATE_NOOP("ktdv::Toolbar", "Note annotation")},
    };
    for (const auto& [key, text] : kOwn)
        if (qstrcmp(key, entry.key) == 0)
            return QCoreApplication::translate("ktdv::Toolbar", text);
    return QCoreApplication::translate("ktdv::Toolbar", "Unused tool");
}

}  // namespace

Toolbar::Toolbar(const QString& name, std::span<const ButtonEntry> buttons, QList<QIcon> images,
                 QWidget* parent)
    : QObject(parent), m_bar(new QToolBar(parent)), m_images(std::move(images)) {
    m_bar->setObjectName(name);
    m_bar->setMovable(false);
    m_bar->setFloatable(false);
    m_bar->setIconSize(QSize(20, 20));
    m_buttons.reserve(buttons.size());
    for (const ButtonEntry& entry : buttons) {
        Button b{QString::fromLatin1(entry.key),
                 entry.style,
                 nullptr,
                 entry.image,
                 entry.enabled,
                 entry.visible,
                 entry.pressed,
                 entry.groups,
                 QCoreApplication::translate("ktdv::Toolbar", entry.tooltip),
                 QString()};
        if (entry.style == ButtonStyle::Separator) {
            b.action = m_bar->addSeparator();
        } else {
            // The entry without a key is still called something.
            b.action = m_bar->addAction(*entry.key ? b.key : accessibleText(entry));
            b.action->setObjectName(b.key);
            b.action->setCheckable(entry.style == ButtonStyle::Check);
            if (QWidget* w = m_bar->widgetForAction(b.action)) {
                w->setObjectName(b.key);
                w->setAccessibleName(accessibleText(entry));
                w->setAccessibleDescription(accessibleText(entry));
            }
            const int pos = static_cast<int>(m_buttons.size()) + 1;
            connect(b.action, &QAction::triggered, this, [this, pos](bool checked) {
                Button* self = at(pos);
                if (self->style == ButtonStyle::Check)
                    self->pressed = checked;
                emit buttonClicked(pos);
            });
        }
        m_buttons.push_back(b);
        apply(m_buttons.back());
    }
    new ToolbarKeys(m_bar);
}

const Toolbar::Button* Toolbar::at(int pos) const {
    if (pos < 1 || pos > count())
        throw ViewerError(kSubscriptOutOfRange, QCoreApplication::translate(
                                                    "ktdv::ViewerError", "Subscript out of range"));
    return &m_buttons[static_cast<size_t>(pos - 1)];
}

Toolbar::Button* Toolbar::at(int pos) {
    return const_cast<Button*>(static_cast<const Toolbar*>(this)->at(pos));
}

void Toolbar::apply(Button& b) {
    b.action->setVisible(b.visible);
    b.action->setEnabled(b.enabled);
    if (b.style == ButtonStyle::Separator)
        return;
    if (b.style == ButtonStyle::Check && b.action->isChecked() != b.pressed) {
        const QSignalBlocker block(b.action);
        b.action->setChecked(b.pressed);
    }
    b.action->setToolTip(!b.enabled && !b.reason.isEmpty() ? b.reason : b.toolTip);
    b.action->setIcon(b.image >= 1 && b.image <= m_images.size() ? m_images.at(b.image - 1)
                                                                 : QIcon());
}

int Toolbar::position(const QString& k) const {
    for (size_t i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i].style != ButtonStyle::Separator && m_buttons[i].key == k)
            return static_cast<int>(i) + 1;
    return 0;
}

QString Toolbar::key(int pos) const {
    return at(pos)->key;
}
QAction* Toolbar::action(int pos) const {
    return at(pos)->action;
}
QWidget* Toolbar::buttonWidget(int pos) const {
    return m_bar->widgetForAction(at(pos)->action);
}
bool Toolbar::enabled(int pos) const {
    return at(pos)->enabled;
}
bool Toolbar::visible(int pos) const {
    return at(pos)->visible;
}
int Toolbar::value(int pos) const {
    return at(pos)->pressed ? 1 : 0;
}
int Toolbar::image(int pos) const {
    return at(pos)->image;
}

QList<int> Toolbar::positions(ButtonGroup group) const {
    QList<int> list;
    for (size_t i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i].groups & group)
            list.append(static_cast<int>(i) + 1);
    return list;
}

void Toolbar::setGroupEnabled(ButtonGroup group, bool on) {
    for (Button& b : m_buttons) {
        if (b.groups & group) {
            b.enabled = on;
            apply(b);
        }
    }
}

void Toolbar::setEnabled(int pos, bool on) {
    Button* b = at(pos);
    b->enabled = on;
    if (on)
        b->reason.clear();
    apply(*b);
}

void Toolbar::setReason(int pos, const QString& why) {
    Button* b = at(pos);
    b->reason = why;
    apply(*b);
}

QString Toolbar::toolTip(const QString& k) const {
    const Button* b = at(position(k));
    return b->action ? b->action->toolTip() : QString();
}

void Toolbar::setVisible(int pos, bool on) {
    Button* b = at(pos);
    b->visible = on;
    apply(*b);
}

void Toolbar::setValue(int pos, int v) {
    Button* b = at(pos);
    b->pressed = v != 0;
    apply(*b);
}

void Toolbar::setImage(int pos, int index) {
    Button* b = at(pos);
    b->image = index;
    apply(*b);
}

}  // namespace ktdv
