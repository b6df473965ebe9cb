#pragma once
// The page view from the keyboard. While the page view has the focus it is framed in the
// palette's highlight colour. In selection mode with a document shown a cursor is drawn
// over the page: the arrow keys move it (Shift: bigger steps), Enter at the cursor does
// what a mouse press does and, once moved, Enter again what the release does. So the
// chosen tool draws its rectangle, highlight or text frame (or a plain zone, which offers
// the selection toolbar), and the Stamp and annotation Select tools click at the cursor.
// With the Select tool the annotation under the cursor is outlined and Delete deletes it
// after the usual confirmation; Escape drops a shape begun. The presses reach the viewer's
// page view mouse handlers in twips, as the mouse's do. UI thread only.

#include <QObject>
#include <QPoint>
#include <QRect>

class QKeyEvent;
class QPainter;
class QWidget;

namespace ktdv {

class ViewerControl;

class KeyboardCursor final : public QObject {
public:
    // Parented to the viewer; watches the page view's keys and focus.
    explicit KeyboardCursor(ViewerControl& viewer);

    // The cursor is shown and takes the arrow keys.
    bool active() const;
    // In the page view's widget pixels.
    QPoint position() const { return m_pos; }
    bool shaping() const { return m_shaping; }

    void paint(QPainter& painter) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Mouse { Down, Move, Up };
    bool key(const QKeyEvent& event);
    void move(QPoint delta);
    void send(Mouse which);
    // The annotation under the cursor, with the Select tool: outlined, and what Delete takes.
    void findAnnotation();

    ViewerControl& m_viewer;
    QWidget* m_page;
    QWidget* m_overlay;
    QPoint m_pos{-1, -1};
    QRect m_hit;  // widget pixels; empty for none
    bool m_shaping = false;
};

}  // namespace ktdv
