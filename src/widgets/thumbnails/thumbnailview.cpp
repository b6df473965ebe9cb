#include "widgets/thumbnails/thumbnailview.h"

#include <QMoveEvent>
#include <QResizeEvent>
#include <QShowEvent>

#include <algorithm>
#include <cmath>

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
    m_path = path;
    m_selected = 0;
    m_scrollPosition = 1;
    openDocument(path);
    rebuildRange();
}

void ThumbnailView::clearThumbnails() {
    m_renderer->cancel();
    m_batchFloor = m_renderer->batch();
    m_thumbnails.clear();
    m_layout.setPages({});
    m_selected = 0;
    m_pressIndex = -1;
    m_dragging = false;
    m_dropIndex = -1;
    update();
}

void ThumbnailView::reloadThumbnails() {
    if (m_path.isEmpty()) {
        return;
    }
    const auto previous = m_document;
    const bool haveRange = !m_thumbnails.isEmpty() && m_thumbnails.first().page == m_firstPage;
    openDocument(m_path);
    if (previous && m_document && haveRange && sameFileState(*previous, *m_document)) {
        // The file is as it was: keep what is shown and what is being made.
        return;
    }
    rebuildRange();
}

bool ThumbnailView::openDocument(const QString& path) {
    m_document = path.isEmpty() ? nullptr : imaging::Document::open(path);
    return m_document != nullptr;
}

int ThumbnailView::pageCount() const {
    return m_document ? m_document->pageCount() : 0;
}

int ThumbnailView::thumbnailCount() const {
    return static_cast<int>(m_thumbnails.size());
}

void ThumbnailView::rebuildRange() {
    m_renderer->cancel();
    m_batchFloor = m_renderer->batch();
    m_thumbnails.clear();
    QVector<QSizeF> sizes;
    const int count = pageCount();
    const int first = std::max(0, m_firstPage);
    const int last = std::min(count, first + kRangeSize);  // exclusive
    for (int page = first; page < last; ++page) {
        Thumbnail thumbnail;
        thumbnail.page = page;
        m_thumbnails.append(thumbnail);
        sizes.append(m_document->page(page).physicalSizeInches());
    }
    m_layout.setPages(sizes);
    m_layout.setWidth(width());
    m_selected = std::clamp(m_selected, 0, std::max(0, thumbnailCount() - 1));
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
    for (int i = 0; i < thumbnailCount(); ++i) {
        const Thumbnail& thumbnail = m_thumbnails[i];
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
    m_renderer->start(m_document, requests);
}

void ThumbnailView::updateVisiblePriority() {
    const auto [first, last] = visibleThumbnails();
    m_renderer->setVisibleCells(first, last);
}

void ThumbnailView::onRendered(quint64 batch, const ThumbnailRequest& request, const QImage& image,
                               const QString& error) {
    if (batch <= m_batchFloor || request.index < 0 || request.index >= thumbnailCount()) {
        return;
    }
    Thumbnail& thumbnail = m_thumbnails[request.index];
    if (thumbnail.page != request.page) {
        return;
    }
    thumbnail.done = true;
    thumbnail.error = error;
    if (!image.isNull()) {
        thumbnail.pixmap = QPixmap::fromImage(image);
        thumbnail.pixmap.setDevicePixelRatio(devicePixelRatioF());
        thumbnail.renderedSize = request.size;
    }
    const int offset = contentOffset();
    update(m_layout.cellRect(request.index).translated(0, -offset));
    checkFinished();
}

void ThumbnailView::checkFinished() {
    if (!m_visibleAnnounced && visibleThumbnailsReady()) {
        m_visibleAnnounced = true;
        emit visibleThumbnailsFinished();
    }
    if (!m_allAnnounced && allThumbnailsReady()) {
        m_allAnnounced = true;
        emit thumbnailsFinished();
    }
}

bool ThumbnailView::isThumbnailReady(int index) const {
    return index >= 0 && index < thumbnailCount() && m_thumbnails[index].done;
}

QImage ThumbnailView::thumbnailImage(int index) const {
    if (!isThumbnailReady(index)) {
        return {};
    }
    return m_thumbnails[index].pixmap.toImage();
}

bool ThumbnailView::allThumbnailsReady() const {
    return std::all_of(m_thumbnails.cbegin(), m_thumbnails.cend(),
                       [](const Thumbnail& t) { return t.done; });
}

bool ThumbnailView::visibleThumbnailsReady() const {
    const auto [first, last] = visibleThumbnails();
    if (first < 0) {
        return true;
    }
    for (int i = first; i <= last; ++i) {
        if (!m_thumbnails[i].done) {
            return false;
        }
    }
    return true;
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
    m_scrollPosition = std::max<int>(1, position);
    updateVisiblePriority();
    update();
}

void ThumbnailView::setViewHeight(float height) {
    m_viewHeight = std::isfinite(height) ? std::max(0.0f, height) : 0.0f;
}

void ThumbnailView::setContentScrolledByHost(bool byHost) {
    m_scrolledByHost = byHost;
    update();
}

qint16 ThumbnailView::scrollRange() const {
    return static_cast<qint16>(m_layout.scrollRange(viewportHeight()));
}

void ThumbnailView::setCurrentPage(int page) {
    // The page shown is the one the page keys and the menu act on.
    const int index = page - m_firstPage;
    if (index >= 0 && index < thumbnailCount()) {
        m_selected = index;
    }
    m_currentPage = page;
    update();
}

QRect ThumbnailView::pageRect(int page) const {
    return m_layout.cellRect(page - m_firstPage).translated(0, -contentOffset());
}

int ThumbnailView::viewportHeight() const {
    if (m_scrolledByHost && isVisible()) {
        const QRect seen = visibleRegion().boundingRect();
        if (!seen.isEmpty()) {
            return seen.height();
        }
    }
    int viewport = height();
    if (m_viewHeight > 0) {
        viewport = std::min(viewport, static_cast<int>(m_viewHeight));
    }
    return viewport;
}

QRect ThumbnailView::visibleContentRect() const {
    if (m_scrolledByHost && isVisible()) {
        // Content and widget coordinates coincide; the parent and the siblings on top
        // decide what shows.
        const QRect seen = visibleRegion().boundingRect();
        if (!seen.isEmpty()) {
            return seen;
        }
    }
    // Off screen, or scrolled here: the rows from the scroll position down.
    const int viewport = viewportHeight();
    return QRect(0, m_layout.offsetForPosition(m_scrollPosition, viewport), width(), viewport);
}

int ThumbnailView::contentOffset() const {
    return m_scrolledByHost ? 0 : m_layout.offsetForPosition(m_scrollPosition, viewportHeight());
}

QPoint ThumbnailView::toContent(QPoint widgetPos) const {
    return widgetPos + QPoint(0, contentOffset());
}

std::pair<int, int> ThumbnailView::visibleThumbnails() const {
    const QRect seen = visibleContentRect();
    return m_layout.visibleRange(seen.top(), seen.height());
}

QRect ThumbnailView::thumbnailRect(int index) const {
    return m_layout.imageRect(index).translated(0, -contentOffset());
}

QRect ThumbnailView::labelRect(int index) const {
    return m_layout.labelRect(index).translated(0, -contentOffset());
}

QString ThumbnailView::pageLabel(int index) const {
    if (index < 0 || index >= thumbnailCount()) {
        return {};
    }
    return QString::number(m_thumbnails[index].page + 1);
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
