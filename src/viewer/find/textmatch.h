#pragma once
// Finding text among the words of a page, and the words a selection covers. Kept apart from
// the find bar so that another way of matching can take its place. Any thread.

#include <QRect>
#include <QString>
#include <QVector>

#include "interfaces/pagetext.h"

namespace ktdv::textmatch {

// One place where the text was found: the words it covers and a box per word, narrowed to
// the letters found (pixels of the page as stored).
struct Match {
    int firstWord = 0;
    int lastWord = 0;
    QVector<QRect> boxes;
};

// Every place of the page where needle occurs, in reading order. The words are read as one
// text, a space between two words; white space in the needle matches that space. An empty
// needle is found nowhere.
QVector<Match> findInPage(const PageText& page, const QString& needle, Qt::CaseSensitivity cs);

// The word whose box holds the point (pixels of the page as stored); -1 when none does.
int wordAt(const PageText& page, QPointF point);
// The word nearest to the point: the one whose box holds it, or else the nearest word of
// the nearest line; -1 for a page without words.
int nearestWord(const PageText& page, QPointF point);
// The text of words first to last (in either order): words of a line joined by a space,
// lines by a newline.
QString wordsText(const PageText& page, int first, int last);

}  // namespace ktdv::textmatch
