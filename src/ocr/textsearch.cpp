#include "ocr/textsearch.h"

#include <QRegularExpression>

namespace ktdv::ocr {

TextSearch::TextSearch(const QString& needle, Qt::CaseSensitivity sensitivity)
    : m_parts(needle.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)),
      m_sensitivity(sensitivity) {}

bool TextSearch::matchesAt(const QVector<PageTextWord>& words, qsizetype at) const {
    const qsizetype n = m_parts.size();
    if (n == 1) {
        return words.at(at).text.contains(m_parts.front(), m_sensitivity);
    }
    if (at + n > words.size() || !words.at(at).text.endsWith(m_parts.front(), m_sensitivity) ||
        !words.at(at + n - 1).text.startsWith(m_parts.back(), m_sensitivity)) {
        return false;
    }
    for (qsizetype i = 1; i + 1 < n; ++i) {
        if (words.at(at + i).text.compare(m_parts.at(i), m_sensitivity) != 0) {
            return false;
        }
    }
    return true;
}

QVector<TextMatch> TextSearch::find(int pageIndex, const PageText& page) const {
    QVector<TextMatch> out;
    if (m_parts.isEmpty()) {
        return out;
    }
    const auto n = int(m_parts.size());
    const QVector<PageTextWord>& words = page.words;
    for (int i = 0; i < int(words.size());) {
        if (!matchesAt(words, i)) {
            ++i;
            continue;
        }
        TextMatch match{pageIndex, i, i + n - 1, {}};
        for (int k = i; k < i + n; ++k) {
            match.boxes.append(words.at(k).box);
        }
        out.append(std::move(match));
        i += n;
    }
    return out;
}

}  // namespace ktdv::ocr
