#include "ocr/tesseractpagetext.h"

#include "imaging/backgroundwork.h"
#include "imaging/document.h"
#include "interfaces/recognitionengine.h"
#include "ocr/pagerecogniser.h"
#include "ocr/pagetextcache.h"
#include "ocr/tesseractengine.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <mutex>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace ktdv {

namespace {

// Nice value of the workers: they give way to the UI thread and to other programs.
constexpr int kWorkerNice = 10;

// One document's pages as the workers see it; outlives the provider's interest in it.
struct Job {
    QString path;
    std::shared_ptr<ocr::PageRecogniser> recogniser;
    std::atomic<bool> cancelled{false};
    std::mutex mutex;
    std::shared_ptr<const imaging::Document> document;  // under mutex

    std::shared_ptr<const imaging::Document> open() {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!document) {
            document = imaging::Document::open(path);
        }
        return document;
    }
};

void lowerThreadPriority() {
#ifdef Q_OS_LINUX
    thread_local bool lowered = false;
    if (!lowered) {
        lowered = true;
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kWorkerNice);
    }
#endif
}

}  // namespace

PageText pageTextOf(const ocr::RecognizedPage& page) {
    PageText out;
    const ocr::PagePlacement& placement = page.placement;
    out.pageSize = placement.decodedSize.isEmpty() ? page.size : placement.decodedSize;
    int line = 0;
    for (const ocr::RecognizedBlock& b : page.blocks) {
        for (const ocr::RecognizedParagraph& p : b.paragraphs) {
            for (const ocr::RecognizedLine& l : p.lines) {
                if (l.words.isEmpty()) {
                    continue;
                }
                for (const ocr::RecognizedWord& w : l.words) {
                    out.words.append(PageTextWord{w.text, placement.toDecoded(w.box, page.size),
                                                  line, w.confidence});
                }
                ++line;
            }
        }
    }
    return out;
}

struct TesseractPageText::Private {
    QString appFolder;
    std::shared_ptr<ocr::PageTextCache> cache;
    QString language = QStringLiteral("eng");
    int threads = 0;
    QThreadPool pool;
    std::unique_ptr<imaging::BackgroundWork> work;  // destroyed before the pool

    std::shared_ptr<ocr::PageRecogniser> recogniser;  // null: no language data
    QString path;
    std::shared_ptr<Job> job;  // of `path`
    int pageCount = -1;        // -1 while the document is being opened
    int wantAllFrom = -1;      // every page was asked for before the count was known
    int running = 0;           // tasks of this job handed to the pool
    QVector<int> queue;        // most urgent first
    QSet<int> underWay;
    QHash<int, PageText> known;

    int threadLimit() const {
        const int cores = std::max(1, QThread::idealThreadCount());
        return threads > 0 ? std::min(threads, cores) : cores;
    }
    bool wanted(int index) const {
        return index >= 0 && (pageCount < 0 || index < pageCount) && !known.contains(index) &&
               !underWay.contains(index);
    }
    void makeRecogniser() {
        if (recogniser && recogniser->setup().language == language) {
            return;
        }
        recogniser.reset();
        ocr::RecognitionSetup setup;
        if (ocr::findLanguageData(appFolder, language, TesseractEngine::defaultSystemDataFolders(),
                                  setup) == RecognitionEngine::Ok) {
            recogniser = std::make_shared<ocr::PageRecogniser>(
                setup, cache ? cache : ocr::PageTextCache::shared());
        }
    }
};

TesseractPageText::TesseractPageText(QString appFolder, std::shared_ptr<ocr::PageTextCache> cache)
    : d(std::make_unique<Private>()) {
    d->appFolder = appFolder.isEmpty() ? QCoreApplication::applicationDirPath() : appFolder;
    d->cache = std::move(cache);
    d->pool.setMaxThreadCount(d->threadLimit());
    d->work = std::make_unique<imaging::BackgroundWork>(&d->pool);
}

TesseractPageText::~TesseractPageText() {
    if (d->job) {
        d->job->cancelled = true;
    }
    d->work.reset();  // drops the queued pages, waits for those under way
}

void TesseractPageText::setLanguage(const QString& language) {
    d->language = language;
}

void TesseractPageText::setThreadCount(int threads) {
    d->threads = std::max(0, threads);
    d->pool.setMaxThreadCount(d->threadLimit());
}

