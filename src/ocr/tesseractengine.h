#pragma once
// The recognition engine on Tesseract. initialise() finds the language data (a "doZed"
// folder below the application folder when it holds *.traineddata, else the system's
// Tesseract data) and starts one recogniser; recognize() opens any document the viewer
// opens and recognises its pages on worker threads (one Tesseract instance per worker,
// kept between conversions; with a page-text cache set, a page recognised before is read
// from it instead). convert() recognises and hands the result to a
// RecognitionOutput, which writes one export format to a file or the clipboard.
//
// Threads: initialise(), recognize() and convert() are called from one thread at a time;
// they raise onProgress on the calling thread, once per page in page order. A call made
// while another works (from an onProgress handler that runs the event loop) returns Busy
// at once: the workers' recognisers serve one document at a time. cancel() may come from
// any thread: pages not begun are skipped, pages under way stop their word recognition,
// and the call returns Cancelled without writing anything.

#include "interfaces/recognitionengine.h"
#include "ocr/recognizeddocument.h"

#include <QStringList>
#include <QVector>

#include <memory>

namespace ktdv {

namespace ocr {
class PageTextCache;
}

class TesseractEngine : public RecognitionEngine {
public:
    // cache: where recognised pages are kept and looked up (none when null; the viewer's
    // engine uses PageTextCache::shared()).
    explicit TesseractEngine(std::shared_ptr<ocr::PageTextCache> cache = {});
    ~TesseractEngine() override;
    TesseractEngine(const TesseractEngine&) = delete;
    TesseractEngine& operator=(const TesseractEngine&) = delete;

    int initialise(QString& folder) override;
    int convert(const QString& source, const QString& target, int destination, int format) override;
    bool busy() const override;
    void setReadTextLayers(bool read) override;
    void cancel() override;

    // Recognises a document without exporting it; same result codes as convert().
    int recognize(const QString& source, ocr::RecognizedDocument& document);

    // Language(s) as Tesseract names them ("eng", "eng+deu"); set before initialise().
    void setLanguage(const QString& language);
    QString language() const;
    // 1-based page numbers to recognise, in any order (kept sorted); empty = every page.
    // Numbers beyond the document's end are ignored.
    void setPages(const QVector<int>& pages);
    // Worker threads; 0 = one per processor core.
    void setThreadCount(int threads);
    int threadCount() const;
    // Folders searched for the system's language data, in order.
    void setSystemDataFolders(const QStringList& folders);
    static QStringList defaultSystemDataFolders();
    // The folder the language data came from ("" before a successful initialise()).
    QString dataFolder() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace ktdv
