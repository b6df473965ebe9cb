#pragma once
// Boxes drawn over words of the shown page (found text, the current find, selected text),
// and where a point of the widget lies on the page as stored. Boxes are in pixels of the
// page as stored in its file, before the turns and flips the view shows, so they stay on
// their words at every zoom, turn and flip. UI thread only.

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QVector>

namespace ktdv {

class EditorTextMarks {
public:
    enum class MarkKind { Match, CurrentMatch, Selection };
    struct Mark {
        QRect box;
        MarkKind kind = MarkKind::Match;
    };

    virtual ~EditorTextMarks() = default;

    // The marks of page pageIndex (0-based) of the shown document, replacing those given
    // before; drawn while that page is shown.
    virtual void setTextMarks(int pageIndex, const QVector<Mark>& marks) = 0;
    virtual QVector<Mark> textMarks() const = 0;

    // Widget pixels to pixels of the page as stored, and back, as the page is shown now.
    // Without a page: (-1, -1) and an empty rectangle.
    virtual QPointF widgetToStoredPage(QPointF widgetPoint) const = 0;
    virtual QRectF storedPageToWidget(const QRectF& box) const = 0;
    // Scrolls the view so that the box (pixels of the page as stored) is in sight; a box in
    // sight already stays where it is.
    virtual void bringIntoView(const QRect& box) = 0;
};

}  // namespace ktdv
