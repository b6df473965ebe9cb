#include "viewer/core/statusbar.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>

#include "platform/viewererror.h"

namespace ktdv {

namespace {
constexpr int kHeight = 24;
constexpr int kIndexOutOfBounds = 35600;
}  // namespace

StatusPanels::StatusPanels(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::NoFrame);
    resize(200, kHeight);
}

void StatusPanels::addPanel(const QString& key, const QString& text, const QString& toolTip,
                            Fit fit) {
    auto* label = new QLabel(this);
    label->setObjectName(key);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setIndent(3);
    m_panels.append({label, text, toolTip, fit, 80});
    place();
}

StatusPanels::Panel& StatusPanels::panel(const QString& key) {
    return const_cast<Panel&>(static_cast<const StatusPanels*>(this)->panel(key));
}

const StatusPanels::Panel& StatusPanels::panel(const QString& key) const {
    for (const Panel& p : m_panels)
        if (p.label->objectName() == key)
            return p;
    throw ViewerError(kIndexOutOfBounds,
                      QCoreApplication::translate("ktdv::ViewerError", "Index out of bounds"));
}

QString StatusPanels::text(const QString& key) const {
    return panel(key).text;
}
void StatusPanels::setText(const QString& key, const QString& text) {
    Panel& p = panel(key);
    p.text = text;
    display(p);
    emit textChanged(key);
}
QString StatusPanels::toolTip(const QString& key) const {
    return panel(key).label->toolTip();
}

int StatusPanels::panelWidth(const QString& key) const {
    return panel(key).width;
}

void StatusPanels::setPanelWidth(const QString& key, int width) {
    panel(key).width = qMax(0, width);
    place();
}

void StatusPanels::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        place();
}

void StatusPanels::display(Panel& p) {
    // What the label can show: its width less its frame and the indent on either side.
    const int room = qMax(0, p.label->contentsRect().width() - 2 * p.label->indent());
    const Qt::TextElideMode mode = p.fit == Fit::ElidePath ? Qt::ElideMiddle : Qt::ElideRight;
    p.label->setText(p.label->fontMetrics().elidedText(p.text, mode, room));
    p.label->setToolTip(p.fit == Fit::ElidePath && !p.text.isEmpty() ? p.text : p.toolTip);
    // Read whole by assistive technologies, with what the panel is about.
    p.label->setAccessibleName(p.text.isEmpty() ? p.toolTip
                                                : p.toolTip + QStringLiteral(": ") + p.text);
    p.label->setAccessibleDescription(p.toolTip);
}

void StatusPanels::place() {
    int x = 0;
    for (Panel& p : m_panels) {
        p.label->setGeometry(x, 0, p.width, kHeight);
        x += p.width;
        display(p);
    }
}

}  // namespace ktdv
