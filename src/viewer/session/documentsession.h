#pragma once
// The document session: loading a document or one of its pages into the page view,
// closing it, and what each load found out about the document. The kind, the page count
// and the read-only state are decided once per load and kept here; the status bar and
// the "bReadOnly" setting are written from them, never read back. UI thread only.

#include <QString>
#include <QtGlobal>

namespace ktdv {

class ViewerControl;

class DocumentSession {
public:
    explicit DocumentSession(ViewerControl& viewer);

    // Loads page pageIndex of path, or of a file chosen in the open dialog when path is
    // "nopath", and brings the toolbars and the status bar in line with it. callerTag is
    // not examined. Failures are reported (LoadImage: Error) and end the load.
    void LoadPage(QString& path, const QString& callerTag, qint32 pageIndex);
    // Loads page pageIndex of the document the page view shows.
    void reloadPage(qint64 pageIndex);
    // Shows the shown page again as its file now holds it (after an annotation changed),
    // at the zoom and scroll position it had.
    void refreshPage();
    // Saves a turned page if asked to, then empties the page view and the status bar.
    void close();
    // Saves the shown page when it was turned, the document is a writable TIFF and the
    // setting "chkSaveTIF" is 1; true when it did.
    bool saveTurnedPage();
    // The shown page is about to be replaced: a turned page is saved as above and the
    // thumbnails show the file as saved.
    void leavePage();

    // What the last load found: a TIFF or fax document, its page count (1 for an image),
    // whether its file is read-only (true before any load).
    bool tiff() const { return m_tiff; }
    // A PDF document: paged like a TIFF one, read-only to the viewer.
    bool pdf() const { return m_pdf; }
    // Several pages, thumbnails and page ranges: a TIFF or a PDF document.
    bool paged() const { return m_tiff || m_pdf; }
    int pageCount() const { return m_pageCount; }
    bool readOnly() const { return m_readOnly; }

    // The shown page was rotated or flipped since it was loaded.
    bool pageModified() const { return m_pageModified; }
    void setPageModified(bool modified) { m_pageModified = modified; }

    // A file that holds a TIFF document (a fax in a TIFF file included), whatever its name:
    // only those have several pages, annotations and thumbnails.
    static bool isTiffDocument(const QString& path);
    // A file that holds a PDF document, whatever its name.
    static bool isPdfDocument(const QString& path);
    static bool isPagedDocument(const QString& path) {
        return isTiffDocument(path) || isPdfDocument(path);
    }
    // Why the tools that change a document are off for a PDF document (a tooltip).
    static QString pdfReadOnlyReason();

private:
    void forgetDocument();
    void clearStatus();

    ViewerControl& m_viewer;
    bool m_tiff = false;
    bool m_pdf = false;
    int m_pageCount = 0;
    bool m_readOnly = true;
    bool m_pageModified = false;
    bool m_keepView = false;  // the load in progress keeps the zoom and scroll position
};

}  // namespace ktdv
