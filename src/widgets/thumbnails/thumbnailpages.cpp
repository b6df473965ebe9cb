// Deleting and moving pages of the document from the thumbnail column. The file is changed
// losslessly by the imaging layer; the pane then shows the new state and tells the host.

#include <QFileInfo>

#include <functional>

#include "imaging/backgroundwork.h"
#include "imaging/document.h"
#include "imaging/edithistory.h"
#include "imaging/pagecache.h"
#include "imaging/tiffpageedit.h"
#include "platform/busycursor.h"
#include "platform/promptservice.h"
#include "widgets/thumbnails/thumbnailview.h"

namespace ktdv {

namespace {

bool isReadOnly(const QString& path) {
    const QFileInfo info(path);
    const auto writeBits =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return !info.exists() || !info.isWritable() || !(info.permissions() & writeBits);
}

// Rewriting a long document takes seconds. The rewrite runs in the background while this
// thread goes on painting the window behind the wait cursor; the user's input waits until
// it is done, so nothing can change the document meanwhile, and the caller gets the result
// as from a plain call.
imaging::WriteResult rewriteKeepingWindowPainted(
    const std::function<imaging::WriteResult()>& rewrite) {
    const BusyCursor busy;
    return imaging::runHoldingInput(rewrite);
}

}  // namespace

QString ThumbnailView::pdfReadOnlyText() {
    return tr("Not available: PDF documents are read-only in this viewer.");
}

bool ThumbnailView::refuseChange(bool deleting) {
    const bool pdf = m_store.document() && m_store.document()->format() == imaging::FileFormat::Pdf;
    if (!pdf && !isReadOnly(m_store.documentPath())) {
        return false;
    }
    if (m_prompts && pdf) {
        m_prompts->message(this, pdfReadOnlyText());
    } else if (m_prompts) {
        m_prompts->message(this, deleting ? tr("The document is read-only. No page can be deleted.")
                                          : tr("The document is read-only. No page can be moved."));
    }
    return true;
}

void ThumbnailView::deletePageAt(int index) {
    if (!m_store.document() || index < 0 || index >= m_store.count()) {
        return;
    }
    const int page = m_store.at(index).page;
    if (refuseChange(true)) {
        raiseDeleted(false);
        return;
    }
    if (m_store.pageCount() <= 1) {
        if (m_prompts) {
            m_prompts->message(this, tr("The only page of a document cannot be deleted."));
        }
        raiseDeleted(false);
        return;
    }
    if (!m_prompts) {
        return;  // nobody to confirm: never delete unasked
    }
    const QPointer<ThumbnailView> self(this);
    const QString path = m_store.documentPath();
    const std::shared_ptr<imaging::EditHistory> history = m_history;
    const bool undoable = history && history->records(path);
    const QString question =
        undoable ? tr("Delete page %1 from the document?\nThe document file is changed; Undo "
                      "brings the page back.")
                 : tr("Delete page %1 from the document?\nThe document file is changed; this "
                      "cannot be undone.");
    const bool confirmed =
        m_prompts->question(this, tr("Delete Page"), question.arg(page + 1), true);
    if (!self || !confirmed || m_store.documentPath() != path) {
        return;
    }

    const imaging::WriteResult result = rewriteKeepingWindowPainted([&path, &history, page] {
        return history ? history->deletePage(path, page) : imaging::deletePage(path, page);
    });
    if (!self)
        return;  // the host closed the pane meanwhile
    if (!result.ok) {
        m_prompts->message(this,
                           tr("Page %1 could not be deleted: %2").arg(page + 1).arg(result.error));
        raiseDeleted(false);
        return;
    }
    reloadAfterChange(index);
    raiseDeleted(true);
}

void ThumbnailView::movePage(int index, int delta) {
    if (!m_store.document() || index < 0 || index >= m_store.count() || delta == 0) {
        return;
    }
    const int from = m_store.at(index).page;
    const int to = from + delta;
    if (to < 0 || to >= m_store.pageCount()) {
        return;  // already first or last: nothing to do
    }
    if (refuseChange(false)) {
        raiseMoved(false);
        return;
    }
    const QPointer<ThumbnailView> self(this);
    const QString path = m_store.documentPath();
    const std::shared_ptr<imaging::EditHistory> history = m_history;
    const imaging::WriteResult result = rewriteKeepingWindowPainted([&path, &history, from, to] {
        return history ? history->movePage(path, from, to) : imaging::movePage(path, from, to);
    });
    if (!self)
        return;  // the host closed the pane meanwhile
    if (!result.ok) {
        if (m_prompts) {
            m_prompts->message(
                this, tr("Page %1 could not be moved: %2").arg(from + 1).arg(result.error));
        }
        raiseMoved(false);
        return;
    }
    // The selection follows the page, into the next range when it leaves the shown one.
    if (to < m_firstPage || to >= m_firstPage + kRangeSize)
        m_firstPage = to - to % kRangeSize;
    reloadAfterChange(to - m_firstPage);
    raiseMoved(true);
}

void ThumbnailView::reloadAfterChange(int selectIndex) {
    // Pages decoded before the change are stale even where the rewrite kept the file's size
    // and time stamp (two edits within one tick of the file system's clock).
    imaging::PageCache::shared().removeFile(m_store.documentPath());
    m_selected = selectIndex;  // clamped to the new range by the rebuild
    m_store.open(m_store.documentPath());
    rebuildRange();
}

void ThumbnailView::raiseDeleted(bool ok) {
    if (m_handlers.pageDeleted) {
        bool value = ok;
        m_handlers.pageDeleted(value);
    }
}

void ThumbnailView::raiseMoved(bool ok) {
    if (m_handlers.pageMoved) {
        bool value = ok;
        m_handlers.pageMoved(value);
    }
}

}  // namespace ktdv
