#include "viewer/annotations/keyboardcursor.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QWidget>

#include "interfaces/annotationrecord.h"
#include "interfaces/imageeditor.h"
#include "platform/twips.h"
#include "viewer/annotations/annotationinteraction.h"
#include "viewer/core/errors.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/toolbars/toolbarstates.h"

namespace ktdv {

namespace {

constexpr int kStep = 4;      // pixels per arrow key
constexpr int kBigStep = 40;  // with Shift
constexpr int kArm = 12;      // half the cross's width
constexpr int kFrame = 2;     // the focus frame's width

// Lies over the page view, lets the mouse through and draws what the cursor shows.
class CursorOverlay final : public QWidget {
public:
    CursorOverlay(QWidget* page, const KeyboardCursor& cursor) : QWidget(page), m_cursor(cursor) {
        setObjectName(QStringLiteral("keyboardCursor"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(page->rect());
        raise();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        m_cursor.paint(p);
    }

private:
    const KeyboardCursor& m_cursor;
};

}  // namespace

KeyboardCursor::KeyboardCursor(ViewerControl& viewer)
    : QObject(&viewer), m_viewer(viewer), m_page(viewer.widgets().editor->widget()) {
    m_overlay = new CursorOverlay(m_page, *this);
    m_overlay->setAccessibleName(
        QCoreApplication::translate("ktdv::KeyboardCursor", "Keyboard cursor"));
    m_overlay->setAccessibleDescription(QCoreApplication::translate(
        "ktdv::KeyboardCursor",
        "Where Enter draws or clicks on the page; the arrow keys move it."));
    m_page->installEventFilter(this);
}

bool KeyboardCursor::active() const {
    return m_page->hasFocus() && !m_viewer.widgets().editor->document().imagePath().isEmpty() &&
           m_viewer.toolbars().selectionModeOn();
}

bool KeyboardCursor::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_page)
        return false;
    switch (event->type()) {
        case QEvent::Resize:
            m_overlay->setGeometry(m_page->rect());
            break;
        case QEvent::ChildAdded:
            m_overlay->raise();  // stays above what the page view adds
            break;
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            m_overlay->update();
            break;
        case QEvent::KeyPress: {
            bool used = false;
            runUntrapped([&] { used = key(static_cast<QKeyEvent&>(*event)); });
            if (used)
                m_overlay->update();
            return used;
        }
        default:
            break;
    }
    return false;
}

bool KeyboardCursor::key(const QKeyEvent& event) {
    if (!active())
        return false;
    if (!m_page->rect().contains(m_pos))
        m_pos = m_page->rect().center();
    const int step = event.modifiers() & Qt::ShiftModifier ? kBigStep : kStep;
    const ToolbarStates& tools = m_viewer.toolbars();
    switch (event.key()) {
        case Qt::Key_Left:
            move(QPoint(-step, 0));
            return true;
        case Qt::Key_Right:
            move(QPoint(step, 0));
            return true;
        case Qt::Key_Up:
            move(QPoint(0, -step));
            return true;
        case Qt::Key_Down:
            move(QPoint(0, step));
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_shaping) {
                m_shaping = false;
                send(Mouse::Up);
            } else if (tools.toolPressed("Select") || tools.toolPressed("Stamp")) {
                send(Mouse::Down);
                send(Mouse::Up);  // a click
            } else {
                send(Mouse::Down);
                m_shaping = true;
            }
            findAnnotation();
            return true;
        case Qt::Key_Escape:
            if (!m_shaping)
                return false;
            m_shaping = false;
            m_viewer.widgets().editor->pointer().clearRubberBand();
            return true;
        case Qt::Key_Delete:
            if (m_shaping || !tools.toolPressed("Select") || m_hit.isEmpty())
                return false;
            findAnnotation();  // the one the deletion takes
            if (!m_hit.isEmpty())
                m_viewer.annotations().mnuDelete_Click();
            findAnnotation();
            return true;
        default:
            return false;
    }
}

void KeyboardCursor::move(QPoint delta) {
    const QRect area = m_page->rect();
    m_pos = QPoint(qBound(area.left(), m_pos.x() + delta.x(), area.right()),
                   qBound(area.top(), m_pos.y() + delta.y(), area.bottom()));
    if (m_shaping)
        send(Mouse::Move);
    findAnnotation();
}

void KeyboardCursor::send(Mouse which) {
    int button = 1;
    int shift = 0;
    float x = static_cast<float>(m_pos.x() * twips::perPixelX());
    float y = static_cast<float>(m_pos.y() * twips::perPixelY());
    if (which == Mouse::Down)
        m_viewer.ctlKTImgEdit1_MouseDown(button, shift, x, y);
    else if (which == Mouse::Move)
        m_viewer.ctlKTImgEdit1_MouseMove(button, shift, x, y);
    else
        m_viewer.ctlKTImgEdit1_MouseUp(button, shift, x, y);
}

void KeyboardCursor::findAnnotation() {
    m_hit = QRect();
    if (!active() || m_shaping || !m_viewer.toolbars().toolPressed("Select"))
        return;
    EditorAnnotations& notes = m_viewer.widgets().editor->annotations();
    AnnotationRecord record;
    notes.annotationCommand(QStringLiteral("rangecheck"), record, 0, QString(), 0,
                            qRound(m_pos.x() * twips::perPixelX()),
                            qRound(m_pos.y() * twips::perPixelY()));
    const std::array<qint32, 4> hit = notes.hitRect();
    if (hit[0] != 0 && hit[2] != 0)
        m_hit = QRect(QPoint(int(twips::toPixelX(hit[0])), int(twips::toPixelY(hit[1]))),
                      QPoint(int(twips::toPixelX(hit[2])), int(twips::toPixelY(hit[3]))))
                    .normalized();
}

void KeyboardCursor::paint(QPainter& p) const {
    if (!m_page->hasFocus())
        return;
    const QPalette& palette = m_page->palette();
    QPen frame(palette.color(QPalette::Highlight), kFrame);
    frame.setJoinStyle(Qt::MiterJoin);
    p.setPen(frame);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(m_page->rect()).adjusted(1, 1, -1, -1));
    if (!active() || !m_page->rect().contains(m_pos))
        return;
    if (!m_hit.isEmpty()) {
        p.setPen(QPen(palette.color(QPalette::Highlight), 2, Qt::DashLine));
        p.drawRect(m_hit.adjusted(-3, -3, 3, 3));
    }
    // A cross in the highlight colour on a wider one in its text colour: seen on any page.
    const QPoint c = m_pos;
    const QLine lines[] = {QLine(c.x() - kArm, c.y(), c.x() + kArm, c.y()),
                           QLine(c.x(), c.y() - kArm, c.x(), c.y() + kArm)};
    p.setPen(QPen(palette.color(QPalette::HighlightedText), 4));
    p.drawLines(lines, 2);
    p.setPen(QPen(palette.color(QPalette::Highlight), 2));
    p.drawLines(lines, 2);
    if (m_shaping)
        p.drawEllipse(c, kArm / 2, kArm / 2);
}

}  // namespace ktdv
