#pragma once
// The page view's marks over words of the shown page: kept with the page they belong to,
// drawn translucent over it (the current find and selected text in colours of their own),
// mapped through the view's own turn, flip and zoom. UI thread only.

#include <QTransform>

#include "interfaces/editortextmarks.h"

class QAbstractScrollArea;
class QPainter;

namespace ktdv {

class PageDocument;
class PageViewAnnotations;

class PageTextMarks final : public EditorTextMarks {
public:
    PageTextMarks(QAbstractScrollArea& area, const PageDocument& document,
                  const PageViewAnnotations& mapping);

    void setTextMarks(int pageIndex, const QVector<Mark>& marks) override;
    QVector<Mark> textMarks() const override { return m_marks; }
    QPointF widgetToStoredPage(QPointF widgetPoint) const override;
    QRectF storedPageToWidget(const QRectF& box) const override;
    void bringIntoView(const QRect& box) override;

    // Draws the marks of the shown page on the viewport.
    void paint(QPainter& painter) const;

private:
    bool shown() const;

    QAbstractScrollArea& m_area;
    const PageDocument& m_document;
    const PageViewAnnotations& m_mapping;
    int m_pageIndex = -1;
    QVector<Mark> m_marks;
};

}  // namespace ktdv
