#include "widgets/thumbnails/thumbnailrenderer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QRunnable>
#include <QThread>

#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

#include "imaging/document.h"
#include "imaging/scaling.h"

namespace ktdv {

namespace {

// Requests handed to the pool beyond one per thread, so a worker never waits on the UI
// thread for its next page; few enough that scrolling re-prioritises almost at once.
constexpr int kExtraInFlight = 2;

}  // namespace

// One finished request, as a worker leaves it for the UI thread.
struct ThumbnailRenderer::Result {
    quint64 batch = 0;
    ThumbnailRequest request;
    QImage image;
    QString error;
    bool delivered = false;  // false when the batch was dropped before the page was done
};

// What the UI thread and the workers share.
struct ThumbnailRenderer::Channel {
    std::atomic<quint64> liveBatch{0};  // workers skip requests of older batches
    std::mutex mutex;
    std::vector<Result> results;  // under mutex
};

// One request on a worker. Built on the UI thread and published by handOver() just
// before the pool gets it; run() starts by acquiring what handOver() released.
class ThumbnailRenderer::Task final : public QRunnable {
public:
    Task(ThumbnailRenderer* renderer, quint64 batch,
         std::shared_ptr<const imaging::Document> document, const ThumbnailRequest& request)
        : m_renderer(renderer),
          m_channel(renderer->m_channel.get()),
          m_batch(batch),
          m_document(std::move(document)),
          m_request(request) {}

    void handOver() { m_handedOver.store(true, std::memory_order_release); }

    void run() override {
        m_handedOver.load(std::memory_order_acquire);
        Result result{m_batch, m_request, QImage(), QString(), false};
        if (m_channel->liveBatch.load() == m_batch) {
            const imaging::DecodedPage decoded = m_document->decodePage(m_request.page);
            if (m_channel->liveBatch.load() == m_batch) {
                if (decoded.ok()) {
                    result.image = imaging::scaleForDisplay(decoded.image, m_request.size);
                    if (result.image.isNull())
                        result.error = tr("The page could not be scaled.");
                } else {
                    result.error =
                        decoded.error.isEmpty() ? tr("The page could not be read.") : decoded.error;
                }
                result.delivered = true;
            }
        }
        {
            const std::lock_guard<std::mutex> lock(m_channel->mutex);
            m_channel->results.push_back(std::move(result));
        }
        // Only Qt touches the renderer here (a queued call would read its meta-object on
        // this thread while its destructor may already have begun waiting for us).
        QCoreApplication::postEvent(m_renderer, new QEvent(QEvent::User));
    }

private:
    ThumbnailRenderer* m_renderer;
    Channel* m_channel;
    quint64 m_batch;
    std::shared_ptr<const imaging::Document> m_document;
    ThumbnailRequest m_request;
    std::atomic<bool> m_handedOver{false};
};

ThumbnailRenderer::ThumbnailRenderer(QObject* parent)
    : QObject(parent), m_channel(std::make_unique<Channel>()) {
    qRegisterMetaType<ktdv::ThumbnailRequest>();
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    m_pool.setObjectName(QStringLiteral("ThumbnailRenderer"));
}

ThumbnailRenderer::~ThumbnailRenderer() {
    // Workers post their results to this object and use its channel: none may outlive it.
    m_channel->liveBatch.store(~quint64(0));
    m_pool.clear();
    m_pool.waitForDone();
    // Taking the lock once more orders the workers' last use of the channel before its end.
    const std::lock_guard<std::mutex> lock(m_channel->mutex);
    m_channel->results.clear();
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
    m_channel->liveBatch.store(m_batch);
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
    auto* task = new Task(this, m_batch, m_document, request);
    task->handOver();
    m_pool.start(task);
}

void ThumbnailRenderer::customEvent(QEvent* event) {
    // The event was made on a worker and is not read here: the results are in the channel.
    Q_UNUSED(event);
    takeResults();
}

void ThumbnailRenderer::takeResults() {
    std::vector<Result> results;
    {
        const std::lock_guard<std::mutex> lock(m_channel->mutex);
        results.swap(m_channel->results);
    }
    for (const Result& result : results)
        taskDone(result.batch, result.request, result.image, result.error, result.delivered);
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
