#include "viewer/find/textmatch.h"

#include <QRegularExpression>

#include <cmath>

namespace ktdv::textmatch {

namespace {

// The part of a word's box that holds its letters from..to (end excluded), the box shared
// out evenly among the letters.
QRect letters(const PageTextWord& word, qsizetype from, qsizetype to) {
    const qsizetype n = qMax<qsizetype>(1, word.text.size());
    const double per = double(word.box.width()) / double(n);
    const int left = word.box.left() + int(std::floor(per * double(from)));
    const int right = word.box.left() + int(std::ceil(per * double(to)));
    return QRect(QPoint(left, word.box.top()), QPoint(qMax(left, right - 1), word.box.bottom()));
}

double distance(const QRect& box, QPointF p) {
    const double dx = qMax(0.0, qMax(box.left() - p.x(), p.x() - box.right()));
    const double dy = qMax(0.0, qMax(box.top() - p.y(), p.y() - box.bottom()));
    return std::hypot(dx, dy);
}

}  // namespace

QVector<Match> findInPage(const PageText& page, const QString& needle, Qt::CaseSensitivity cs) {
    static const QRegularExpression space(QStringLiteral("\\s+"));
    const QString wanted = needle.simplified();
    QVector<Match> found;
    if (wanted.isEmpty() || page.words.isEmpty())
        return found;
    // The words as one text, and where each begins in it.
    QString text;
    QVector<qsizetype> starts;
    starts.reserve(page.words.size());
    for (const PageTextWord& word : page.words) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        starts.append(text.size());
        text += QString(word.text).replace(space, QStringLiteral(" "));
    }
    const auto wordOf = [&starts](qsizetype at) {
        return int(std::upper_bound(starts.begin(), starts.end(), at) - starts.begin()) - 1;
    };
    for (qsizetype at = text.indexOf(wanted, 0, cs); at >= 0;
         at = text.indexOf(wanted, at + wanted.size(), cs)) {
        const qsizetype end = at + wanted.size();
        Match match;
        match.firstWord = wordOf(at);
        match.lastWord = wordOf(end - 1);
        for (int w = match.firstWord; w <= match.lastWord; ++w) {
            const PageTextWord& word = page.words.at(w);
            const qsizetype from = qMax<qsizetype>(0, at - starts.at(w));
            const qsizetype to = qMin<qsizetype>(word.text.size(), end - starts.at(w));
            if (to > from)
                match.boxes.append(letters(word, from, to));
        }
        found.append(match);
    }
    return found;
}

int wordAt(const PageText& page, QPointF point) {
    for (int i = 0; i < page.words.size(); ++i)
        if (QRectF(page.words.at(i).box).contains(point))
            return i;
    return -1;
}

int nearestWord(const PageText& page, QPointF point) {
    const int hit = wordAt(page, point);
    if (hit >= 0 || page.words.isEmpty())
        return hit;
    // The nearest line first (by its words' vertical reach), then the nearest word on it.
    int best = -1;
    double bestLine = 0, bestWord = 0;
    for (int i = 0; i < page.words.size(); ++i) {
        const QRect& box = page.words.at(i).box;
        const double line = qMax(0.0, qMax(box.top() - point.y(), point.y() - box.bottom()));
        const double word = distance(box, point);
        if (best < 0 || line < bestLine || (line == bestLine && word < bestWord)) {
            best = i;
            bestLine = line;
            bestWord = word;
        }
    }
    return best;
}

QString wordsText(const PageText& page, int first, int last) {
    if (first > last)
        std::swap(first, last);
    first = qMax(0, first);
    last = qMin(int(page.words.size()) - 1, last);
    QString text;
    for (int i = first; i <= last; ++i) {
        if (i > first)
            text += page.words.at(i).line == page.words.at(i - 1).line ? QLatin1Char(' ')
                                                                       : QLatin1Char('\n');
        text += page.words.at(i).text;
    }
    return text;
}

}  // namespace ktdv::textmatch
