#include "ocr/tesseractengine.h"

#include "imaging/annotationstore.h"
#include "imaging/backgroundwork.h"
#include "imaging/document.h"
#include "imaging/limits.h"
#include "ocr/pagepreparation.h"
#include "ocr/recognitionoutput.h"
#include "ocr/writers/exportwriter.h"
#include "ocr/textlayerpage.h"

#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>
#include <tesseract/resultiterator.h>

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

// Tesseract's page analysis works on 16-bit coordinates.
constexpr int kMaxRecognisedDimension = 32767;
// Orientation found by the script detector is trusted from this confidence on.
constexpr float kMinOrientationConfidence = 5.0F;
// Pages smaller than this hold too little text to tell their orientation.
constexpr int kMinOrientationSide = 200;
// Below this mean word confidence a page is checked for being turned.
constexpr double kMisreadConfidence = 70.0;

struct Worker {
    tesseract::TessBaseAPI api;
    std::unique_ptr<tesseract::TessBaseAPI> osd;
    bool osdTried = false;
    bool ready = false;
};

QString languageFile(const QString& folder, const QString& language) {
    return QDir(folder).filePath(language + QStringLiteral(".traineddata"));
}

bool holdsLanguageData(const QString& folder) {
    const QDir dir(folder);
    return dir.exists() &&
           !dir.entryList({QStringLiteral("*.traineddata")}, QDir::Files | QDir::Readable)
                .isEmpty();
}

// UTF-8 text from Tesseract, freed.
QString takeText(char* text) {
    const QString out = QString::fromUtf8(text).trimmed();
    delete[] text;
    return out;
}

QRect boxAt(const tesseract::PageIterator& it, tesseract::PageIteratorLevel level) {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    if (!it.BoundingBox(level, &left, &top, &right, &bottom)) {
        return {};
    }
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void readResult(tesseract::TessBaseAPI& api, ocr::RecognizedPage& page) {
    std::unique_ptr<tesseract::ResultIterator> it(api.GetIterator());
    if (!it) {
        return;
    }
    using tesseract::RIL_BLOCK;
    using tesseract::RIL_PARA;
    using tesseract::RIL_TEXTLINE;
    using tesseract::RIL_WORD;
    it->Begin();
    if (it->Empty(RIL_WORD)) {
        return;
    }
    do {
        if (page.blocks.isEmpty() || it->IsAtBeginningOf(RIL_BLOCK)) {
            page.blocks.append(ocr::RecognizedBlock{boxAt(*it, RIL_BLOCK), {}});
        }
        ocr::RecognizedBlock& block = page.blocks.last();
        if (block.paragraphs.isEmpty() || it->IsAtBeginningOf(RIL_PARA)) {
            block.paragraphs.append(ocr::RecognizedParagraph{boxAt(*it, RIL_PARA), {}});
        }
        ocr::RecognizedParagraph& paragraph = block.paragraphs.last();
        if (paragraph.lines.isEmpty() || it->IsAtBeginningOf(RIL_TEXTLINE)) {
            ocr::RecognizedLine line;
            line.box = boxAt(*it, RIL_TEXTLINE);
            int x1 = 0;
            int y1 = 0;
            int x2 = 0;
            int y2 = 0;
            if (it->Baseline(RIL_TEXTLINE, &x1, &y1, &x2, &y2)) {
                line.baseline = (y1 + y2) / 2;
            }
            paragraph.lines.append(line);
        }
        ocr::RecognizedWord word;
        word.text = takeText(it->GetUTF8Text(RIL_WORD));
        word.box = boxAt(*it, RIL_WORD);
        word.confidence = it->Confidence(RIL_WORD);
        if (!word.text.isEmpty()) {
            paragraph.lines.last().words.append(word);
        }
    } while (it->Next(RIL_WORD));
}

double meanConfidence(const ocr::RecognizedPage& page) {
    double sum = 0;
    int count = 0;
    for (const ocr::RecognizedBlock& b : page.blocks) {
        for (const ocr::RecognizedParagraph& p : b.paragraphs) {
            for (const ocr::RecognizedLine& l : p.lines) {
                for (const ocr::RecognizedWord& w : l.words) {
                    sum += w.confidence;
                    ++count;
                }
            }
        }
    }
    return count > 0 ? sum / count : 0.0;
}

// A page read the wrong way up yields few words of low confidence.
bool looksMisread(const ocr::RecognizedPage& page) {
    return page.size.width() >= kMinOrientationSide && page.size.height() >= kMinOrientationSide &&
           meanConfidence(page) < kMisreadConfidence;
}

// Clockwise quarter turns that make the page upright, or -1 when the detector cannot tell.
int orientationOf(tesseract::TessBaseAPI& osd, Pix* pix) {
    const auto w = static_cast<int>(pixGetWidth(pix));
    const auto h = static_cast<int>(pixGetHeight(pix));
    if (std::min(w, h) < kMinOrientationSide || std::max(w, h) > kMaxRecognisedDimension) {
        return -1;
    }
    osd.SetImage(pix);
    int degrees = 0;
    float confidence = 0;
    const bool found = osd.DetectOrientationScript(&degrees, &confidence, nullptr, nullptr);
    osd.Clear();
    if (!found || confidence < kMinOrientationConfidence) {
        return -1;
    }
    // degrees: the clockwise rotation the page has; undo it.
    return ((360 - degrees) / 90) % 4;
}

// The page's annotations scaled to the prepared page; unreadable ones fail the export.
int attachAnnotations(const imaging::Document& document, int index, const QSize& stored,
                      ocr::RecognizedPage& out) {
    if (document.format() != imaging::FileFormat::Tiff || stored.isEmpty()) {
        return RecognitionEngine::Ok;
    }
    const imaging::AnnotationLoadResult loaded =
        imaging::AnnotationStore::load(document.path(), index);
    if (!loaded.ok()) {
        return RecognitionEngine::FailedToExport;
    }
    const QTransform toPrepared = QTransform::fromScale(
        double(out.size.width()) / stored.width(), double(out.size.height()) / stored.height());
    out.annotations = loaded.annotations;
    for (imaging::Annotation& a : out.annotations) {
        a.rect = toPrepared.mapRect(a.rect.normalized());
    }
    return RecognitionEngine::Ok;
}

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

}  // namespace

