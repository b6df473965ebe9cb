#pragma once
// A status bar of keyed text panels laid out left to right with widths set by the
// viewer's layout. A text too long for its panel is shown shortened with an ellipsis (a
// path in its middle, so its start and its file name stay); text() is the whole text.
// UI thread only.

#include <QFrame>
#include <QList>
#include <QString>

class QLabel;

namespace ktdv {

class StatusPanels : public QFrame {
    Q_OBJECT
public:
    // How a panel shows a text too long for it.
    enum class Fit {
        ElideEnd,   // cut at the end
        ElidePath,  // cut in the middle; the whole text is the panel's tooltip
    };

    explicit StatusPanels(QWidget* parent = nullptr);

    // Appends a panel; its label's objectName is key.
    void addPanel(const QString& key, const QString& text, const QString& toolTip,
                  Fit fit = Fit::ElideEnd);
    int panelCount() const { return static_cast<int>(m_panels.size()); }

    QString text(const QString& key) const;
    void setText(const QString& key, const QString& text);
    QString toolTip(const QString& key) const;
    int panelWidth(const QString& key) const;
    void setPanelWidth(const QString& key, int width);

signals:
    void textChanged(const QString& key);

protected:
    void changeEvent(QEvent* event) override;

private:
    struct Panel {
        QLabel* label;
        QString text;     // whole
        QString toolTip;  // as designed
        Fit fit;
        int width;
    };
    Panel& panel(const QString& key);
    const Panel& panel(const QString& key) const;
    void display(Panel& p);
    void place();

    QList<Panel> m_panels;
};

}  // namespace ktdv
