#include "viewer/find/textfind.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QShortcut>
#include <QToolBar>

#include "interfaces/imageeditor.h"
#include "interfaces/thumbnailpane.h"
#include "platform/twips.h"
#include "viewer/core/errors.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/find/findbar.h"
#include "viewer/layout/panelayout.h"
#include "viewer/session/documentsession.h"
#include "viewer/toolbars/toolbar.h"
#include "viewer/toolbars/toolbarstates.h"

namespace ktdv {

namespace {

// A magnifying glass, drawn as the toolbar's own pictures are.
QIcon findIcon() {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 19), QPointF(28, 28));
    p.setPen(QPen(QColor(40, 40, 40), 3));
    p.setBrush(QColor(200, 225, 255));
    p.drawEllipse(QPointF(13, 13), 9, 9);
    return QIcon(picture);
}

}  // namespace

TextFind::TextFind(ViewerControl& viewer, std::unique_ptr<PageTextProvider> provider)
    : m_viewer(viewer), m_provider(std::move(provider)) {
    if (!m_provider)
        return;
    m_provider->setPageReadyHandler([this](int page) { runUntrapped([&] { pageReady(page); }); });
    m_bar = new FindBar(&viewer);
    QObject::connect(m_bar, &FindBar::searchChanged, &m_receiver,
                     [this] { runUntrapped([this] { search(); }); });
    QObject::connect(m_bar, &FindBar::nextWanted, &m_receiver,
                     [this] { runUntrapped([this] { findNext(); }); });
    QObject::connect(m_bar, &FindBar::previousWanted, &m_receiver,
                     [this] { runUntrapped([this] { findPrevious(); }); });
    QObject::connect(m_bar, &FindBar::closeWanted, &m_receiver,
                     [this] { runUntrapped([this] { close(); }); });

    // At the free end of the main toolbar, after every button of its table.
    QToolBar* main = viewer.widgets().mainToolbar->widget();
    m_button = main->addAction(findIcon(), tr("Find Text"));
    m_button->setObjectName(QStringLiteral("FindText"));
    m_button->setToolTip(tr("Find Text (Ctrl+F)"));
    main->widgetForAction(m_button)->setObjectName(QStringLiteral("FindText"));
    QObject::connect(m_button, &QAction::triggered, &m_receiver,
                     [this] { runUntrapped([this] { open(); }); });

    const std::pair<QKeySequence, std::function<void()>> keys[] = {
        {QKeySequence::Find, [this] { open(); }},
        {QKeySequence(Qt::Key_F3), [this] { findNext(); }},
        {QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { findPrevious(); }},
        {QKeySequence::Copy, [this] { copySelection(); }},
    };
    for (const auto& [sequence, run] : keys) {
        auto* shortcut = new QShortcut(sequence, &viewer);
        m_copyKey = shortcut;  // the last: taken only while text is selected
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(shortcut, &QShortcut::activated, &m_receiver,
                         [run] { runUntrapped([&] { run(); }); });
    }
}

TextFind::~TextFind() {
    if (m_provider)
        m_provider->setPageReadyHandler({});
}

int TextFind::shownPage() const {
    const EditorDocument& document = m_viewer.widgets().editor->document();
    return document.imagePath().isEmpty() ? -1 : document.pageIndex();
}

int TextFind::pageCount() const {
    return shownPage() < 0 ? 0 : m_viewer.session().pageCount();
}

QPointF TextFind::storedPoint(float x, float y) const {
    const EditorTextMarks* marks = m_viewer.widgets().editor->textMarks();
    if (!marks)
        return {-1, -1};
    return marks->widgetToStoredPage(QPointF(x / twips::perPixelX(), y / twips::perPixelY()));
}

// --- the document ----------------------------------------------------------------------

bool TextFind::syncDocument() {
    const QString path = m_viewer.widgets().editor->document().imagePath();
    const QFileInfo file(path);
    const qint64 size = path.isEmpty() ? -1 : file.size();
    const QDateTime time = path.isEmpty() ? QDateTime() : file.lastModified();
    if (path == m_document && size == m_documentSize && time == m_documentTime)
        return false;
    // Another document, or the file changed (a page deleted or moved): read afresh.
    if (path == m_document && !path.isEmpty())
        m_provider->setDocument(QString());
    m_provider->setDocument(path);
    m_document = path;
    m_documentSize = size;
    m_documentTime = time;
    m_askedAll = false;
    m_matches.clear();
    m_total = 0;
    m_current = {};
    m_selection.clear();
    m_pressed = false;
    return true;
}

void TextFind::followShownPage() {
    if (!m_provider)
        return;
    const bool changed = syncDocument();
    if (m_selection.pageIndex() != shownPage())
        m_selection.clear();
    if (m_bar->isVisible()) {
        const int page = shownPage();
        QVector<int> pages;
        for (int near : {page, page + 1, page - 1})
            if (near >= 0 && near < pageCount())
                pages.append(near);
        if (!pages.isEmpty())
            m_provider->request(pages);
        if (changed || m_query.isEmpty())
            search();
    }
    showMarks();
}

