#pragma once
// Finding text among the words of pages, as find-as-you-type does: a needle of one word
// matches any word containing it; a needle of several words (split at white space)
// matches consecutive words, in reading order and across lines, the first ending with the
// needle's first word, the last beginning with its last word and those between equal to
// the needle's. Pure functions; any thread.

#include "interfaces/pagetext.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <QVector>

namespace ktdv::ocr {

struct TextMatch {
    int page = 0;
    int firstWord = 0;  // indexes into the page's words
    int lastWord = 0;
    QVector<QRect> boxes;  // the boxes of the words matched, in order
};

class TextSearch {
public:
    TextSearch(const QString& needle, Qt::CaseSensitivity sensitivity);
    bool isEmpty() const { return m_parts.isEmpty(); }
    // The matches on one page, in reading order; a word takes part in one match at most.
    QVector<TextMatch> find(int pageIndex, const PageText& page) const;

private:
    bool matchesAt(const QVector<PageTextWord>& words, qsizetype at) const;

    QStringList m_parts;
    Qt::CaseSensitivity m_sensitivity;
};

}  // namespace ktdv::ocr