struct TesseractEngine::Private {
    bool working = false;  // a call is running; others are refused
    // The running call was asked to stop; read by the workers, set from any thread.
    mutable std::atomic<bool> cancelled{false};
    QString language = QStringLiteral("eng");
    QVector<int> pages;
    int threads = 0;
    QStringList systemFolders = TesseractEngine::defaultSystemDataFolders();
    QString dataFolder;
    bool useOsd = false;
    // The running conversion exports annotations: pages as stored, with their annotations.
    bool withAnnotations = false;
    std::atomic<bool> readTextLayers{true};
    std::vector<std::unique_ptr<Worker>> workers;
    QThreadPool pool;  // runs the workers; destroyed before them

    bool startWorker(Worker& worker) const {
        if (worker.ready) {
            return true;
        }
        const QByteArray path = QFile::encodeName(dataFolder);
        const QByteArray lang = language.toUtf8();
        if (worker.api.Init(path.constData(), lang.constData(), tesseract::OEM_DEFAULT) != 0) {
            return false;
        }
        worker.api.SetPageSegMode(tesseract::PSM_AUTO);
        worker.ready = true;
        return true;
    }

    // The worker's script detector, started on first use; nullptr without one.
    tesseract::TessBaseAPI* orientationDetector(Worker& worker) const {
        if (!useOsd || worker.osdTried) {
            return worker.osd.get();
        }
        worker.osdTried = true;
        auto osd = std::make_unique<tesseract::TessBaseAPI>();
        const QByteArray path = QFile::encodeName(dataFolder);
        if (osd->Init(path.constData(), "osd", tesseract::OEM_TESSERACT_ONLY) == 0) {
            osd->SetPageSegMode(tesseract::PSM_OSD_ONLY);
            worker.osd = std::move(osd);
        }
        return worker.osd.get();
    }

    int recognizePage(Worker& worker, const imaging::Document& document, int index,
                      ocr::RecognizedPage& out) const;
    int recognizePrepared(Worker& worker, const imaging::Document& document, const QImage& decoded,
                          const ocr::OrientationProbe& orientation, ocr::RecognizedPage& out) const;
    int recognizeAll(const imaging::Document& document, const QVector<int>& indexes,
                     ocr::RecognizedDocument& result, const std::function<void(int)>& progress);
    int recognizeFile(const QString& source, ocr::RecognizedDocument& document,
                      const std::function<void(int)>& progress);
};

