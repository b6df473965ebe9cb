#include "components/thumbnails/thumbnailrenderer.h"

#include <QMetaObject>
#include <QThread>

#include "imaging/document.h"
#include "imaging/scaling.h"

namespace ktdv {

namespace {

// Requests handed to the pool beyond one per thread, so a worker never waits on the UI
// thread for its next page; few enough that scrolling re-prioritises almost at once.
constexpr int kExtraInFlight = 2;

}  // namespace

ThumbnailRenderer::ThumbnailRenderer(QObject* parent)
    : QObject(parent), m_liveBatch(std::make_shared<std::atomic<quint64>>(0)) {
    qRegisterMetaType<ktdv::ThumbnailRequest>();
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    m_pool.setObjectName(QStringLiteral("ThumbnailRenderer"));
}

ThumbnailRenderer::~ThumbnailRenderer() {
    // Workers post their results to this object: none may outlive it.
    m_liveBatch->store(~quint64(0));
    m_pool.clear();
    m_pool.waitForDone();
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
    m_pool.clear();  // queued runnables of older batches never start
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
    const quint64 batch = m_batch;
    auto live = m_liveBatch;
    auto document = m_document;
    m_pool.start([this, batch, live, document, request] {
        QImage image;
        QString error;
        bool delivered = false;
        if (live->load() == batch) {
            imaging::DecodedPage decoded = document->decodePage(request.page);
            if (live->load() == batch) {
                if (decoded.ok()) {
                    image = imaging::scaleForDisplay(decoded.image, request.size);
                    if (image.isNull()) {
                        error = tr("The page could not be scaled.");
                    }
                } else {
                    error =
                        decoded.error.isEmpty() ? tr("The page could not be read.") : decoded.error;
                }
                delivered = true;
            }
        }
        QMetaObject::invokeMethod(
            this,
            [this, batch, request, image, error, delivered] {
                taskDone(batch, request, image, error, delivered);
            },
            Qt::QueuedConnection);
    });
}

void ThumbnailRenderer::taskDone(quint64 batch, const ThumbnailRequest& request,
                                 const QImage& image, const QString& error, bool delivered) {
    if (batch != m_batch) {
        return;  // cancelled: its slot was already given back
    }
    --m_inFlight;
    if (delivered) {
        emit rendered(batch, request, image, error);
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
