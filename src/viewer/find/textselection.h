#pragma once
// Text selected on the shown page: words in reading order, from the word under the press to
// the word under the pointer, or one word by a double-click. Knows nothing of the mouse's
// rules: the find concern decides which presses start a selection. UI thread only.

#include <QPointF>
#include <QString>
#include <QVector>

#include "interfaces/editortextmarks.h"
#include "interfaces/pagetext.h"

namespace ktdv {

class TextSelection {
public:
    // Starts a selection at the word under point (pixels of the page as stored) of a page
    // whose text is known, that word selected; false, and nothing selected, when no word
    // is there. A double-click selects a word this way.
    bool start(int pageIndex, const PageText& text, QPointF point);
    // The selection now reaches the word nearest to point.
    void extendTo(QPointF point);
    void clear();

    bool isEmpty() const { return m_page < 0; }
    int pageIndex() const { return m_page; }
    // Words of a line joined by a space, lines by a newline; "" when nothing is selected.
    QString text() const;
    // A box per selected word.
    QVector<EditorTextMarks::Mark> marks() const;

private:
    int m_page = -1;
    PageText m_text;
    int m_anchor = -1;
    int m_end = -1;
};

}  // namespace ktdv
