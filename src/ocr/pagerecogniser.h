#pragma once
// Recognition of one page at a time on any thread, shared by the engine's conversions and
// the text of pages asked for in the background. Each call borrows an idle Tesseract
// instance (starting one when every instance is in use), so there are never more instances
// than threads calling at once; instances are kept for later calls. A page found in the
// page-text cache is not recognised again, and a page recognised goes into it.

#include "ocr/recognizeddocument.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

namespace ktdv::imaging {
class Document;
}

namespace ktdv::ocr {

class PageTextCache;

// What a recognition reads: the language data and the language(s).
struct RecognitionSetup {
    QString dataFolder;
    QString language = QStringLiteral("eng");
    bool useOsd = false;  // the script detector's data is there: turned pages are found
    // Names the data used (folder, language, the files' sizes and times) for the cache key.
    QByteArray fingerprint;
};

// Finds the language data: a "doZed" folder below appFolder when it holds *.traineddata,
// else the first of systemFolders that does. Returns a RecognitionEngine result code.
int findLanguageData(const QString& appFolder, const QString& language,
                     const QStringList& systemFolders, RecognitionSetup& setup);

// How a page is read.
struct RecognitionOptions {
    // Also the picture as recognised (`image`, `jpegData`) for the writers that show it.
    bool withPicture = false;
    // The page is neither turned upright nor straightened, so what lies on the stored page
    // lies at the same place on the picture (annotations exported with it).
    bool asStored = false;
    // A PDF page that carries text gives its text layer instead of being recognised.
    bool readTextLayers = true;
};

class PageRecogniser {
public:
    PageRecogniser(RecognitionSetup setup, std::shared_ptr<PageTextCache> cache);
    ~PageRecogniser();
    PageRecogniser(const PageRecogniser&) = delete;
    PageRecogniser& operator=(const PageRecogniser&) = delete;

    const RecognitionSetup& setup() const;
    // Starts one instance on this thread: false when Tesseract refuses the language data.
    bool start();
    // The page's text. cancel stops the page's word recognition (result Cancelled).
    // Returns a RecognitionEngine result code. PDF pages are drawn at kPdfRecognitionDpi;
    // their words' placement maps back to the page as the document gives it.
    int recognise(const imaging::Document& document, int index, const std::atomic<bool>& cancel,
                  const RecognitionOptions& options, RecognizedPage& out);

    // Pages Tesseract has recognised in this process, cached ones not counted (for tests).
    static int recognitionCount();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace ktdv::ocr
