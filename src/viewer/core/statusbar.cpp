#include "viewer/core/statusbar.h"

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

void StatusPanels::addPanel(const QString& key, const QString& text, const QString& toolTip) {
    auto* label = new QLabel(text, this);
    label->setObjectName(key);
    label->setToolTip(toolTip);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setIndent(3);
    m_panels.append(label);
    m_widths.append(80);
    place();
}

QLabel* StatusPanels::panel(const QString& key) const {
    for (QLabel* l : m_panels)
        if (l->objectName() == key)
            return l;
    throw ViewerError(kIndexOutOfBounds, QStringLiteral("Index out of bounds"));
}

QString StatusPanels::text(const QString& key) const {
    return panel(key)->text();
}
void StatusPanels::setText(const QString& key, const QString& text) {
    panel(key)->setText(text);
}
QString StatusPanels::toolTip(const QString& key) const {
    return panel(key)->toolTip();
}

int StatusPanels::panelWidth(const QString& key) const {
    return m_widths.at(m_panels.indexOf(panel(key)));
}

void StatusPanels::setPanelWidth(const QString& key, int width) {
    m_widths[m_panels.indexOf(panel(key))] = qMax(0, width);
    place();
}

void StatusPanels::place() {
    int x = 0;
    for (int i = 0; i < m_panels.size(); ++i) {
        m_panels[i]->setGeometry(x, 0, m_widths[i], kHeight);
        x += m_widths[i];
    }
}

}  // namespace ktdv
