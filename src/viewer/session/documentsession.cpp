#include "viewer/session/documentsession.h"

#include <QCoreApplication>
#include <QScopedValueRollback>

#include "imaging/document.h"
#include "interfaces/annotationrecord.h"
#include "interfaces/imageeditor.h"
#include "interfaces/thumbnailpane.h"
#include "platform/promptservice.h"
#include "platform/settingsstore.h"
#include "viewer/core/errors.h"
#include "viewer/core/statusbar.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/find/textfind.h"
#include "viewer/navigation/pagenavigation.h"
#include "viewer/thumbnails/thumbnailevents.h"
#include "viewer/toolbars/toolbar.h"
#include "viewer/toolbars/toolbarstates.h"
#include "viewer/undo/undoredo.h"
#include "viewer/view/pagecommands.h"

namespace ktdv {

namespace {

// The open dialog's filter: the long-standing entries first, as they always were, then one
// entry for each further kind the page view reads (a kind joins this list when it does).
const char* const kFurtherKinds[][2] = {
    {QT_TRANSLATE_NOOP("ktdv::DocumentSession", "PNG Images "), "*.png"},
    {QT_TRANSLATE_NOOP("ktdv::DocumentSession", "PDF Documents "), "*.pdf"},
};

QString openFilter() {
    QString filter = QCoreApplication::translate("ktdv::DocumentSession", "Image Files ") +
                     QStringLiteral("|*.bmp;*.gif;*.jpg;*.jpeg;*.tif;*.tiff;*.fax|") +
                     QCoreApplication::translate("ktdv::DocumentSession", "All files ") +
                     QStringLiteral("|*.*");
    for (const auto& [name, patterns] : kFurtherKinds)
        filter += QLatin1Char('|') + QCoreApplication::translate("ktdv::DocumentSession", name) +
                  QLatin1Char('|') + QLatin1String(patterns);
    return filter;
}

}  // namespace

DocumentSession::DocumentSession(ViewerControl& viewer) : m_viewer(viewer) {}

bool DocumentSession::isTiffDocument(const QString& path) {
    return imaging::detectFormat(path) == imaging::FileFormat::Tiff;
}

bool DocumentSession::isPdfDocument(const QString& path) {
    return imaging::detectFormat(path) == imaging::FileFormat::Pdf;
}

QString DocumentSession::pdfReadOnlyReason() {
    return QCoreApplication::translate(
        "ktdv::DocumentSession", "Not available: PDF documents are read-only in this viewer.");
}

void DocumentSession::forgetDocument() {
    m_tiff = false;
    m_pdf = false;
    m_pageCount = 0;
}

void DocumentSession::reloadPage(qint64 pageIndex) {
    QString path = m_viewer.widgets().editor->document().imagePath();
    LoadPage(path, QStringLiteral("OpenImage"), toInt32(pageIndex));
}

void DocumentSession::refreshPage() {
    const QScopedValueRollback<bool> keep(m_keepView, true);
    reloadPage(m_viewer.widgets().editor->document().pageIndex());
}

bool DocumentSession::saveTurnedPage() {
    EditorDocument& document = m_viewer.widgets().editor->document();
    if (document.imagePath().isEmpty() || !m_tiff || m_readOnly || !m_pageModified ||
        m_viewer.settings().readDouble(settings::SaveTiffEdits) != 1)
        return false;
    document.savePageChanges(document.pageIndex(), document.pageCount());
    return true;
}

void DocumentSession::leavePage() {
    if (saveTurnedPage()) {
        m_pageModified = false;
        m_viewer.thumbnails().RefreshThumbnails();
    }
}

void DocumentSession::close() {
    ImageEditor& editor = *m_viewer.widgets().editor;
    EditorDocument& document = editor.document();
    saveTurnedPage();
    document.clearImage();
    editor.view().syncView();
    forgetDocument();
    m_viewer.toolbars().SetToolbarState(false, false);
    clearStatus();
    document.resetDocument(0);
    document.releaseImage();
}

void DocumentSession::clearStatus() {
    for (const char* key : {"ImagePath", "ZoomFactor", "PageNumber", "FileAttributes"})
        m_viewer.widgets().statusBar->setText(QString::fromLatin1(key), QString());
}

void DocumentSession::LoadPage(QString& path, const QString& callerTag, qint32 pageIndex) {
    Q_UNUSED(callerTag)
    ViewerModuleState& g = moduleState();
    const ViewerWidgets& w = m_viewer.widgets();
    ImageEditor& editor = *w.editor;
    EditorDocument& document = editor.document();
    Toolbar& ocr = *w.ocrToolbar;
    ToolbarStates& toolbars = m_viewer.toolbars();
    try {
        document.setPageIndex(pageIndex);
        m_pageModified = false;

        if (path != QLatin1String("nopath")) {
            g.setImagePath(path);
        } else {
            FileDialogRequest request;
            request.save = false;
            request.filter = openFilter();
            request.fileName = QString();
            request.maxFileNameLength = 260;
            request.flags = 4096 | 4;
            g.setImagePath(m_viewer.prompts().fileDialog(&m_viewer, request).fileName);
        }
        if (g.imagePath().isEmpty())
            return;

        const bool isTiff = isTiffDocument(g.imagePath());
        const bool isPdf = !isTiff && isPdfDocument(g.imagePath());
        const bool paged = isTiff || isPdf;

        document.clearImage();
        document.setImagePath(g.imagePath());
        if (document.imagePath().isEmpty()) {
            forgetDocument();
            document.clearImage();
            editor.view().syncView();
            toolbars.SetToolbarState(false, false);
            w.thumbs->setCurrentPage(-1);
            // Nothing is shown, so the panels say nothing (the view says why).
            clearStatus();
            m_viewer.undoRedo().followDocument();
            m_viewer.textFind().followShownPage();
            return;
        }
        m_tiff = isTiff;
        m_pdf = isPdf;
        m_pageCount = 1;
        if (paged) {
            if (pageIndex != 0)
                document.setPageIndex(pageIndex);
            m_pageCount = document.pageCount();
            // A page the file no longer has (after a delete): its new last page instead.
            if (pageIndex >= m_pageCount && m_pageCount > 0) {
                pageIndex = toInt32(m_pageCount - 1);
                document.setPageIndex(pageIndex);
            }
        }

        const bool multiPage = m_pageCount >= 2;
        ocr.setEnabled(QStringLiteral("GoToPage"), multiPage);
        bool annotationsLoaded = false;
        if (isTiff) {
            AnnotationRecord record;
            annotationsLoaded = editor.annotations().annotationCommand(
                QStringLiteral("load"), record, 0, g.imagePath(), pageIndex);
        }
        ocr.setEnabled(QStringLiteral("PrintAnnotations"), annotationsLoaded);

        if (!m_keepView) {
            // A document opened or another page: the default zoom, from the page's top.
            m_viewer.pageCommands().ApplyDefaultZoom();
            editor.view().setViewTop(0);
            editor.view().setViewLeft(0);
        }

        StatusPanels& status = *w.statusBar;
        status.setText(QStringLiteral("ImagePath"), g.imagePath());
        status.setText(QStringLiteral("PageNumber"),
                       QCoreApplication::translate("ktdv::DocumentSession", "%1 of %2")
                           .arg(pageIndex + 1)
                           .arg(m_pageCount == 0 ? 1 : m_pageCount));

        if (!isTiff) {
            toolbars.releaseAndDisable({"Select", "Stamp", "Text"});
        } else if (!m_readOnly && g.mayAnnotate()) {
            // Still the state of the previous load: the file's letters are read below.
            ocr.setValue(QStringLiteral("Select"), 0);
            ocr.setEnabled(QStringLiteral("Select"), true);
        }

        const QString attributes = document.getFileAttributes(g.imagePath());
        m_readOnly = attributes.contains(QLatin1Char('R'), Qt::CaseSensitive);
        status.setText(QStringLiteral("FileAttributes"),
                       m_readOnly ? attributes + QCoreApplication::translate(
                                                     "ktdv::DocumentSession", "  Read-only")
                                  : attributes);
        m_viewer.settings().writeBool(settings::ReadOnly, m_readOnly);

        toolbars.SetToolbarState(true, !paged);
        const bool first = pageIndex == 0;
        const bool last = pageIndex == m_pageCount - 1;
        toolbars.setNavigation(multiPage && !first, multiPage && !last);
        if (!isTiff || m_readOnly)
            toolbars.disableAnnotationTools(isPdf ? pdfReadOnlyReason() : QString());
        m_viewer.thumbnails().followShownPage(pageIndex);
        m_viewer.navigation().followShownPage(pageIndex);
        m_viewer.undoRedo().followDocument();
        m_viewer.textFind().followShownPage();
    } catch (...) {
        const ViewerError e = currentError();
        if (e.number() != ViewerError::kSilent)
            m_viewer.prompts().message(
                &m_viewer,
                errorReport(
                    QCoreApplication::translate("ktdv::DocumentSession", "LoadImage: Error ("), e));
    }
}

}  // namespace ktdv
