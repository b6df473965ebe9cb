#pragma once
// The text of a document's pages, recognised in the background with Tesseract.
//
// Pages asked for wait in a queue on the UI thread, the most urgent first; at most one
// page per worker is handed to a private thread pool of at most one thread per core, whose
// threads run at a low priority. A worker opens the document, reads the page from the
// page-text cache or decodes and recognises it (and stores it there), and turns it into
// words with boxes on the page as decoded; the result comes back to the UI thread, which
// keeps it and raises the page-ready handler. The UI thread never waits for a worker:
// another document (or none) cancels the pages under way and drops their results; only
// the destructor waits for the pages under way, which stop their word recognition at once.
// Nothing is ever written to the document.

#include "interfaces/pagetext.h"
#include "ocr/recognizeddocument.h"

#include <QString>

#include <memory>

namespace ktdv {

namespace ocr {
class PageTextCache;
}

class TesseractPageText final : public PageTextProvider {
public:
    // appFolder: its "doZed" folder holds the language data when it has any, as for the
    // engine (default: the application's folder); cache: null for the process's cache.
    explicit TesseractPageText(QString appFolder = {},
                               std::shared_ptr<ocr::PageTextCache> cache = {});
    ~TesseractPageText() override;
    TesseractPageText(const TesseractPageText&) = delete;
    TesseractPageText& operator=(const TesseractPageText&) = delete;

    void setDocument(const QString& path) override;
    QString document() const override;
    void request(const QVector<int>& pageIndexes) override;
    void requestAll(int firstIndex) override;
    void cancel() override;
    bool pageText(int pageIndex, PageText& text) const override;
    int pendingCount() const override;

    // Language(s) as Tesseract names them; taken at the next setDocument().
    void setLanguage(const QString& language);
    // Worker threads, at most the number of cores; 0 = one per core.
    void setThreadCount(int threads);

private:
    void dispatch();
    void opened(int pageCount);
    void finished(int pageIndex, const PageText& text);
    struct Private;
    std::unique_ptr<Private> d;
};

// The words of a recognised page in reading order, with their lines counted over the page,
// their boxes on the page as decoded.
PageText pageTextOf(const ocr::RecognizedPage& page);

}  // namespace ktdv
