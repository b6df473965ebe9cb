#pragma once
// A status bar of keyed text panels laid out left to right with widths set by the
// viewer's layout. UI thread only.

#include <QFrame>
#include <QList>
#include <QString>

class QLabel;

namespace ktdv {

class StatusPanels : public QFrame {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget* parent = nullptr);

    // Appends a panel; its label's objectName is key.
    void addPanel(const QString& key, const QString& text, const QString& toolTip);
    int panelCount() const { return static_cast<int>(m_panels.size()); }

    QString text(const QString& key) const;
    void setText(const QString& key, const QString& text);
    QString toolTip(const QString& key) const;
    int panelWidth(const QString& key) const;
    void setPanelWidth(const QString& key, int width);

private:
    QLabel* panel(const QString& key) const;
    void place();

    QList<QLabel*> m_panels;
    QList<int> m_widths;
};

}  // namespace ktdv
