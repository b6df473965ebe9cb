// Loading documents and pages into the view, page navigation, page turns, and writing a
// turned page back into its file.
#include "widgets/pageview/pagedocument.h"

#include <QCoreApplication>

#include <QFileInfo>
#include <QHash>
#include <QTimer>
#include <QWidget>

#include <mutex>

#include "imaging/annotationgeometry.h"
#include "imaging/annotationstore.h"
#include "imaging/backgroundwork.h"
#include "imaging/document.h"
#include "imaging/edithistory.h"
#include "imaging/tiffpageedit.h"
#include "platform/busycursor.h"
#include "platform/promptservice.h"
#include "widgets/pageview/fileattributes.h"
#include "widgets/pageview/pageturn.h"

namespace ktdv {

namespace {

constexpr double kInchesPerMeter = 0.0254;

imaging::PageKey keyOf(const imaging::Document& doc, int page) {
    return {doc.path(), doc.fileSize(), doc.modified().toMSecsSinceEpoch(), page};
}

// Neighbouring pages being decoded in the background, so one page is not decoded twice:
// a view that needs one of them takes it over when no worker has begun it, or waits for
// it. A task touches only the document and the shared cache, never a widget, and stays
// here until its page is in the cache (or failed).
std::mutex& inFlightMutex() {
    static std::mutex m;
    return m;
}
QHash<QString, imaging::TaskHandle>& inFlight() {  // under inFlightMutex()
    static QHash<QString, imaging::TaskHandle> tasks;
    return tasks;
}
QString inFlightName(const imaging::PageKey& k) {
    return k.path + QLatin1Char('|') + QString::number(k.fileSize) + QLatin1Char('|') +
           QString::number(k.modifiedMs) + QLatin1Char('|') + QString::number(k.page);
}

void prefetch(std::shared_ptr<const imaging::Document> doc, int page) {
    const imaging::PageKey key = keyOf(*doc, page);
    if (imaging::PageCache::shared().find(key))
        return;
    const QString name = inFlightName(key);
    // Held while the task is queued, so it cannot remove its entry before it is made.
    const std::lock_guard<std::mutex> lock(inFlightMutex());
    if (inFlight().contains(name))
        return;
    inFlight().insert(name, imaging::runInBackground([doc = std::move(doc), page, key, name] {
                          const imaging::DecodedPage decoded = doc->decodePage(page);
                          if (decoded.ok() && decoded.complete)
                              imaging::PageCache::shared().insert(key, decoded.image);
                          const std::lock_guard<std::mutex> done(inFlightMutex());
                          inFlight().remove(name);
                      }));
}

// Waits for the page when it is being decoded in the background; false when it is not.
bool waitForPrefetch(const imaging::PageKey& key) {
    imaging::TaskHandle task;
    {
        const std::lock_guard<std::mutex> lock(inFlightMutex());
        task = inFlight().value(inFlightName(key));
    }
    if (!task)
        return false;
    // Still queued: decode it here rather than wait for a thread.
    if (!task->takeOver())
        task->wait();
    return true;
}

// A reason as the end of a sentence: "The file ends" becomes "the file ends"; a name in
// capitals ("TIFFReadEncodedStrip: ...") stays as it is.
QString asClause(const QString& reason) {
    if (reason.isEmpty())
        return QCoreApplication::translate("PageView", "its data cannot be read");
    if (reason.size() > 1 && reason.at(0).isUpper() && reason.at(1).isLower())
        return reason.at(0).toLower() + reason.mid(1);
    return reason;
}

}  // namespace

PageDocument::PageDocument(Host& host, QWidget& dialogParent,
                           std::shared_ptr<PromptService> prompts)
    : m_host(host), m_dialogParent(dialogParent), m_prompts(std::move(prompts)) {}

PageDocument::~PageDocument() = default;

int PageDocument::pageCount() const {
    return m_doc && !m_path.isEmpty() ? m_doc->pageCount() : 0;
}

bool PageDocument::openDocument(const QString& path, QString* why) {
    // Reuse the open document while the file is unchanged: the viewer reloads the current
    // page after every resize and page change.
    if (m_doc && m_doc->path() == path) {
        const QFileInfo info(path);
        if (info.exists() && info.size() == m_doc->fileSize() &&
            info.lastModified() == m_doc->modified())
            return true;
    }
    bool locked = false;
    m_doc = imaging::Document::open(path, why, QByteArray(), &locked);
    if (locked)
        m_doc = openLocked(path, why);
    return m_doc && m_doc->pageCount() > 0;
}

std::shared_ptr<const imaging::Document> PageDocument::openLocked(const QString& path,
                                                                  QString* why) {
    QString password;
    if (!m_prompts ||
        !m_prompts->password(&m_dialogParent,
                             QCoreApplication::translate("PageView",
                                                         "%1 is protected by a password. Enter "
                                                         "the password to open it:")
                                 .arg(QFileInfo(path).fileName()),
                             &password)) {
        if (why)
            *why = QCoreApplication::translate("PageView", "No password was given");
        return nullptr;
    }
    bool locked = false;
    auto doc = imaging::Document::open(path, why, password.toUtf8(), &locked);
    if (locked && why)
        *why = QCoreApplication::translate("PageView", "The password is not right");
    return doc;
}

bool PageDocument::showPage(int index, QString* why) {
    if (!m_doc || index < 0 || index >= m_doc->pageCount())
        return false;
    const imaging::PageKey key = keyOf(*m_doc, index);
    QImage image;
    bool complete = true;
    m_pageMessage.clear();
    if (key == m_lastKey && !m_lastImage.isNull()) {
        image = m_lastImage;  // the same page again: a resize or a reload after a change
    } else if (auto cached = imaging::PageCache::shared().find(key)) {
        image = *cached;
    } else if (auto fetched =
                   waitForPrefetch(key) ? imaging::PageCache::shared().find(key) : std::nullopt) {
        image = *fetched;
    } else {
        ++m_decodeCount;
        const imaging::DecodedPage decoded = m_doc->decodePage(index);
        // A page that cannot be decoded stays a page of the document: the view says what
        // is wrong with it where it would be. A partly decoded page is shown but not kept,
        // so the next load tries again.
        image = decoded.image;
        complete = decoded.ok() && decoded.complete;
        if (!decoded.ok() && why)
            *why = decoded.error;
        if (complete)
            imaging::PageCache::shared().insert(key, image);
        else
            m_pageMessage =
                (decoded.ok()
                     ? QCoreApplication::translate("PageView", "Page %1 is incomplete: %2")
                     : QCoreApplication::translate("PageView", "Page %1 cannot be shown: %2"))
                    .arg(index + 1)
                    .arg(asClause(decoded.error));
    }
    if (m_pageMessage.isEmpty() && index == m_doc->pageCount() - 1 &&
        !m_doc->directoryDamage().isEmpty())
        m_pageMessage =
            QCoreApplication::translate("PageView", "The pages after page %1 cannot be shown: %2")
                .arg(index + 1)
                .arg(asClause(m_doc->directoryDamage()));
    const imaging::PageInfo& info = m_doc->page(index);
    m_lastKey = key;
    m_lastImage = complete ? image : QImage();
    m_page = image;
    m_dpi = info.dpi;
    if (m_dpi.width() <= 0 || m_dpi.height() <= 0) {
        const double dx = image.dotsPerMeterX() * kInchesPerMeter;
        const double dy = image.dotsPerMeterY() * kInchesPerMeter;
        m_dpi = dx > 0 && dy > 0 ? QSizeF(dx, dy) : QSizeF(96, 96);
    }
    m_pageIndex = index;
    m_navigateTarget = index;
    m_turn.reset();
    // The scaled page is kept: reloading the same page at the same zoom (after a resize or
    // an annotation change) paints what is already scaled.
    return true;
}

void PageDocument::prefetchNeighbours() {
    // After the next paint: the page on the screen comes first.
    m_prefetchPending = m_doc != nullptr;
}

void PageDocument::pagePainted() {
    if (!m_prefetchPending)
        return;
    // Neighbouring pages are decoded once the page is on the screen, so they do not compete
    // with showing it.
    m_prefetchPending = false;
    QTimer::singleShot(0, &m_dialogParent, [this] { prefetchNeighboursNow(); });
}

void PageDocument::prefetchNeighboursNow() {
    if (!m_doc || m_path.isEmpty())
        return;
    const bool sameDoc = m_prefetchedDoc.lock() == m_doc;
    if (sameDoc && m_prefetchedPage == m_pageIndex)
        return;  // a reload of the same page: already fetched around it
    // Paging on fetches two pages ahead in its direction, so a page being shown and the
    // next being decoded keep both cores busy; otherwise one page either side.
    int ahead[2] = {m_pageIndex + 1, m_pageIndex - 1};
    if (sameDoc && m_prefetchedPage >= 0 && m_pageIndex != m_prefetchedPage) {
        const int step = m_pageIndex > m_prefetchedPage ? 1 : -1;
        ahead[0] = m_pageIndex + step;
        ahead[1] = m_pageIndex + 2 * step;
    }
    m_prefetchedDoc = m_doc;
    m_prefetchedPage = m_pageIndex;
    for (int page : ahead) {
        if (page >= 0 && page < m_doc->pageCount())
            prefetch(m_doc, page);
    }
}

void PageDocument::dropPage() {
    m_page = QImage();
    m_pageMessage.clear();
    m_turn.reset();
    m_host.pageDropped();
}

void PageDocument::setImagePath(const QString& path) {
    dropPage();
    m_path.clear();
    m_loadFailure.clear();
    QString why;
    if (path.isEmpty() || !openDocument(path, &why)) {
        refuse(path, why);
        return;
    }
    // A document whose only page cannot be decoded at all has nothing to show; one of
    // several pages keeps its document, and the view says what is wrong with the page.
    const int index = qBound(0, m_pageIndex, m_doc->pageCount() - 1);
    if (!showPage(index, &why) || (m_page.isNull() && m_doc->pageCount() == 1)) {
        refuse(path, why);
        return;
    }
    m_path = path;
    m_host.pageShown();
    prefetchNeighbours();
}

void PageDocument::refuse(const QString& path, const QString& why) {
    m_doc.reset();
    m_page = QImage();
    m_pageMessage.clear();
    if (!path.isEmpty()) {
        QString reason = why;
        if (reason.isEmpty())
            reason = QCoreApplication::translate("PageView", "Its data cannot be read");
        if (!reason.endsWith(QLatin1Char('.')))
            reason += QLatin1Char('.');
        m_loadFailure = QCoreApplication::translate("PageView", "%1 could not be shown.\n%2")
                            .arg(QFileInfo(path).fileName(), reason);
    }
    m_host.pageShown();
}

void PageDocument::setPageIndex(int index) {
    m_pageIndex = qMax(0, index);
    m_navigateTarget = m_pageIndex;
    if (m_path.isEmpty() || !m_doc)
        return;
    const int clamped = qBound(0, index, m_doc->pageCount() - 1);
    dropPage();
    if (!showPage(clamped)) {
        // The page cannot be decoded: the document is not shown any more.
        m_path.clear();
        m_doc.reset();
    } else {
        prefetchNeighbours();
    }
    m_host.pageShown();
}

void PageDocument::setNavigateTo(const QString& where) {
    const int count = pageCount();
    const int last = qMax(0, count - 1);
    int target = m_pageIndex;
    if (where == QLatin1String("FirstPage"))
        target = 0;
    else if (where == QLatin1String("PreviousPage"))
        target = m_pageIndex - 1;
    else if (where == QLatin1String("NextPage"))
        target = m_pageIndex + 1;
    else if (where == QLatin1String("LastPage"))
        target = last;
    m_navigateTarget = qBound(0, target, last);
}

void PageDocument::clearImage() {
    // The scroll bars follow at the next syncView() or page shown: a reload of the same
    // page (after every resize) then leaves them as they are instead of hiding them and
    // laying the view out twice.
    dropPage();
    m_path.clear();
    m_host.pageCleared();
}

void PageDocument::resetDocument(int flags) {
    Q_UNUSED(flags);
    releaseImage();
}

void PageDocument::releaseImage() {
    dropPage();
    m_loadFailure.clear();
    m_lastImage = QImage();
    m_lastKey = {};
    m_drawn = QImage();
    m_drawnKey = {};
    m_path.clear();
    m_doc.reset();
    m_host.documentReleased();
}

bool PageDocument::savePageChanges(int pageIndex, int pageCount) {
    Q_UNUSED(pageCount);
    if (!m_doc || m_path.isEmpty() || m_page.isNull() || pageIndex != m_pageIndex)
        return false;
    if (m_doc->format() != imaging::FileFormat::Tiff &&
        m_doc->format() != imaging::FileFormat::RawFaxG3)
        return false;
    if (fileAttributeLetters(m_path).contains(QLatin1Char('R')))
        return false;
    if (m_turn.isIdentity())
        return true;  // nothing turned, the file already holds the page
    const bool quarter = qFuzzyIsNull(m_turn.m11());
    const QString path = m_path;
    const BusyCursor busy;
    const imaging::WriteResult result = writeTurnedPage(path, pageIndex, quarter);
    imaging::PageCache::shared().removeFile(path);
    m_lastImage = QImage();
    if (!result.ok)
        return false;
    // The file now holds the page as shown.
    m_turn.reset();
    m_doc = imaging::Document::open(path);
    if (!m_doc)
        m_path.clear();
    return true;
}

QString PageDocument::getFileAttributes(const QString& path) {
    return fileAttributeLetters(path);
}

void PageDocument::quarterTurn(bool clockwise) {
    if (m_page.isNull())
        return;
    m_page = pageturn::quarterTurn(m_page, clockwise);
    m_dpi.transpose();
    m_turn = m_turn * (clockwise ? QTransform(0, 1, -1, 0, 0, 0) : QTransform(0, -1, 1, 0, 0, 0));
    m_host.pageTurned(true);
}

void PageDocument::rotateLeft() {
    quarterTurn(false);
}

void PageDocument::rotateRight() {
    quarterTurn(true);
}

void PageDocument::flip() {
    if (m_page.isNull())
        return;
    m_page = pageturn::flipVertical(m_page);
    m_turn = m_turn * QTransform(1, 0, 0, -1, 0, 0);
    m_host.pageTurned(false);
}

imaging::WriteResult PageDocument::writeTurnedPage(const QString& path, int index,
                                                   bool quarterTurn) {
    // The page's annotations turn with it, in the same write as its image.
    const auto write = [&] {
        const QByteArray stored = imaging::readPageTag(path, index, imaging::kAnnotationTag);
        QByteArray turned;
        if (!stored.isEmpty() &&
            imaging::turnStoredAnnotations(stored, pageturn::storedSize(m_page, m_turn), m_turn,
                                           &turned) &&
            turned != stored)
            return imaging::replacePageImage(path, index, m_page, quarterTurn,
                                             imaging::kAnnotationTag, turned);
        return imaging::replacePageImage(path, index, m_page, quarterTurn);
    };
    if (!m_history)
        return write();
    // A turn that mirrors the page is a flip, any other one a rotation.
    const bool mirrored = m_turn.determinant() < 0;
    const QString name =
        (mirrored ? QCoreApplication::translate("ktdv::EditHistory", "Flip Page %1")
                  : QCoreApplication::translate("ktdv::EditHistory", "Rotate Page %1"))
            .arg(index + 1);
    return m_history->changePage(path, index, name, write);
}

std::shared_ptr<const imaging::Document> PageDocument::adoptRewrittenFile() {
    // Only tags changed: the decoded page is still right, so it is kept under the file's
    // new identity and a reload does not decode it again.
    auto doc = imaging::Document::open(m_path);
    if (!doc || doc->pageCount() != pageCount()) {
        imaging::PageCache::shared().removeFile(m_path);
        m_lastImage = QImage();
        m_lastKey = {};
        m_doc = doc;
        if (!m_doc)
            m_path.clear();
        return nullptr;
    }
    if (!m_lastImage.isNull() && m_lastKey.page == m_pageIndex && m_lastKey.path == m_path)
        m_lastKey = keyOf(*doc, m_pageIndex);
    std::shared_ptr<const imaging::Document> before = std::move(m_doc);
    m_doc = doc;
    return before;
}

}  // namespace ktdv