int TesseractEngine::Private::recognizePage(Worker& worker, const imaging::Document& document,
                                            int index, ocr::RecognizedPage& out) const {
    const bool pdf = document.format() == imaging::FileFormat::Pdf;
    // PDF pages are drawn at the resolution the engine reads best; one that carries text
    // gives it from its text layer unless the user asked to recognise it anyway.
    const imaging::DecodedPage decoded =
        pdf ? document.renderPage(index, ocr::kPdfRecognitionDpi) : document.decodePage(index);
    if (!decoded.ok()) {
        return FailedToOpenPageFile;
    }
    if (pdf && readTextLayers) {
        const double dpi = decoded.image.dotsPerMeterX() * 0.0254;
        const QVector<imaging::TextLayerWord> words = document.textLayer(index, dpi);
        if (!words.isEmpty()) {
            out = ocr::pageFromTextLayer(words, decoded.image, dpi);
            return Ok;
        }
    }
    int code = recognizePrepared(worker, document, decoded.image, nullptr, out);
    if (withAnnotations) {
        return code != Ok ? code : attachAnnotations(document, index, decoded.image.size(), out);
    }
    if (code != Ok || !useOsd || !looksMisread(out)) {
        return code;
    }
    tesseract::TessBaseAPI* osd = orientationDetector(worker);
    if (osd == nullptr) {
        return code;
    }
    // Little or doubtful text: the page may lie on its side or upside down. Ask the
    // script detector and read the page again turned upright.
    ocr::PixPtr probe = ocr::preparePage(decoded.image, nullptr).pix;
    const int turns = probe ? orientationOf(*osd, probe.get()) : -1;
    if (turns <= 0) {
        return code;
    }
    ocr::RecognizedPage turned;
    code = recognizePrepared(
        worker, document, decoded.image, [turns](Pix*) { return turns; }, turned);
    if (code == Ok && meanConfidence(turned) > meanConfidence(out)) {
        out = std::move(turned);
    }
    return code;
}

int TesseractEngine::Private::recognizePrepared(Worker& worker, const imaging::Document& document,
                                                const QImage& decoded,
                                                const ocr::OrientationProbe& orientation,
                                                ocr::RecognizedPage& out) const {
    out = ocr::RecognizedPage();
    ocr::PreparedPage prepared = ocr::preparePage(decoded, orientation, !withAnnotations);
    if (!prepared.pix) {
        return FailedToOpenPageFile;
    }
    out.size = prepared.image.size();
    out.dpi = prepared.dpi;
    out.image = prepared.image;
    if (prepared.unchanged && document.format() == imaging::FileFormat::Jpeg &&
        document.fileSize() <= limits::kMaxPageBytes) {
        QFile file(document.path());
        if (file.open(QIODevice::ReadOnly)) {
            out.jpegData = file.readAll();
        }
    }

    tesseract::TessBaseAPI& api = worker.api;
    api.SetImage(prepared.pix.get());
    api.SetSourceResolution(static_cast<int>(std::lround(prepared.dpi.height())));
    std::unique_ptr<tesseract::PageIterator> layout(api.AnalyseLayout());
    if (!layout) {
        api.Clear();
        const bool tooLarge = out.size.width() > kMaxRecognisedDimension ||
                              out.size.height() > kMaxRecognisedDimension;
        // Otherwise the page holds nothing that looks like text.
        return tooLarge ? FailedToCreateLayout : Ok;
    }
    layout.reset();
    // A cancel stops the page's word recognition too, so a page under way ends promptly.
    tesseract::ETEXT_DESC monitor;
    monitor.cancel = [](void* flag, int) {
        return static_cast<std::atomic<bool>*>(flag)->load(std::memory_order_relaxed);
    };
    monitor.cancel_this = &cancelled;
    if (api.Recognize(&monitor) < 0) {
        api.Clear();
        return cancelled ? Cancelled : FailedToRecognise;
    }
    readResult(api, out);
    api.Clear();
    return Ok;
}

