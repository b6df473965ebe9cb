#include "widgets/pageview/pagetextmarks.h"

#include <QAbstractScrollArea>
#include <QPainter>
#include <QScrollBar>

#include "widgets/pageview/pagedocument.h"
#include "widgets/pageview/pageviewannotations.h"

namespace ktdv {

namespace {

// Room kept around a box scrolled into sight, in widget pixels.
constexpr int kSightMargin = 24;

QColor fillOf(EditorTextMarks::MarkKind kind) {
    switch (kind) {
        case EditorTextMarks::MarkKind::CurrentMatch:
            return {255, 120, 0, 150};
        case EditorTextMarks::MarkKind::Selection:
            return {40, 110, 230, 100};
        case EditorTextMarks::MarkKind::Match:
            break;
    }
    return {255, 215, 0, 120};
}

}  // namespace

PageTextMarks::PageTextMarks(QAbstractScrollArea& area, const PageDocument& document,
                             const PageViewAnnotations& mapping)
    : m_area(area), m_document(document), m_mapping(mapping) {}

void PageTextMarks::setTextMarks(int pageIndex, const QVector<Mark>& marks) {
    if (pageIndex == m_pageIndex && marks.isEmpty() && m_marks.isEmpty())
        return;
    m_pageIndex = pageIndex;
    m_marks = marks;
    m_area.viewport()->update();
}

bool PageTextMarks::shown() const {
    return !m_document.shownPage().isNull() && m_document.pageIndex() == m_pageIndex;
}

QPointF PageTextMarks::widgetToStoredPage(QPointF widgetPoint) const {
    if (m_document.shownPage().isNull())
        return {-1, -1};
    return m_mapping.pageToWidget().inverted().map(widgetPoint);
}

QRectF PageTextMarks::storedPageToWidget(const QRectF& box) const {
    if (m_document.shownPage().isNull())
        return {};
    return m_mapping.pageToWidget().mapRect(box);
}

void PageTextMarks::bringIntoView(const QRect& box) {
    const QRect at = storedPageToWidget(box).toAlignedRect();
    const QRect sight = m_area.viewport()->geometry();
    if (at.isEmpty() || sight.contains(at))
        return;
    // Centred where it fits; its top left corner in sight where it does not.
    const auto shift = [](int low, int high, int sightLow, int sightHigh) {
        if (low >= sightLow && high <= sightHigh)
            return 0;
        if (high - low > sightHigh - sightLow - 2 * kSightMargin)
            return low - sightLow - kSightMargin;
        return (low + high) / 2 - (sightLow + sightHigh) / 2;
    };
    QScrollBar* h = m_area.horizontalScrollBar();
    QScrollBar* v = m_area.verticalScrollBar();
    h->setValue(h->value() + shift(at.left(), at.right(), sight.left(), sight.right()));
    v->setValue(v->value() + shift(at.top(), at.bottom(), sight.top(), sight.bottom()));
    m_area.viewport()->update();
}

void PageTextMarks::paint(QPainter& painter) const {
    if (m_marks.isEmpty() || !shown())
        return;
    const QTransform toViewport =
        m_mapping.pageToWidget() *
        QTransform::fromTranslate(-m_area.viewport()->x(), -m_area.viewport()->y());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const Mark& mark : m_marks) {
        const QRectF r = toViewport.mapRect(QRectF(mark.box));
        painter.fillRect(r, fillOf(mark.kind));
        if (mark.kind == MarkKind::CurrentMatch) {
            painter.setPen(QPen(QColor(200, 70, 0), 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(r.adjusted(0, 0, -1, -1));
        }
    }
    painter.restore();
}

}  // namespace ktdv
