#include "ocr/pagerecogniser.h"

#include "imaging/document.h"
#include "imaging/limits.h"
#include "imaging/pagedigest.h"
#include "interfaces/recognitionengine.h"
#include "ocr/pagepreparation.h"
#include "ocr/pagetextcache.h"
#include "ocr/textlayerpage.h"

#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>
#include <tesseract/resultiterator.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

namespace ktdv::ocr {

namespace {

// Tesseract's page analysis works on 16-bit coordinates.
constexpr int kMaxRecognisedDimension = 32767;
// Orientation found by the script detector is trusted from this confidence on.
constexpr float kMinOrientationConfidence = 5.0F;
// Pages smaller than this hold too little text to tell their orientation.
constexpr int kMinOrientationSide = 200;
// Below this mean word confidence a page is checked for being turned.
constexpr double kMisreadConfidence = 70.0;

struct Instance {
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

void readResult(tesseract::TessBaseAPI& api, RecognizedPage& page) {
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
            page.blocks.append(RecognizedBlock{boxAt(*it, RIL_BLOCK), {}});
        }
        RecognizedBlock& block = page.blocks.last();
        if (block.paragraphs.isEmpty() || it->IsAtBeginningOf(RIL_PARA)) {
            block.paragraphs.append(RecognizedParagraph{boxAt(*it, RIL_PARA), {}});
        }
        RecognizedParagraph& paragraph = block.paragraphs.last();
        if (paragraph.lines.isEmpty() || it->IsAtBeginningOf(RIL_TEXTLINE)) {
            RecognizedLine line;
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
        RecognizedWord word;
        word.text = takeText(it->GetUTF8Text(RIL_WORD));
        word.box = boxAt(*it, RIL_WORD);
        word.confidence = it->Confidence(RIL_WORD);
        if (!word.text.isEmpty()) {
            paragraph.lines.last().words.append(word);
        }
    } while (it->Next(RIL_WORD));
}

double meanConfidence(const RecognizedPage& page) {
    double sum = 0;
    int count = 0;
    for (const RecognizedBlock& b : page.blocks) {
        for (const RecognizedParagraph& p : b.paragraphs) {
            for (const RecognizedLine& l : p.lines) {
                for (const RecognizedWord& w : l.words) {
                    sum += w.confidence;
                    ++count;
                }
            }
        }
    }
    return count > 0 ? sum / count : 0.0;
}

// A page read the wrong way up yields few words of low confidence.
bool looksMisread(const RecognizedPage& page) {
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

QByteArray fingerprintOf(const RecognitionSetup& setup) {
    QByteArray out = QFile::encodeName(setup.dataFolder) + '\n' + setup.language.toUtf8() + '\n' +
                     (setup.useOsd ? "osd" : "") + '\n';
    for (const QString& lang : setup.language.split(QLatin1Char('+'), Qt::SkipEmptyParts)) {
        const QFileInfo info(languageFile(setup.dataFolder, lang));
        out += QByteArray::number(info.size()) + ' ' +
               QByteArray::number(info.lastModified().toMSecsSinceEpoch()) + '\n';
    }
    return out;
}

std::atomic<int> g_recognitions{0};

}  // namespace

int findLanguageData(const QString& appFolder, const QString& language,
                     const QStringList& systemFolders, RecognitionSetup& setup) {
    QString found;
    const QString own = QDir(appFolder.trimmed()).filePath(QStringLiteral("doZed"));
    if (!appFolder.trimmed().isEmpty() && holdsLanguageData(own)) {
        found = own;
    } else {
        for (const QString& candidate : systemFolders) {
            if (holdsLanguageData(candidate)) {
                found = candidate;
                break;
            }
        }
    }
    if (found.isEmpty()) {
        return RecognitionEngine::FailedLocatingLibraryPath;
    }
    const QStringList languages = language.split(QLatin1Char('+'), Qt::SkipEmptyParts);
    if (languages.isEmpty()) {
        return RecognitionEngine::FailedLoadingLibrary;
    }
    for (const QString& lang : languages) {
        QFile data(languageFile(found, lang));
        if (!data.open(QIODevice::ReadOnly) || data.size() == 0) {
            return RecognitionEngine::FailedLoadingLibrary;
        }
    }
    setup.dataFolder = found;
    setup.language = language;
    setup.useOsd = QFileInfo::exists(languageFile(found, QStringLiteral("osd")));
    setup.fingerprint = fingerprintOf(setup);
    return RecognitionEngine::Ok;
}

struct PageRecogniser::Private {
    RecognitionSetup setup;
    std::shared_ptr<PageTextCache> cache;
    std::mutex mutex;
    std::vector<std::unique_ptr<Instance>> idle;  // under mutex

