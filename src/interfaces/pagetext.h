#pragma once
// The text of a document's pages as the viewer sees it: words with their boxes, found by
// recognition in the background (or read from a text layer), kept in a per-user cache so a
// page is never recognised twice. All members are called on the UI thread only; handlers
// are raised on the UI thread.

#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

#include <functional>
#include <utility>

namespace ktdv {

// One word. box: pixels of the page as stored in the file (origin top left, before any
// turn or flip the view shows); line: index of the word's line on the page, so words of
// one line share it; confidence 0..100.
struct PageTextWord {
    QString text;
    QRect box;
    int line = 0;
    float confidence = 0;
};

// The text of one page: its words in reading order.
struct PageText {
    QSize pageSize;  // pixels of the page as stored
    QVector<PageTextWord> words;
};

class PageTextProvider {
public:
    virtual ~PageTextProvider() = default;

    // The document whose pages are served ("" for none). Work queued for the document
    // before is dropped; pages already known stay in the cache.
    virtual void setDocument(const QString& path) = 0;
    virtual QString document() const = 0;

    // Asks for the text of pages (0-based), the most urgent first; pages already known or
    // under way are not asked again, and pages queued before move behind these.
    virtual void request(const QVector<int>& pageIndexes) = 0;
    // Asks for every page of the document, starting at firstIndex and going outwards.
    virtual void requestAll(int firstIndex) = 0;
    // Stops asking: queued pages are dropped, pages under way finish.
    virtual void cancel() = 0;

    // True, with the text, when the page's text is known.
    virtual bool pageText(int pageIndex, PageText& text) const = 0;
    // Pages asked for whose text is not known yet.
    virtual int pendingCount() const = 0;

    // Raised on the UI thread when a page's text becomes known.
    using PageReadyHandler = std::function<void(int pageIndex)>;
    void setPageReadyHandler(PageReadyHandler handler) { m_onPageReady = std::move(handler); }

protected:
    const PageReadyHandler& onPageReady() const { return m_onPageReady; }

private:
    PageReadyHandler m_onPageReady;
};

}  // namespace ktdv
