// Pages drawn afresh (PDF): the part of the page on the screen is drawn at the size it is
// shown, so the page is as sharp at 800 % as at fit width. A small part is drawn at once;
// a large one in the background while the page's picture, scaled, stands in for it.
#include "widgets/pageview/pagedocument.h"

#include "imaging/backgroundwork.h"
#include "imaging/document.h"

namespace ktdv {

namespace {

// Parts up to this many pixels are drawn on the UI thread (a page at fit width).
constexpr qint64 kDrawnHerePixels = 2'500'000;

}  // namespace

bool PageDocument::drawsAfresh() const {
    return m_doc && !m_path.isEmpty() && m_doc->format() == imaging::FileFormat::Pdf;
}

std::function<QImage()> PageDocument::drawing(QSize target, const QRect& part) const {
    // The part in the page as stored, at the size the turned target stands for.
    const bool quarter = qFuzzyIsNull(m_turn.m11());
    const QSize stored = quarter ? target.transposed() : target;
    const QTransform toShown = QImage::trueMatrix(m_turn, stored.width(), stored.height());
    const QRect storedPart = toShown.inverted().mapRect(QRectF(part)).toRect();
    const imaging::PageInfo& info = m_doc->page(m_pageIndex);
    const double dpi = info.dpi.width() * stored.width() / qMax(1, info.pixelSize.width());
    const std::shared_ptr<const imaging::Document> doc = m_doc;
    const int index = m_pageIndex;
    const QTransform turn = m_turn;
    return [doc, index, dpi, storedPart, turn] {
        QImage image = doc->renderPage(index, dpi, storedPart).image;
        return turn.isIdentity() || image.isNull() ? image : image.transformed(turn);
    };
}

QImage PageDocument::drawZone(const QRect& zone, double dpi) const {
    if (!drawsAfresh() || m_page.isNull() || zone.isEmpty())
        return {};
    const double scale = dpi / qMax(1.0, m_dpi.width());
    const QRect part(qRound(zone.x() * scale), qRound(zone.y() * scale),
                     qMax(1, qRound(zone.width() * scale)), qMax(1, qRound(zone.height() * scale)));
    QImage image =
        drawing(QSize(qRound(m_page.width() * scale), qRound(m_page.height() * scale)), part)();
    if (!image.isNull()) {
        image.setDotsPerMeterX(qRound(dpi / 0.0254));
        image.setDotsPerMeterY(qRound(dpi / 0.0254));
    }
    return image;
}

QImage PageDocument::drawShown(QSize target, const QRect& part) {
    if (!drawsAfresh() || m_page.isNull() || target.isEmpty() || part.isEmpty())
        return {};
    const Drawn wanted{m_lastKey, target, part, m_turn};
    if (wanted == m_drawnKey)
        return m_drawn;
    const std::function<QImage()> draw = drawing(target, part);
    if (qint64(part.width()) * part.height() <= kDrawnHerePixels) {
        m_drawn = draw();
        m_drawnKey = wanted;
        return m_drawn;
    }
    if (m_drawingKey == wanted && m_drawing)
        return {};
    if (!m_drawing)
        m_drawing = std::make_unique<imaging::BackgroundWork>();
    m_drawing->dropQueued();
    m_drawingKey = wanted;
    m_drawing->start(draw, [this, wanted](QImage image) {
        if (m_drawingKey != wanted)
            return;  // the view moved on meanwhile
        m_drawingKey = {};
        m_drawn = std::move(image);
        m_drawnKey = wanted;
        m_host.pageRedrawn();
    });
    return {};
}

}  // namespace ktdv