int TesseractEngine::Private::recognizeAll(const imaging::Document& document,
                                           const QVector<int>& indexes,
                                           ocr::RecognizedDocument& result,
                                           const std::function<void(int)>& progress) {
    const int count = static_cast<int>(indexes.size());
    const int wanted = threads > 0 ? threads : std::max(1, QThread::idealThreadCount());
    const int threadCount = std::clamp(wanted, 1, std::max(1, count));
    while (static_cast<int>(workers.size()) < threadCount) {
        workers.push_back(std::make_unique<Worker>());
    }
    for (int i = 0; i < threadCount; ++i) {
        if (!startWorker(*workers.at(static_cast<size_t>(i)))) {
            return FailedToInitialise;
        }
    }
    result.pages = QVector<ocr::RecognizedPage>(count);
    ocr::RecognizedPage* pages = result.pages.data();

    if (threadCount == 1) {
        // One worker: recognise on this thread, reporting each page as it finishes.
        for (int i = 0; i < count; ++i) {
            const int code =
                cancelled ? Cancelled
                          : recognizePage(*workers.front(), document, indexes.at(i), pages[i]);
            if (code != Ok) {
                return code;
            }
            if (progress) {
                progress(i + 1);
            }
        }
        return cancelled ? Cancelled : Ok;
    }

    // One background task per page; each borrows an idle worker. The calling
    // thread waits and reports pages in order as they complete; it does not
    // recognise itself so progress stays prompt.
    pool.setMaxThreadCount(threadCount);
    std::vector<Worker*> idle;
    for (int i = 0; i < threadCount; ++i) {
        idle.push_back(workers.at(static_cast<size_t>(i)).get());
    }
    std::mutex idleMutex;
    std::condition_variable returned;
    std::vector<int> codes(static_cast<size_t>(count), Ok);
    std::vector<imaging::TaskHandle> tasks;
    tasks.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        tasks.push_back(imaging::runInBackground(pool, [&, i] {
            Worker* worker = nullptr;
            {
                std::unique_lock<std::mutex> lock(idleMutex);
                returned.wait(lock, [&] { return !idle.empty(); });
                worker = idle.back();
                idle.pop_back();
            }
            codes[static_cast<size_t>(i)] =
                cancelled ? Cancelled : recognizePage(*worker, document, indexes.at(i), pages[i]);
            {
                const std::lock_guard<std::mutex> lock(idleMutex);
                idle.push_back(worker);
            }
            returned.notify_one();
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

TesseractEngine::TesseractEngine() : d(std::make_unique<Private>()) {
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
    return d->dataFolder;
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
    d->workers.clear();
    d->dataFolder.clear();
    QString found;
    const QString own = QDir(folder.trimmed()).filePath(QStringLiteral("doZed"));
    if (!folder.trimmed().isEmpty() && holdsLanguageData(own)) {
        found = own;
    } else {
        for (const QString& candidate : d->systemFolders) {
            if (holdsLanguageData(candidate)) {
                found = candidate;
                break;
            }
        }
    }
    if (found.isEmpty()) {
        return FailedLocatingLibraryPath;
    }
    const QStringList languages = d->language.split(QLatin1Char('+'), Qt::SkipEmptyParts);
    if (languages.isEmpty()) {
        return FailedLoadingLibrary;
    }
    for (const QString& lang : languages) {
        QFile data(languageFile(found, lang));
        if (!data.open(QIODevice::ReadOnly) || data.size() == 0) {
            return FailedLoadingLibrary;
        }
    }
    d->dataFolder = found;
    d->useOsd = QFileInfo::exists(languageFile(found, QStringLiteral("osd")));
    d->workers.push_back(std::make_unique<Worker>());
    if (!d->startWorker(*d->workers.front())) {
        d->workers.clear();
        d->dataFolder.clear();
        return FailedToInitialise;
    }
    return Ok;
}

int TesseractEngine::Private::recognizeFile(const QString& source,
                                            ocr::RecognizedDocument& document,
                                            const std::function<void(int)>& progress) {
    document = {};
    if (dataFolder.isEmpty() || workers.empty()) {
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
    if (d->dataFolder.isEmpty() || d->workers.empty()) {
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
