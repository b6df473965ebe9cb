#pragma once
// Renders thumbnails off the UI thread. A batch is a list of requests (cell index, page,
// size); the renderer feeds them to its own thread pool a few at a time, the cells in view
// first and then the rest in reading order, so scrolling changes what comes next without
// reordering a long queue. Each finished thumbnail comes back through a queued signal as a
// QImage on the renderer's thread (the UI thread); the view turns it into a pixmap.
//
// Threads: create and call on the UI thread only. Workers touch only the shared, immutable
// Document and their own images. Starting a batch or cancel() drops every request not yet
// begun; a decode already running finishes and its result is discarded. The requests run
// as background tasks, which come back on the UI thread.

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QThreadPool>
#include <QVector>

#include <atomic>
#include <memory>

#include "imaging/backgroundwork.h"

namespace ktdv::imaging {
class Document;
}

namespace ktdv {

struct ThumbnailRequest {
    int index = 0;  // the view's cell
    int page = 0;   // zero-based page of the document
    QSize size;     // size of the finished thumbnail
};

class ThumbnailRenderer : public QObject {
    Q_OBJECT
public:
    explicit ThumbnailRenderer(QObject* parent = nullptr);
    ~ThumbnailRenderer() override;

    // Replaces whatever was queued; returns the batch's serial number (increasing).
    quint64 start(std::shared_ptr<const imaging::Document> document,
                  const QVector<ThumbnailRequest>& requests);
    void cancel();

    // Cells [first, last] are in view: they go before the others.
    void setVisibleCells(int first, int last);

    bool idle() const { return m_inFlight == 0 && m_queued.isEmpty(); }
    // Serial number of the latest batch (started or cancelled); later batches are higher.
    quint64 batch() const { return m_batch; }
    int threadCount() const { return m_pool.maxThreadCount(); }

signals:
    // One per request of a live batch; image is null when the page could not be decoded.
    void rendered(quint64 batch, const ktdv::ThumbnailRequest& request, const QImage& image,
                  const QString& error);
    // The current batch has nothing left queued or running.
    void batchFinished(quint64 batch);

private:
    struct Result;

    void submitMore();
    void submit(const ThumbnailRequest& request);
    void taskDone(const Result& result);

    QThreadPool m_pool;
    imaging::BackgroundWork m_work{&m_pool};  // destroyed before the pool
    // The live batch, read by the workers so requests of older batches are skipped.
    std::shared_ptr<std::atomic<quint64>> m_liveBatch;
    std::shared_ptr<const imaging::Document> m_document;
    QVector<ThumbnailRequest> m_queued;  // not yet handed to the pool, reading order
    quint64 m_batch = 0;
    int m_inFlight = 0;
    int m_visibleFirst = -1;
    int m_visibleLast = -1;
};

}  // namespace ktdv

Q_DECLARE_METATYPE(ktdv::ThumbnailRequest)
