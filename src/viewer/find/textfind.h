#pragma once
// Finding and selecting the text of the shown document's pages: the find bar (Ctrl+F, F3,
// Shift+F3, Esc and a button at the end of the main toolbar), the matches drawn over the
// page and marked on the thumbnails, going from match to match through the normal page
// loading, and words selected with the Select tool and copied with Ctrl+C. The text comes
// from a PageTextProvider; without one the viewer offers neither finding nor selecting.
// Nothing is written to the document. UI thread only.

#include <QCoreApplication>
#include <QDateTime>
#include <QObject>
#include <QPointF>
#include <QString>
#include <QVector>

#include <map>
#include <memory>

#include "interfaces/pagetext.h"
#include "viewer/find/textmatch.h"
#include "viewer/find/textselection.h"

class QAction;
class QShortcut;

namespace ktdv {

class FindBar;
class ViewerControl;

class TextFind {
    Q_DECLARE_TR_FUNCTIONS(ktdv::TextFind)

public:
    TextFind(ViewerControl& viewer, std::unique_ptr<PageTextProvider> provider);
    ~TextFind();
    TextFind(const TextFind&) = delete;
    TextFind& operator=(const TextFind&) = delete;

    bool available() const { return m_provider != nullptr; }
    // The find bar, placed by the layout; null without a provider.
    FindBar* bar() const { return m_bar; }

    // Shows the bar with its text chosen, and asks for the text of the shown page and its
    // neighbours; the text in it is searched again.
    void open();
    void close();
    void findNext() { step(+1); }
    void findPrevious() { step(-1); }

    // The page view shows a page (after every load): a changed document is read afresh, the
    // shown page's marks follow.
    void followShownPage();

    // The Select tool over the page (twips over the page view): a press on a recognised
    // word starts a text selection and the press, its moves and its release are taken
    // (true); anywhere else the selection goes and the press is left to the zone.
    bool pageMouseDown(int button, float x, float y);
    bool pageMouseMove(int button, float x, float y);
    bool pageMouseUp(int button);
    // A double-click at widget pixel point of the page view: selects the word there; false
    // when none is there.
    bool pageDoubleClick(QPointF point);
    // Puts the selected text on the clipboard; false when nothing is selected.
    bool copySelection();
    QString selectedText() const { return m_selection.text(); }

private:
    struct Current {
        int page = -1;
        int index = -1;
    };

    // The page view's document, read afresh when it is another one or its file changed;
    // true when it was.
    bool syncDocument();
    void pageReady(int page);
    void search();
    // Goes from the current match (or from the shown page when it is elsewhere).
    void step(int direction);
    void goTo(Current match);
    // The first match from the shown page on, wrapping at the end.
    Current firstFromShownPage() const;
    void showMarks();
    void showStatus();
    bool selectable() const;
    int shownPage() const;
    int pageCount() const;
    QPointF storedPoint(float x, float y) const;

    ViewerControl& m_viewer;
    std::unique_ptr<PageTextProvider> m_provider;
    FindBar* m_bar = nullptr;
    QAction* m_button = nullptr;
    QShortcut* m_copyKey = nullptr;
    QObject m_receiver;  // of the bar's, the button's and the keys' signals, gone with this

    QString m_document;  // served by the provider, with its file's size and time when asked
    qint64 m_documentSize = -1;
    QDateTime m_documentTime;
    bool m_askedAll = false;

    QString m_query;  // "" while nothing is searched
    Qt::CaseSensitivity m_case = Qt::CaseInsensitive;
    std::map<int, QVector<textmatch::Match>> m_matches;  // pages with matches only
    int m_total = 0;
    Current m_current;

    TextSelection m_selection;
    bool m_pressed = false;  // a press on a word, not yet released
    int m_pressPage = -1;
    PageText m_pressText;
    QPointF m_pressPoint;
    bool m_swallowRelease = false;  // the release of a double-click
};

}  // namespace ktdv