QString TesseractPageText::document() const {
    return d->path;
}

void TesseractPageText::setDocument(const QString& path) {
    if (d->job) {
        d->job->cancelled = true;  // pages under way stop; their results are dropped
    }
    d->work->dropQueued();
    d->job.reset();
    d->path = path;
    d->pageCount = -1;
    d->wantAllFrom = -1;
    d->running = 0;
    d->queue.clear();
    d->underWay.clear();
    d->known.clear();
    if (path.isEmpty()) {
        return;
    }
    d->makeRecogniser();
    if (!d->recogniser) {
        d->pageCount = 0;
        return;
    }
    auto job = std::make_shared<Job>();
    job->path = path;
    job->recogniser = d->recogniser;
    d->job = job;
    d->work->start(
        [job] {
            lowerThreadPriority();
            const std::shared_ptr<const imaging::Document> document = job->open();
            return document ? document->pageCount() : 0;
        },
        [this, job](int count) {
            if (job == d->job) {
                opened(count);
            }
        });
}

void TesseractPageText::opened(int pageCount) {
    d->pageCount = pageCount;
    d->queue.erase(std::remove_if(d->queue.begin(), d->queue.end(),
                                  [this](int i) { return i >= d->pageCount; }),
                   d->queue.end());
    if (d->wantAllFrom >= 0) {
        const int first = d->wantAllFrom;
        d->wantAllFrom = -1;
        requestAll(first);
    }
    dispatch();
}

void TesseractPageText::request(const QVector<int>& pageIndexes) {
    if (!d->job) {
        return;
    }
    QVector<int> front;
    for (const int index : pageIndexes) {
        if (d->wanted(index) && !front.contains(index)) {
            front.append(index);
        }
    }
    if (front.isEmpty()) {
        return;
    }
    const QSet<int> moved(front.cbegin(), front.cend());
    for (const int index : std::as_const(d->queue)) {
        if (!moved.contains(index)) {
            front.append(index);
        }
    }
    d->queue = std::move(front);
    dispatch();
}

void TesseractPageText::requestAll(int firstIndex) {
    if (!d->job) {
        return;
    }
    if (d->pageCount < 0) {
        d->wantAllFrom = std::max(0, firstIndex);
        return;
    }
    const int first = std::clamp(firstIndex, 0, std::max(0, d->pageCount - 1));
    QVector<int> order;
    order.reserve(d->pageCount);
    for (int step = 0; order.size() < d->pageCount; ++step) {
        if (first + step < d->pageCount) {
            order.append(first + step);
        }
        if (step > 0 && first - step >= 0) {
            order.append(first - step);
        }
    }
    request(order);
}

void TesseractPageText::cancel() {
    d->queue.clear();
    d->wantAllFrom = -1;
}

bool TesseractPageText::pageText(int pageIndex, PageText& text) const {
    const auto it = d->known.constFind(pageIndex);
    if (it == d->known.cend()) {
        return false;
    }
    text = *it;
    return true;
}

int TesseractPageText::pendingCount() const {
    return int(d->queue.size() + d->underWay.size()) + (d->wantAllFrom >= 0 ? 1 : 0);
}

void TesseractPageText::dispatch() {
    while (d->pageCount >= 0 && d->running < d->threadLimit() && !d->queue.isEmpty()) {
        const int index = d->queue.takeFirst();
        d->underWay.insert(index);
        ++d->running;
        d->work->start(
            [job = d->job, index] {
                lowerThreadPriority();
                ocr::RecognizedPage page;
                const std::shared_ptr<const imaging::Document> document = job->open();
                const int code = document
                                     ? job->recogniser->recognise(*document, index, job->cancelled,
                                                                  ocr::RecognitionOptions(), page)
                                     : RecognitionEngine::FailedToSplitFile;
                // A page that cannot be read has no words; it is not asked for again.
                return code == RecognitionEngine::Ok ? pageTextOf(page) : PageText();
            },
            [this, job = d->job, index](const PageText& text) {
                if (job == d->job) {
                    finished(index, text);
                }
            });
    }
}

void TesseractPageText::finished(int pageIndex, const PageText& text) {
    --d->running;
    d->underWay.remove(pageIndex);
    d->known.insert(pageIndex, text);
    dispatch();
    if (onPageReady()) {
        onPageReady()(pageIndex);  // last: the handler may ask for more or change document
    }
}

}  // namespace ktdv