    std::unique_ptr<Instance> borrow() {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            if (!idle.empty()) {
                std::unique_ptr<Instance> instance = std::move(idle.back());
                idle.pop_back();
                return instance;
            }
        }
        return std::make_unique<Instance>();
    }
    void giveBack(std::unique_ptr<Instance> instance) {
        const std::lock_guard<std::mutex> lock(mutex);
        idle.push_back(std::move(instance));
    }

    bool startInstance(Instance& instance) const {
        if (instance.ready) {
            return true;
        }
        const QByteArray path = QFile::encodeName(setup.dataFolder);
        const QByteArray lang = setup.language.toUtf8();
        if (instance.api.Init(path.constData(), lang.constData(), tesseract::OEM_DEFAULT) != 0) {
            return false;
        }
        instance.api.SetPageSegMode(tesseract::PSM_AUTO);
        instance.ready = true;
        return true;
    }

    // The instance's script detector, started on first use; nullptr without one.
    tesseract::TessBaseAPI* orientationDetector(Instance& instance) const {
        if (!setup.useOsd || instance.osdTried) {
            return instance.osd.get();
        }
        instance.osdTried = true;
        auto osd = std::make_unique<tesseract::TessBaseAPI>();
        const QByteArray path = QFile::encodeName(setup.dataFolder);
        if (osd->Init(path.constData(), "osd", tesseract::OEM_TESSERACT_ONLY) == 0) {
            osd->SetPageSegMode(tesseract::PSM_OSD_ONLY);
            instance.osd = std::move(osd);
        }
        return instance.osd.get();
    }

