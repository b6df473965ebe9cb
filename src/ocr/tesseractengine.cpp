#include "ocr/tesseractengine.h"

#include "imaging/annotationstore.h"
#include "imaging/backgroundwork.h"
#include "imaging/document.h"
#include "ocr/pagerecogniser.h"
#include "ocr/pagetextcache.h"
#include "ocr/recognitionoutput.h"
#include "ocr/writers/exportwriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace ktdv {

namespace {

// Marks the engine working for one call; false when another call already is.
class WorkingCall {
public:
    explicit WorkingCall(bool& working) : m_working(working), m_own(!working) { m_working = true; }
    ~WorkingCall() {
        if (m_own)
            m_working = false;
    }
    WorkingCall(const WorkingCall&) = delete;
    WorkingCall& operator=(const WorkingCall&) = delete;
    bool refused() const { return !m_own; }

private:
    bool& m_working;
    bool m_own;
};

// The page's annotations scaled to the recognised picture; unreadable ones fail the export.
int attachAnnotations(const imaging::Document& document, int index, ocr::RecognizedPage& out) {
    const QSize stored = out.placement.decodedSize.isEmpty() ? out.size : out.placement.decodedSize;
    if (document.format() != imaging::FileFormat::Tiff || stored.isEmpty()) {
        return RecognitionEngine::Ok;
    }
    const imaging::AnnotationLoadResult loaded =
        imaging::AnnotationStore::load(document.path(), index);
    if (!loaded.ok()) {
        return RecognitionEngine::FailedToExport;
    }
    const QTransform toPicture = QTransform::fromScale(double(out.size.width()) / stored.width(),
                                                       double(out.size.height()) / stored.height());
    out.annotations = loaded.annotations;
    for (imaging::Annotation& a : out.annotations) {
        a.rect = toPicture.mapRect(a.rect.normalized());
    }
    return RecognitionEngine::Ok;
}

}  // namespace

struct TesseractEngine::Private {
    bool working = false;  // a call is running; others are refused
    // The running call was asked to stop; read by the workers, set from any thread.
    mutable std::atomic<bool> cancelled{false};
    QString language = QStringLiteral("eng");
    QVector<int> pages;
    int threads = 0;
    QStringList systemFolders = TesseractEngine::defaultSystemDataFolders();
    // The running conversion exports annotations: pages as stored, with their annotations.
    bool withAnnotations = false;
    std::atomic<bool> readTextLayers{true};
    std::shared_ptr<ocr::PageTextCache> cache;        // null: none
    std::unique_ptr<ocr::PageRecogniser> recogniser;  // kept between conversions
    QThreadPool pool;                                 // runs the pages; destroyed first

    int recognizeAll(const imaging::Document& document, const QVector<int>& indexes,
                     ocr::RecognizedDocument& result, const std::function<void(int)>& progress);
    int recognizeFile(const QString& source, ocr::RecognizedDocument& document,
                      const std::function<void(int)>& progress);
};

int TesseractEngine::Private::recognizeAll(const imaging::Document& document,
                                           const QVector<int>& indexes,
                                           ocr::RecognizedDocument& result,
                                           const std::function<void(int)>& progress) {
    const int count = static_cast<int>(indexes.size());
    const int wanted = threads > 0 ? threads : std::max(1, QThread::idealThreadCount());
    const int threadCount = std::clamp(wanted, 1, std::max(1, count));
    result.pages = QVector<ocr::RecognizedPage>(count);
    ocr::RecognizedPage* pages = result.pages.data();
    ocr::RecognitionOptions options;
    options.withPicture = true;
    options.asStored = withAnnotations;
    options.readTextLayers = readTextLayers;
    auto recognise = [&](int i) {
        const int code =
            recogniser->recognise(document, indexes.at(i), cancelled, options, pages[i]);
        return code == Ok && withAnnotations ? attachAnnotations(document, indexes.at(i), pages[i])
                                             : code;
    };

    if (threadCount == 1) {
        // One thread: recognise on this one, reporting each page as it finishes.
        for (int i = 0; i < count; ++i) {
            const int code = cancelled ? Cancelled : recognise(i);
            if (code != Ok) {
                return code;
            }
            if (progress) {
                progress(i + 1);
            }
        }
        return cancelled ? Cancelled : Ok;
    }

    // One background task per page. The calling thread waits and reports pages in order
    // as they complete; it does not recognise itself so progress stays prompt.
    pool.setMaxThreadCount(threadCount);
    std::vector<int> codes(static_cast<size_t>(count), Ok);
    std::vector<imaging::TaskHandle> tasks;
    tasks.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        tasks.push_back(imaging::runInBackground(pool, [&, i] {
            codes[static_cast<size_t>(i)] = cancelled ? Cancelled : recognise(i);
        }));
    }
    int failure = Ok;
    for (int i = 0; i < count; ++i) {
        tasks[static_cast<size_t>(i)]->wait();
        const int code = codes[static_cast<size_t>(i)];
        if (code != Ok) {
            failure = code;
            break;
        }
        if (progress) {
            progress(i + 1);
        }
        if (cancelled) {
            failure = Cancelled;
            break;
        }
    }
    // After a failure or a cancel the pages not begun are dropped; the tasks use this frame's
    // locals.
    for (const imaging::TaskHandle& task : tasks) {
        task->drop();
    }
    for (const imaging::TaskHandle& task : tasks) {
        task->wait();
    }
    return failure;
}

