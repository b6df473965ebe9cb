#include "viewer/find/textselection.h"

#include "viewer/find/textmatch.h"

namespace ktdv {

bool TextSelection::start(int pageIndex, const PageText& text, QPointF point) {
    clear();
    const int word = textmatch::wordAt(text, point);
    if (word < 0)
        return false;
    m_page = pageIndex;
    m_text = text;
    m_anchor = m_end = word;
    return true;
}

void TextSelection::extendTo(QPointF point) {
    if (isEmpty())
        return;
    const int word = textmatch::nearestWord(m_text, point);
    if (word >= 0)
        m_end = word;
}

void TextSelection::clear() {
    m_page = m_anchor = m_end = -1;
    m_text = PageText();
}

QString TextSelection::text() const {
    return isEmpty() ? QString() : textmatch::wordsText(m_text, m_anchor, m_end);
}

QVector<EditorTextMarks::Mark> TextSelection::marks() const {
    QVector<EditorTextMarks::Mark> marks;
    if (isEmpty())
        return marks;
    for (int i = qMin(m_anchor, m_end); i <= qMax(m_anchor, m_end); ++i)
        marks.append({m_text.words.at(i).box, EditorTextMarks::MarkKind::Selection});
    return marks;
}

}  // namespace ktdv