    int recognizePage(Instance& instance, const imaging::Document& document, const QImage& decoded,
                      bool asStored, const std::atomic<bool>& cancel, RecognizedPage& out) const;
    int recognizePrepared(Instance& instance, const imaging::Document& document,
                          const QImage& decoded, const OrientationProbe& orientation, bool asStored,
                          const std::atomic<bool>& cancel, RecognizedPage& out) const;
};

// The picture the writers show, as it was recognised, with the original JPEG stream when
// the picture is exactly it.
static void setPicture(const imaging::Document& document, const PreparedPage& prepared,
                       RecognizedPage& out) {
    out.image = prepared.image;
    if (prepared.unchanged && document.format() == imaging::FileFormat::Jpeg &&
        document.fileSize() <= limits::kMaxPageBytes) {
        QFile file(document.path());
        if (file.open(QIODevice::ReadOnly)) {
            out.jpegData = file.readAll();
        }
    }
}

int PageRecogniser::Private::recognizePage(Instance& instance, const imaging::Document& document,
                                           const QImage& decoded, bool asStored,
                                           const std::atomic<bool>& cancel,
                                           RecognizedPage& out) const {
    int code = recognizePrepared(instance, document, decoded, nullptr, asStored, cancel, out);
    if (asStored || code != RecognitionEngine::Ok || !setup.useOsd || !looksMisread(out)) {
        return code;
    }
    tesseract::TessBaseAPI* osd = orientationDetector(instance);
    if (osd == nullptr) {
        return code;
    }
    // Little or doubtful text: the page may lie on its side or upside down. Ask the
    // script detector and read the page again turned upright.
    PixPtr probe = preparePage(decoded, nullptr).pix;
    const int turns = probe ? orientationOf(*osd, probe.get()) : -1;
    if (turns <= 0) {
        return code;
    }
    RecognizedPage turned;
    code = recognizePrepared(
        instance, document, decoded, [turns](Pix*) { return turns; }, false, cancel, turned);
    if (code == RecognitionEngine::Ok && meanConfidence(turned) > meanConfidence(out)) {
        out = std::move(turned);
    }
    return code;
}

int PageRecogniser::Private::recognizePrepared(Instance& instance,
                                               const imaging::Document& document,
                                               const QImage& decoded,
                                               const OrientationProbe& orientation, bool asStored,
                                               const std::atomic<bool>& cancel,
                                               RecognizedPage& out) const {
    out = RecognizedPage();
    PreparedPage prepared = preparePage(decoded, orientation, !asStored);
    if (!prepared.pix) {
        return RecognitionEngine::FailedToOpenPageFile;
    }
    out.size = prepared.image.size();
    out.dpi = prepared.dpi;
    out.placement = PagePlacement{decoded.size(), prepared.scale.width(), prepared.scale.height(),
                                  prepared.quarterTurns, prepared.skewDegrees};
    setPicture(document, prepared, out);

    tesseract::TessBaseAPI& api = instance.api;
    api.SetImage(prepared.pix.get());
    api.SetSourceResolution(static_cast<int>(std::lround(prepared.dpi.height())));
    std::unique_ptr<tesseract::PageIterator> layout(api.AnalyseLayout());
    g_recognitions.fetch_add(1, std::memory_order_relaxed);
    if (!layout) {
        api.Clear();
        const bool tooLarge = out.size.width() > kMaxRecognisedDimension ||
                              out.size.height() > kMaxRecognisedDimension;
        // Otherwise the page holds nothing that looks like text.
        return tooLarge ? RecognitionEngine::FailedToCreateLayout : RecognitionEngine::Ok;
    }
    layout.reset();
    // A cancel stops the page's word recognition too, so a page under way ends promptly.
    tesseract::ETEXT_DESC monitor;
    monitor.cancel = [](void* flag, int) {
        return static_cast<const std::atomic<bool>*>(flag)->load(std::memory_order_relaxed);
    };
    monitor.cancel_this = const_cast<std::atomic<bool>*>(&cancel);
    if (api.Recognize(&monitor) < 0) {
        api.Clear();
        return cancel ? RecognitionEngine::Cancelled : RecognitionEngine::FailedToRecognise;
    }
    readResult(api, out);
    api.Clear();
    return RecognitionEngine::Ok;
}

PageRecogniser::PageRecogniser(RecognitionSetup setup, std::shared_ptr<PageTextCache> cache)
    : d(std::make_unique<Private>()) {
    d->setup = std::move(setup);
    d->cache = std::move(cache);
}

PageRecogniser::~PageRecogniser() = default;

const RecognitionSetup& PageRecogniser::setup() const {
    return d->setup;
}

int PageRecogniser::recognitionCount() {
    return g_recognitions.load();
}

bool PageRecogniser::start() {
    std::unique_ptr<Instance> instance = d->borrow();
    const bool ok = d->startInstance(*instance);
    d->giveBack(std::move(instance));
    return ok;
}

int PageRecogniser::recognise(const imaging::Document& document, int index,
                              const std::atomic<bool>& cancel, const RecognitionOptions& options,
                              RecognizedPage& out) {
    out = RecognizedPage();
    if (cancel) {
        return RecognitionEngine::Cancelled;
    }
    const bool pdf = document.format() == imaging::FileFormat::Pdf;
    // PDF pages are drawn at the resolution the engine reads best.
    auto pageImage = [&] {
        return pdf ? document.renderPage(index, kPdfRecognitionDpi) : document.decodePage(index);
    };
    // Boxes of a drawn PDF page map back to the page as the document gives it.
    auto placeOnPage = [&](const QImage& image) {
        const QSize shown = document.page(index).pixelSize;
        if (pdf && !shown.isEmpty() && !image.isNull()) {
            out.placement.decodedSize = shown;
            out.placement.scaleX *= double(image.width()) / shown.width();
            out.placement.scaleY *= double(image.height()) / shown.height();
        }
    };
    if (pdf && options.readTextLayers) {
        const imaging::DecodedPage drawn = pageImage();
        if (!drawn.ok()) {
            return RecognitionEngine::FailedToOpenPageFile;
        }
        const double dpi = drawn.image.dotsPerMeterX() * 0.0254;
        const QVector<imaging::TextLayerWord> words = document.textLayer(index, dpi);
        if (!words.isEmpty()) {
            out = pageFromTextLayer(words, drawn.image, dpi);
            placeOnPage(drawn.image);
            if (!options.withPicture) {
                out.image = QImage();
            }
            return RecognitionEngine::Ok;
        }
    }
    const QByteArray digest = d->cache ? imaging::pageDigest(document, index) : QByteArray();
    QByteArray fingerprint = d->setup.fingerprint;
    if (options.asStored) {
        fingerprint += "\nas stored";
    }
    const QByteArray key =
        digest.isEmpty() ? QByteArray() : PageTextCache::key(digest, fingerprint);
    if (!key.isEmpty() && d->cache->load(key, out)) {
        if (options.withPicture) {
            // The picture is made again as it was when the page was recognised.
            const imaging::DecodedPage decoded = pageImage();
            if (!decoded.ok()) {
                return RecognitionEngine::FailedToOpenPageFile;
            }
            const int turns = out.placement.quarterTurns;
            const PreparedPage prepared = preparePage(
                decoded.image,
                turns > 0 ? OrientationProbe([turns](Pix*) { return turns; }) : OrientationProbe(),
                !options.asStored);
            setPicture(document, prepared, out);
        }
        return RecognitionEngine::Ok;
    }
    const imaging::DecodedPage decoded = pageImage();
    if (!decoded.ok()) {
        return RecognitionEngine::FailedToOpenPageFile;
    }
    std::unique_ptr<Instance> instance = d->borrow();
    int code =
        d->startInstance(*instance) ? RecognitionEngine::Ok : RecognitionEngine::FailedToInitialise;
    if (code == RecognitionEngine::Ok) {
        code = d->recognizePage(*instance, document, decoded.image, options.asStored, cancel, out);
        placeOnPage(decoded.image);
    }
    d->giveBack(std::move(instance));
    if (code == RecognitionEngine::Ok && !key.isEmpty()) {
        d->cache->store(key, out);
    }
    if (!options.withPicture) {
        out.image = QImage();
        out.jpegData.clear();
    }
    return code;
}

}  // namespace ktdv::ocr
