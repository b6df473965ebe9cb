#pragma once
// A toolbar built from a table of buttons. Buttons are addressed by key, by 1-based
// position (separators and hidden entries counted) and by the named groups the table
// puts them in. UI thread only.

#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>

#include <span>
#include <vector>

class QAction;
class QToolBar;
class QWidget;

namespace ktdv {

enum class ButtonStyle { Button, Check, Separator };

// Groups of buttons whose state changes together; a button may be in several.
enum ButtonGroup : unsigned {
    NoGroup = 0,
    DocumentButtons = 1,    // usable only while a document is shown
    NavigationButtons = 2,  // first, previous, next and last page
    RotateAndFlip = 4,      // changes the shown page; needs the rotate permission
    AnnotationTools = 8,    // the annotation tool buttons
};

struct ButtonEntry {
    const char* key;      // "" for separators and the unnamed entry
    const char* tooltip;  // "" for none
    int image;            // 1-based index into the image list, 0 = none
    ButtonStyle style;
    bool enabled;
    bool visible;
    bool pressed;
    unsigned groups = NoGroup;
};

class Toolbar : public QObject {
    Q_OBJECT
public:
    // The QToolBar is created as a child of parent, with objectName name; each button's
    // action and tool button carry its key as objectName.
    Toolbar(const QString& name, std::span<const ButtonEntry> buttons, QList<QIcon> images,
            QWidget* parent);

    QToolBar* widget() const { return m_bar; }
    int count() const { return static_cast<int>(m_buttons.size()); }

    // Position of the first button with this key (case-sensitive); 0 when there is none.
    int position(const QString& key) const;
    QString key(int pos) const;
    QWidget* buttonWidget(int pos) const;
    QAction* action(int pos) const;

    bool enabled(int pos) const;
    // Enabling a button drops the reason it was off for.
    void setEnabled(int pos, bool on);
    // Why a disabled button is off: its tooltip while it stays off ("" for its own).
    void setReason(int pos, const QString& why);
    bool visible(int pos) const;
    void setVisible(int pos, bool on);
    // Pressed state of a check button: 1 pressed, 0 released.
    int value(int pos) const;
    void setValue(int pos, int v);
    int image(int pos) const;
    void setImage(int pos, int index);

    // The same, by key.
    bool enabled(const QString& k) const { return enabled(position(k)); }
    void setEnabled(const QString& k, bool on) { setEnabled(position(k), on); }
    QString toolTip(const QString& k) const;
    bool visible(const QString& k) const { return visible(position(k)); }
    int value(const QString& k) const { return value(position(k)); }
    void setValue(const QString& k, int v) { setValue(position(k), v); }
    int image(const QString& k) const { return image(position(k)); }

    const QList<QIcon>& images() const { return m_images; }

    // Positions of the buttons in a group, in toolbar order.
    QList<int> positions(ButtonGroup group) const;
    void setGroupEnabled(ButtonGroup group, bool on);

signals:
    // A button was clicked by the user (check buttons have already toggled).
    void buttonClicked(int pos);

private:
    struct Button {
        QString key;
        ButtonStyle style;
        QAction* action;
        int image;
        bool enabled;
        bool visible;
        bool pressed;
        unsigned groups;
        QString toolTip;
        QString reason;
    };
    const Button* at(int pos) const;
    Button* at(int pos);
    void apply(Button& b);

    QToolBar* m_bar;
    QList<QIcon> m_images;
    std::vector<Button> m_buttons;
};

}  // namespace ktdv
