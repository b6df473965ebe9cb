#pragma once
// The keyboard on a toolbar: the toolbar is one stop in the Tab order (the button last
// focused, or the first usable one), the arrow keys move between its usable buttons (around the
// ends), Space or Enter presses the focused button (a button with a menu opens it), and
// the focused button is framed in the palette's highlight colour. UI thread only.

#include <QObject>

class QStyle;
class QToolBar;
class QToolButton;

namespace ktdv {

class ToolbarKeys final : public QObject {
    Q_OBJECT
public:
    // Watches the toolbar's buttons, those added later too; parented to the toolbar.
    explicit ToolbarKeys(QToolBar* bar);

    // Gives the keyboard focus to the toolbar's current stop; false when no button is usable.
    static bool focusToolbar(QToolBar* bar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QToolButton* button);
    QList<QToolButton*> usableButtons() const;
    // The one button of the toolbar that Tab stops at.
    void updateTabStop();

    QToolBar* m_bar;
    QToolButton* m_current = nullptr;
    QStyle* m_style = nullptr;  // draws the focus frame
};

}  // namespace ktdv