TesseractEngine::TesseractEngine(std::shared_ptr<ocr::PageTextCache> cache)
    : d(std::make_unique<Private>()) {
    d->cache = std::move(cache);
    // Tesseract's OpenMP would start its own threads inside each of ours.
    if (qEnvironmentVariableIsEmpty("OMP_THREAD_LIMIT")) {
        qputenv("OMP_THREAD_LIMIT", "1");
    }
}

TesseractEngine::~TesseractEngine() = default;

QStringList TesseractEngine::defaultSystemDataFolders() {
    QStringList folders;
    const QString prefix = qEnvironmentVariable("TESSDATA_PREFIX");
    if (!prefix.isEmpty()) {
        folders << prefix << QDir(prefix).filePath(QStringLiteral("tessdata"));
    }
    folders << QStringLiteral("/usr/share/tesseract-ocr/5/tessdata")
            << QStringLiteral("/usr/share/tesseract-ocr/4.00/tessdata")
            << QStringLiteral("/usr/share/tessdata") << QStringLiteral("/usr/local/share/tessdata");
    return folders;
}

void TesseractEngine::setLanguage(const QString& language) {
    d->language = language;
}

QString TesseractEngine::language() const {
    return d->language;
}

void TesseractEngine::setPages(const QVector<int>& pages) {
    d->pages = pages;
    std::sort(d->pages.begin(), d->pages.end());
    d->pages.erase(std::unique(d->pages.begin(), d->pages.end()), d->pages.end());
}

void TesseractEngine::setThreadCount(int threads) {
    d->threads = std::max(0, threads);
}

int TesseractEngine::threadCount() const {
    return d->threads;
}

void TesseractEngine::setSystemDataFolders(const QStringList& folders) {
    d->systemFolders = folders;
}

QString TesseractEngine::dataFolder() const {
    return d->recogniser ? d->recogniser->setup().dataFolder : QString();
}

void TesseractEngine::setReadTextLayers(bool read) {
    d->readTextLayers = read;
}

bool TesseractEngine::busy() const {
    return d->working;
}

void TesseractEngine::cancel() {
    d->cancelled = true;
}

int TesseractEngine::initialise(QString& folder) {
    const WorkingCall call(d->working);
    if (call.refused()) {
        return Busy;
    }
    d->recogniser.reset();
    ocr::RecognitionSetup setup;
    const int code = ocr::findLanguageData(folder, d->language, d->systemFolders, setup);
    if (code != Ok) {
        return code;
    }
    auto recogniser = std::make_unique<ocr::PageRecogniser>(setup, d->cache);
    if (!recogniser->start()) {
        return FailedToInitialise;
    }
    d->recogniser = std::move(recogniser);
    return Ok;
}

int TesseractEngine::Private::recognizeFile(const QString& source,
                                            ocr::RecognizedDocument& document,
                                            const std::function<void(int)>& progress) {
    document = {};
    if (!recogniser) {
        return FailedToInitialise;
    }
    const QFileInfo info(source);
    if (source.isEmpty() || !info.exists() || !info.isFile()) {
        return FileDoesNotExist;
    }
    const std::shared_ptr<const imaging::Document> opened = imaging::Document::open(source);
    if (!opened || opened->pageCount() <= 0) {
        return FailedToSplitFile;
    }
    QVector<int> indexes;
    if (pages.isEmpty()) {
        for (int i = 0; i < opened->pageCount(); ++i) {
            indexes.append(i);
        }
    } else {
        for (int n : pages) {
            if (n >= 1 && n <= opened->pageCount()) {
                indexes.append(n - 1);
            }
        }
        if (indexes.isEmpty()) {
            return FailedToSplitFile;
        }
    }
    return recognizeAll(*opened, indexes, document, progress);
}

int TesseractEngine::recognize(const QString& source, ocr::RecognizedDocument& document) {
    const WorkingCall call(d->working);
    if (call.refused()) {
        return Busy;
    }
    d->cancelled = false;
    return d->recognizeFile(source, document, onProgress());
}

int TesseractEngine::convert(const QString& source, const QString& target, int destination,
                             int format) {
    const WorkingCall call(d->working);
    if (call.refused()) {
        return Busy;
    }
    d->cancelled = false;
    if (!d->recogniser) {
        return FailedToInitialise;
    }
    const QFileInfo info(source);
    if (source.isEmpty() || !info.exists() || !info.isFile()) {
        return FileDoesNotExist;
    }
    const ocr::RecognitionOutput output(destination, target, format);
    int code = output.check();
    if (code != Ok) {
        return code;
    }
    ocr::RecognizedDocument document;
    d->withAnnotations = ocr::formatCarriesAnnotations(format) && !output.toClipboard();
    code = d->recognizeFile(source, document, onProgress());
    d->withAnnotations = false;
    if (code == Ok && d->cancelled) {
        code = Cancelled;  // asked after the last page: nothing is written
    }
    return code != Ok ? code : output.write(document);
}

}  // namespace ktdv