void TextFind::pageReady(int page) {
    if (m_provider->document() != m_document || m_document.isEmpty() || page >= pageCount())
        return;
    PageText words;
    if (!m_query.isEmpty() && m_provider->pageText(page, words)) {
        const QVector<textmatch::Match> found = textmatch::findInPage(words, m_query, m_case);
        auto at = m_matches.find(page);
        m_total += int(found.size()) - (at == m_matches.end() ? 0 : int(at->second.size()));
        if (found.isEmpty() && at != m_matches.end())
            m_matches.erase(at);
        else if (!found.isEmpty())
            m_matches[page] = found;
        if (m_current.page == page && m_current.index >= int(found.size()))
            m_current = {};
        // The first match to come is gone to, as typing does.
        if (m_current.page < 0 && m_total > 0) {
            goTo(firstFromShownPage());
            return;
        }
    }
    showStatus();
    showMarks();  // the thumbnails' marks too
}

// --- finding ---------------------------------------------------------------------------

void TextFind::open() {
    if (!m_provider)
        return;
    const bool wasHidden = m_bar->isHidden();
    m_bar->show();
    m_bar->raise();
    if (wasHidden)
        m_viewer.layout().ArrangePanes();
    m_bar->textField()->setFocus(Qt::ShortcutFocusReason);
    m_bar->textField()->selectAll();
    m_query.clear();  // searched again below, with what the bar holds
    followShownPage();
}

void TextFind::close() {
    if (!m_bar || m_bar->isHidden())
        return;
    m_provider->cancel();
    m_askedAll = false;
    m_query.clear();
    m_matches.clear();
    m_total = 0;
    m_current = {};
    m_bar->hide();
    m_viewer.layout().ArrangePanes();
    showMarks();
    m_viewer.widgets().editor->widget()->setFocus(Qt::OtherFocusReason);
}

void TextFind::search() {
    syncDocument();
    m_query = m_bar->isVisible() ? m_bar->text().simplified() : QString();
    m_case = m_bar->caseSensitivity();
    m_matches.clear();
    m_total = 0;
    m_current = {};
    if (!m_query.isEmpty() && !m_document.isEmpty()) {
        if (!m_askedAll) {
            m_provider->requestAll(qMax(0, shownPage()));
            m_askedAll = true;
        }
        PageText words;
        for (int page = 0; page < pageCount(); ++page) {
            if (!m_provider->pageText(page, words))
                continue;
            QVector<textmatch::Match> found = textmatch::findInPage(words, m_query, m_case);
            if (found.isEmpty())
                continue;
            m_total += int(found.size());
            m_matches.emplace(page, std::move(found));
        }
    }
    if (m_total > 0) {
        goTo(firstFromShownPage());
        return;
    }
    showStatus();
    showMarks();
}

TextFind::Current TextFind::firstFromShownPage() const {
    if (m_matches.empty())
        return {};
    auto at = m_matches.lower_bound(qMax(0, shownPage()));
    if (at == m_matches.end())
        at = m_matches.begin();
    return {at->first, 0};
}

void TextFind::step(int direction) {
    if (!m_provider || m_total == 0)
        return;
    const int shown = shownPage();
    Current next;
    if (m_current.page == shown && m_current.index >= 0) {
        next = m_current;
        next.index += direction;
        auto page = m_matches.find(next.page);
        if (next.index >= int(page->second.size())) {
            ++page;
            next = page == m_matches.end() ? Current{m_matches.begin()->first, 0}
                                           : Current{page->first, 0};
        } else if (next.index < 0) {
            page = page == m_matches.begin() ? std::prev(m_matches.end()) : std::prev(page);
            next = {page->first, int(page->second.size()) - 1};
        }
    } else if (direction > 0) {
        next = firstFromShownPage();
    } else {
        // The last match before or on the shown page, wrapping at the start.
        auto page = m_matches.upper_bound(shown);
        page = page == m_matches.begin() ? std::prev(m_matches.end()) : std::prev(page);
        next = {page->first, int(page->second.size()) - 1};
    }
    goTo(next);
}

void TextFind::goTo(Current match) {
    m_current = match;
    EditorDocument& document = m_viewer.widgets().editor->document();
    if (match.page >= 0 && match.page != shownPage()) {
        // Through the normal page loading, as the go-to-page box goes.
        m_viewer.session().leavePage();
        document.setPageIndex(match.page);
        m_viewer.session().reloadPage(match.page);
    }
    showStatus();
    showMarks();
    EditorTextMarks* marks = m_viewer.widgets().editor->textMarks();
    const auto page = m_matches.find(match.page);
    if (marks && page != m_matches.end() && match.page == shownPage()) {
        QRect box;
        for (const QRect& part : page->second.at(match.index).boxes)
            box |= part;
        marks->bringIntoView(box);
    }
}

