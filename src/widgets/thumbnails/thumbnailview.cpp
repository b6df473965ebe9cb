#include "widgets/thumbnails/thumbnailview.h"
#include "widgets/thumbnails/thumbnailaccessible.h"

#include <QMoveEvent>
#include <QResizeEvent>
#include <QShowEvent>

#include <algorithm>

#include "imaging/document.h"
#include "widgets/thumbnails/thumbnailrenderer.h"

namespace ktdv {

namespace {

// A finished thumbnail is made again after a resize only when its size is off by more
// than this fraction; meanwhile the old one is drawn scaled.
constexpr double kRerenderTolerance = 0.1;

bool sizeClose(QSize have, QSize want) {
    if (have.isEmpty() || want.isEmpty()) {
        return false;
    }
    const double dw = std::abs(have.width() - want.width()) / double(want.width());
    const double dh = std::abs(have.height() - want.height()) / double(want.height());
    return dw <= kRerenderTolerance && dh <= kRerenderTolerance;
}

bool sameFileState(const imaging::Document& a, const imaging::Document& b) {
    return a.path() == b.path() && a.modified() == b.modified() && a.fileSize() == b.fileSize() &&
           a.pageCount() == b.pageCount() && a.directoryOffsets() == b.directoryOffsets();
}

}  // namespace

ThumbnailView::ThumbnailView(std::shared_ptr<PromptService> prompts, QWidget* parent)
    : QWidget(parent),
      m_prompts(std::move(prompts)),
      m_renderer(std::make_unique<ThumbnailRenderer>()) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setBackgroundRole(QPalette::Mid);
    setAutoFillBackground(true);
    ThumbnailAccessible::install();
    m_layout.setLabelHeight(fontMetrics().height());
    m_layout.setWidth(width());
    connect(m_renderer.get(), &ThumbnailRenderer::rendered, this, &ThumbnailView::onRendered);
    connect(m_renderer.get(), &ThumbnailRenderer::batchFinished, this,
            [this](quint64) { checkFinished(); });
}

ThumbnailView::~ThumbnailView() {
    // Waits for decodes still running; their results are dropped.
    m_renderer.reset();
}

// --- The document and the shown range -------------------------------------------------

void ThumbnailView::loadDocument(const QString& path) {
    m_selected = 0;
    m_viewport.setScrollPosition(1);
    m_store.open(path);
    rebuildRange();
}

void ThumbnailView::clearThumbnails() {
    m_renderer->cancel();
    m_batchFloor = m_renderer->batch();
    m_store.clear();
    m_layout.setPages({});
    m_selected = 0;
    m_pressIndex = -1;
    m_dragging = false;
    m_dropIndex = -1;
    update();
}

void ThumbnailView::reloadThumbnails() {
    if (m_store.documentPath().isEmpty()) {
        return;
    }
    const auto previous = m_store.document();
    const bool haveRange = m_store.count() > 0 && m_store.at(0).page == m_firstPage;
    m_store.open(m_store.documentPath());
    const auto& now = m_store.document();
    if (previous && now && haveRange && sameFileState(*previous, *now)) {
        // The file is as it was: keep what is shown and what is being made.
        return;
    }
    rebuildRange();
}

void ThumbnailView::rebuildRange() {
    m_renderer->cancel();
    m_batchFloor = m_renderer->batch();
    m_store.setRange(m_firstPage, kRangeSize);
    QVector<QSizeF> sizes;
    for (int i = 0; i < m_store.count(); ++i) {
        sizes.append(m_store.document()->page(m_store.at(i).page).physicalSizeInches());
    }
    m_layout.setPages(sizes);
    m_layout.setWidth(width());
    m_selected = std::clamp(m_selected, 0, std::max(0, m_store.count() - 1));
    m_pressIndex = -1;
    m_dragging = false;
    m_dropIndex = -1;
    m_visibleAnnounced = false;
    m_allAnnounced = false;
    requestRendering();
    update();
}

// --- Rendering ------------------------------------------------------------------------

void ThumbnailView::requestRendering() {
    updateVisiblePriority();
    const qreal ratio = devicePixelRatioF();
    QVector<ThumbnailRequest> requests;
    for (int i = 0; i < m_store.count(); ++i) {
        const ThumbnailStore::Entry& thumbnail = m_store.at(i);
        const QSize want = m_layout.imageSize(i) * ratio;
        const bool failed = thumbnail.done && thumbnail.pixmap.isNull();
        if (failed || (thumbnail.done && sizeClose(thumbnail.renderedSize, want))) {
            continue;
        }
        requests.append({i, thumbnail.page, want});
    }
    if (requests.isEmpty()) {
        checkFinished();
        return;
    }
    m_renderer->start(m_store.document(), requests);
}

void ThumbnailView::updateVisiblePriority() {
    const auto [first, last] = m_viewport.visibleThumbnails();
    m_renderer->setVisibleCells(first, last);
}

void ThumbnailView::onRendered(quint64 batch, const ThumbnailRequest& request, const QImage& image,
                               const QString& error) {
    if (batch <= m_batchFloor || !m_store.setResult(request.index, request.page, image,
                                                    request.size, devicePixelRatioF(), error)) {
        return;
    }
    update(m_viewport.cellRect(request.index));
    checkFinished();
}

void ThumbnailView::checkFinished() {
    if (!m_visibleAnnounced && visibleThumbnailsReady()) {
        m_visibleAnnounced = true;
        emit visibleThumbnailsFinished();
    }
    if (!m_allAnnounced && m_store.allReady()) {
        m_allAnnounced = true;
        emit thumbnailsFinished();
    }
}

bool ThumbnailView::visibleThumbnailsReady() const {
    return m_store.readyIn(m_viewport.visibleThumbnails());
}

// --- Scrolling and layout -------------------------------------------------------------

void ThumbnailView::redraw() {
    update();
}

void ThumbnailView::arrange(bool flag) {
    if (!flag) {
        return;
    }
    m_layout.setWidth(width());
    updateVisiblePriority();
    update();
}

void ThumbnailView::setFirstPage(qint32 page) {
    m_firstPage = std::max(0, page);
}

void ThumbnailView::setScrollPosition(qint16 position) {
    m_viewport.setScrollPosition(position);
    updateVisiblePriority();
    update();
}

void ThumbnailView::setViewHeight(float height) {
    m_viewport.setViewHeight(height);
}

void ThumbnailView::setContentScrolledByHost(bool byHost) {
    m_viewport.setScrolledByHost(byHost);
    update();
}

qint16 ThumbnailView::scrollRange() const {
    return static_cast<qint16>(m_viewport.scrollRange());
}

void ThumbnailView::setCurrentPage(int page) {
    // The page shown is the one the page keys and the menu act on.
    const int index = page - m_firstPage;
    if (index >= 0 && index < m_store.count()) {
        m_selected = index;
    }
    m_currentPage = page;
    update();
}

QRect ThumbnailView::pageRect(int page) const {
    return m_viewport.cellRect(page - m_firstPage);
}

void ThumbnailView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (event->size().width() != event->oldSize().width()) {
        m_layout.setWidth(width());
        requestRendering();
    } else {
        updateVisiblePriority();
    }
    m_visibleAnnounced = m_visibleAnnounced && visibleThumbnailsReady();
}

void ThumbnailView::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    updateVisiblePriority();  // a host scrolling by moving the pane
}

void ThumbnailView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateVisiblePriority();
}

}  // namespace ktdv
