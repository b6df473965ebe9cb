#pragma once
// The page view's document: the open file, the page shown (decoded, then turned and
// flipped), page navigation, its neighbours fetched in the background, writing a turned
// page into its file, and printing. What a change means for the widget (layout, painting)
// it leaves to its host, the page view.
//
// Threads: UI thread only. Decoding of neighbouring pages runs in the background and only
// fills the shared page cache.

#include <QImage>
#include <QRect>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include <functional>
#include <memory>

#include "imaging/pagecache.h"
#include "imaging/tiffwriter.h"
#include "interfaces/editordocument.h"

class QWidget;

namespace ktdv {

class PromptService;
namespace imaging {
class BackgroundWork;
class Document;
class EditHistory;
}  // namespace imaging

class PageDocument final : public EditorDocument {
public:
    // What the page view does when the shown page changes.
    class Host {
    public:
        // The shown page went away, before another one is shown.
        virtual void pageDropped() = 0;
        // A page was shown, or none could be: the page is laid out and painted again.
        virtual void pageShown() = 0;
        // The shown page was turned a quarter, or flipped.
        virtual void pageTurned(bool quarter) = 0;
        // The document was closed and the memory of its page given back.
        virtual void documentReleased() = 0;
        // The shown page was cleared, the document kept.
        virtual void pageCleared() = 0;
        // The text of a new text frame is being typed.
        virtual bool typing() const = 0;
        // A part of the page drawn in the background is ready: drawn again.
        virtual void pageRedrawn() = 0;

    protected:
        ~Host() = default;
    };

    // dialogParent: the parent of the print dialog.
    PageDocument(Host& host, QWidget& dialogParent, std::shared_ptr<PromptService> prompts);
    ~PageDocument() override;

    QString imagePath() const override { return m_path; }
    void setImagePath(const QString& path) override;
    int pageIndex() const override { return m_pageIndex; }
    void setPageIndex(int index) override;
    int pageCount() const override;
    void setNavigateTo(const QString& where) override;
    QString navigateTo() const override { return QString::number(m_navigateTarget); }

    // True while the text of a new text frame is being typed.
    bool busy() const override { return m_host.typing(); }

    void clearImage() override;
    void resetDocument(int flags) override;
    void releaseImage() override;

    void rotateLeft() override;
    void rotateRight() override;
    void flip() override;
    bool savePageChanges(int pageIndex, int pageCount) override;

    QString getFileAttributes(const QString& path) override;

    void printDocument(bool& printAnnotations) override;

    // The page as shown: decoded, then turned and flipped; null without a page.
    const QImage& shownPage() const { return m_page; }
    // Resolution of the shown page (swapped by quarter turns).
    QSizeF dpi() const { return m_dpi; }
    // Net turn of the shown page since it was loaded.
    const QTransform& turn() const { return m_turn; }
    // Pages drawn afresh at the size they are shown (PDF) rather than scaled from the
    // decoded page.
    bool drawsAfresh() const;
    // Draws part (device pixels of the page shown at size target, turned as shown) afresh;
    // a null image while a large part is being drawn in the background (pageRedrawn()
    // follows when it is ready).
    QImage drawShown(QSize target, const QRect& part);
    // A zone of the shown page (pixels of the shown page) drawn afresh at dpi; null when
    // the page is not drawn afresh.
    QImage drawZone(const QRect& zone, double dpi) const;
    // The open document; null when none is.
    const imaging::Document* doc() const { return m_doc.get(); }
    // Page decodes this view did itself (cache misses), since it was created.
    int decodeCount() const { return m_decodeCount; }
    // What the view says about the shown page, painted over it: why it cannot be shown or
    // is incomplete, or that the pages after it cannot be read; "" when all is well.
    const QString& pageMessage() const { return m_pageMessage; }
    // Why the last file given could not be shown, with its name, for the empty view; ""
    // once a file is shown, or after the document is released.
    const QString& loadFailure() const { return m_loadFailure; }
    // The shown page reached the screen: its neighbours may be fetched now.
    void pagePainted();
    // The view rewrote the shown file's tags: the file is opened again, the decoded page is
    // kept. Returns the document read before when its pages are still the file's, so what
    // was read from it holds; null when the file is not the same document any more.
    std::shared_ptr<const imaging::Document> adoptRewrittenFile();
    // Where this view's changes to a document are recorded; null for nowhere.
    void setEditHistory(std::shared_ptr<imaging::EditHistory> history) {
        m_history = std::move(history);
    }
    const std::shared_ptr<imaging::EditHistory>& editHistory() const { return m_history; }

private:
    // why: set to the reason when the file, or the page, cannot be read at all.
    bool openDocument(const QString& path, QString* why);
    // Opens a document that asks for a password, asking the user for it.
    std::shared_ptr<const imaging::Document> openLocked(const QString& path, QString* why);
    bool showPage(int index, QString* why = nullptr);
    // Draws part of the page shown at size target, on any thread.
    std::function<QImage()> drawing(QSize target, const QRect& part) const;
    // No document: the view is left empty and says why.
    void refuse(const QString& path, const QString& why);
    void prefetchNeighbours();
    void prefetchNeighboursNow();
    void dropPage();
    void quarterTurn(bool clockwise);
    imaging::WriteResult writeTurnedPage(const QString& path, int index, bool quarterTurn);

    Host& m_host;
    QWidget& m_dialogParent;
    std::shared_ptr<PromptService> m_prompts;
    std::shared_ptr<imaging::EditHistory> m_history;

    std::shared_ptr<const imaging::Document> m_doc;
    QString m_path;
    int m_pageIndex = 0;
    int m_navigateTarget = 0;
    QImage m_page;          // shown page: decoded, turned, flipped
    QString m_pageMessage;  // see pageMessage()
    QString m_loadFailure;  // see loadFailure()
    QSizeF m_dpi{96, 96};   // of the shown page (swapped by quarter turns)
    QTransform m_turn;      // net turn of the shown page since it was loaded
    int m_decodeCount = 0;

    // Neighbouring pages are fetched after the next paint, once around each shown page.
    bool m_prefetchPending = false;
    std::weak_ptr<const imaging::Document> m_prefetchedDoc;
    int m_prefetchedPage = -1;
    // The page shown last, so reloading it needs neither the shared cache nor a decode.
    imaging::PageKey m_lastKey;
    QImage m_lastImage;

    // The part drawn afresh last, and the one being drawn in the background.
    struct Drawn {
        imaging::PageKey page;
        QSize target;
        QRect part;
        QTransform turn;
        bool operator==(const Drawn&) const = default;
    };
    Drawn m_drawnKey;
    QImage m_drawn;
    Drawn m_drawingKey;
    std::unique_ptr<imaging::BackgroundWork> m_drawing;
};

}  // namespace ktdv