void TextFind::showStatus() {
    if (!m_bar)
        return;
    m_bar->setNavigable(m_total > 0);
    const int pending = m_provider->pendingCount();
    QString status;
    if (m_query.isEmpty()) {
        status = QString();
    } else if (m_total == 0) {
        status = pending > 0 ? tr("No matches yet, %1 pages still being read").arg(pending)
                             : tr("No matches");
    } else {
        int ordinal = m_current.index + 1;
        for (auto at = m_matches.begin(); at != m_matches.end() && at->first < m_current.page; ++at)
            ordinal += int(at->second.size());
        const int pages = int(m_matches.size());
        status = (pages == 1 ? tr("%1 of %2 on 1 page") : tr("%1 of %2 on %3 pages"))
                     .arg(m_current.page < 0 ? 0 : ordinal)
                     .arg(m_total);
        if (pages != 1)
            status = status.arg(pages);
        if (pending > 0)
            status += tr(", %1 pages still being read").arg(pending);
    }
    m_bar->setStatus(status);
}

void TextFind::showMarks() {
    EditorTextMarks* marks = m_viewer.widgets().editor->textMarks();
    const int shown = shownPage();
    QVector<EditorTextMarks::Mark> drawn;
    const auto page = m_matches.find(shown);
    if (page != m_matches.end()) {
        for (int i = 0; i < page->second.size(); ++i) {
            const auto kind = m_current.page == shown && m_current.index == i
                                  ? EditorTextMarks::MarkKind::CurrentMatch
                                  : EditorTextMarks::MarkKind::Match;
            for (const QRect& box : page->second.at(i).boxes)
                drawn.append({box, kind});
        }
    }
    if (m_selection.pageIndex() == shown)
        drawn += m_selection.marks();
    m_copyKey->setEnabled(!m_selection.isEmpty());
    if (marks)
        marks->setTextMarks(shown, drawn);
    QList<int> marked;
    for (const auto& [index, found] : m_matches)
        marked.append(index);
    m_viewer.widgets().thumbs->setMarkedPages(marked);
}

// --- selecting -------------------------------------------------------------------------

bool TextFind::selectable() const {
    const ToolbarStates& bars = m_viewer.toolbars();
    if (!m_provider || m_viewer.widgets().editor->document().busy() || shownPage() < 0 ||
        !bars.selectionModeOn())
        return false;
    for (const char* tool : {"Select", "Stamp", "Rectangle", "Highlight", "Text", "Line"})
        if (bars.toolPressed(tool))
            return false;
    return true;
}

bool TextFind::pageMouseDown(int button, float x, float y) {
    m_swallowRelease = false;  // a double-click's release did not come
    if (button != 1 || !selectable())
        return false;
    syncDocument();
    if (!m_selection.isEmpty()) {
        m_selection.clear();
        showMarks();
    }
    const int page = shownPage();
    m_pressText = PageText();
    if (!m_provider->pageText(page, m_pressText)) {
        m_provider->request({page});
        return false;
    }
    m_pressPoint = storedPoint(x, y);
    if (textmatch::wordAt(m_pressText, m_pressPoint) < 0)
        return false;
    // On a word: a text selection, not a zone.
    m_viewer.widgets().selectionToolbar->widget()->hide();
    m_viewer.widgets().editor->pointer().clearRubberBand();
    m_pressed = true;
    m_pressPage = page;
    return true;
}

bool TextFind::pageMouseMove(int button, float x, float y) {
    if (!m_pressed)
        return false;
    if (button & 1) {
        if (m_selection.isEmpty())
            m_selection.start(m_pressPage, m_pressText, m_pressPoint);
        m_selection.extendTo(storedPoint(x, y));
        showMarks();
    }
    return true;
}

bool TextFind::pageMouseUp(int button) {
    if (button != 1)
        return m_pressed;
    const bool taken = m_pressed || m_swallowRelease;
    m_pressed = false;
    m_swallowRelease = false;
    return taken;
}

bool TextFind::pageDoubleClick(QPointF point) {
    if (!selectable())
        return false;
    syncDocument();
    const EditorTextMarks* marks = m_viewer.widgets().editor->textMarks();
    PageText words;
    if (!marks || !m_provider->pageText(shownPage(), words) ||
        !m_selection.start(shownPage(), words, marks->widgetToStoredPage(point)))
        return false;
    m_pressed = false;
    m_swallowRelease = true;
    showMarks();
    return true;
}

bool TextFind::copySelection() {
    if (m_selection.isEmpty() || m_selection.pageIndex() != shownPage())
        return false;
    QGuiApplication::clipboard()->setText(m_selection.text());
    return true;
}

}  // namespace ktdv
