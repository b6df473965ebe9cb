#include "widgets/thumbnails/thumbnailrenderer.h"

#include <QMetaObject>
#include <QThread>

#include <utility>

#include "imaging/document.h"
#include "imaging/scaling.h"

namespace ktdv {

namespace {

// Requests handed to the pool beyond one per thread, so a worker never waits on the UI
// thread for its next page; few enough that scrolling re-prioritises almost at once.
constexpr int kExtraInFlight = 2;

}  // namespace

// One finished request, as a worker hands it back.
struct ThumbnailRenderer::Result {
    quint64 batch = 0;
    ThumbnailRequest request;
    QImage image;
    QString error;
    bool delivered = false;  // false when the batch was dropped before the page was done
};

ThumbnailRenderer::ThumbnailRenderer(QObject* parent)
    : QObject(parent), m_liveBatch(std::make_shared<std::atomic<quint64>>(0)) {
    qRegisterMetaType<ktdv::ThumbnailRequest>();
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    m_pool.setObjectName(QStringLiteral("ThumbnailRenderer"));
}

ThumbnailRenderer::~ThumbnailRenderer() {
    // No request of a dying renderer is worth finishing.
    m_liveBatch->store(~quint64(0));
}

quint64 ThumbnailRenderer::start(std::shared_ptr<const imaging::Document> document,
                                 const QVector<ThumbnailRequest>& requests) {
    cancel();
    m_document = std::move(document);
    m_queued = m_document ? requests : QVector<ThumbnailRequest>();
    submitMore();
    if (idle()) {
        const quint64 batch = m_batch;
        QMetaObject::invokeMethod(
            this, [this, batch] { emit batchFinished(batch); }, Qt::QueuedConnection);
    }
    return m_batch;
}

void ThumbnailRenderer::cancel() {
    ++m_batch;
    m_liveBatch->store(m_batch);
    m_work.dropQueued();  // queued requests of older batches never start
    m_queued.clear();
    m_inFlight = 0;  // still-running tasks of older batches no longer count
    m_document.reset();
}

void ThumbnailRenderer::setVisibleCells(int first, int last) {
    m_visibleFirst = first;
    m_visibleLast = last;
}

void ThumbnailRenderer::submitMore() {
    const int limit = m_pool.maxThreadCount() + kExtraInFlight;
    while (m_inFlight < limit && !m_queued.isEmpty()) {
        qsizetype pick = 0;  // reading order unless a cell in view waits
        if (m_visibleFirst >= 0) {
            for (qsizetype i = 0; i < m_queued.size(); ++i) {
                const int index = m_queued[i].index;
                if (index >= m_visibleFirst && index <= m_visibleLast) {
                    pick = i;
                    break;
                }
            }
        }
        const ThumbnailRequest request = m_queued.takeAt(pick);
        submit(request);
    }
}

void ThumbnailRenderer::submit(const ThumbnailRequest& request) {
    ++m_inFlight;
    auto render = [live = m_liveBatch, batch = m_batch, document = m_document, request] {
        Result result{batch, request, QImage(), QString(), false};
        if (live->load() != batch)
            return result;
        const imaging::DecodedPage decoded = document->decodePage(request.page);
        if (live->load() != batch)
            return result;
        if (decoded.ok()) {
            result.image = imaging::scaleForDisplay(decoded.image, request.size);
            if (result.image.isNull())
                result.error = tr("The page could not be scaled.");
        } else {
            result.error =
                decoded.error.isEmpty() ? tr("The page could not be read.") : decoded.error;
        }
        result.delivered = true;
        return result;
    };
    m_work.start(std::move(render), [this](const Result& result) { taskDone(result); });
}

void ThumbnailRenderer::taskDone(const Result& result) {
    const quint64 batch = result.batch;
    if (batch != m_batch) {
        return;  // cancelled: its slot was already given back
    }
    --m_inFlight;
    if (result.delivered) {
        emit rendered(batch, result.request, result.image, result.error);
        if (batch != m_batch) {
            return;  // a receiver started another batch
        }
    }
    submitMore();
    if (idle()) {
        emit batchFinished(batch);
    }
}

}  // namespace ktdv
