#include "ocr/writers/textlayout.h"

#include <algorithm>
#include <cmath>

namespace ktdv::ocr {

namespace {

double median(QVector<double> values, double fallback) {
    if (values.isEmpty()) {
        return fallback;
    }
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

struct Row {
    int top = 0;
    int bottom = 0;
    QVector<RecognizedWord> words;
};

int verticalOverlap(int top1, int bottom1, int top2, int bottom2) {
    return std::min(bottom1, bottom2) - std::max(top1, top2);
}

// Average width of one character over a set of words.
double characterWidth(const QVector<RecognizedWord>& words) {
    double width = 0;
    qsizetype chars = 0;
    for (const RecognizedWord& w : words) {
        width += w.box.width();
        chars += w.text.size();
    }
    return chars > 0 ? width / static_cast<double>(chars) : 10.0;
}

}  // namespace

QString paragraphText(const RecognizedParagraph& paragraph) {
    QStringList lines;
    for (const RecognizedLine& line : paragraph.lines) {
        const QString text = line.text().trimmed();
        if (!text.isEmpty()) {
            lines.append(text);
        }
    }
    return lines.join(QLatin1Char(' '));
}

QStringList pageParagraphs(const RecognizedPage& page) {
    QStringList out;
    for (const RecognizedBlock& block : page.blocks) {
        for (const RecognizedParagraph& paragraph : block.paragraphs) {
            const QString text = paragraphText(paragraph);
            if (!text.isEmpty()) {
                out.append(text);
            }
        }
    }
    return out;
}

QString documentText(const RecognizedDocument& document, const QString& newline) {
    QString out;
    for (qsizetype i = 0; i < document.pages.size(); ++i) {
        if (i > 0) {
            out += QLatin1Char('\f');
        }
        const QStringList paragraphs = pageParagraphs(document.pages.at(i));
        for (qsizetype p = 0; p < paragraphs.size(); ++p) {
            if (p > 0) {
                out += newline;
            }
            out += paragraphs.at(p) + newline;
        }
    }
    return out;
}

QVector<QVector<RecognizedWord>> pageRows(const RecognizedPage& page) {
    QVector<RecognizedLine> lines;
    for (const RecognizedBlock& block : page.blocks) {
        for (const RecognizedParagraph& paragraph : block.paragraphs) {
            for (const RecognizedLine& line : paragraph.lines) {
                RecognizedLine kept = line;
                kept.words.clear();
                for (const RecognizedWord& w : line.words) {
                    if (!w.text.trimmed().isEmpty()) {
                        kept.words.append(w);
                    }
                }
                if (!kept.words.isEmpty()) {
                    QRect box;
                    for (const RecognizedWord& w : kept.words) {
                        box = box.united(w.box);
                    }
                    kept.box = box;
                    lines.append(kept);
                }
            }
        }
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const RecognizedLine& a, const RecognizedLine& b) {
                         return a.box.center().y() < b.box.center().y();
                     });
    QVector<Row> rows;
    for (const RecognizedLine& line : lines) {
        const int top = line.box.top();
        const int bottom = line.box.bottom() + 1;
        Row* target = nullptr;
        if (!rows.isEmpty()) {
            Row& last = rows.last();
            const int overlap = verticalOverlap(top, bottom, last.top, last.bottom);
            if (overlap * 2 >= std::min(bottom - top, last.bottom - last.top)) {
                target = &last;
            }
        }
        if (target == nullptr) {
            rows.append(Row{top, bottom, {}});
            target = &rows.last();
        }
        target->top = std::min(target->top, top);
        target->bottom = std::max(target->bottom, bottom);
        target->words += line.words;
    }
    QVector<QVector<RecognizedWord>> out;
    out.reserve(rows.size());
    for (Row& row : rows) {
        std::stable_sort(row.words.begin(), row.words.end(),
                         [](const RecognizedWord& a, const RecognizedWord& b) {
                             return a.box.left() < b.box.left();
                         });
        out.append(row.words);
    }
    return out;
}

QString tabularRow(const QVector<RecognizedWord>& row) {
    const double gapLimit = 2.0 * characterWidth(row);
    QString out;
    for (qsizetype i = 0; i < row.size(); ++i) {
        if (i > 0) {
            const int gap = row.at(i).box.left() - (row.at(i - 1).box.right() + 1);
            out += gap > gapLimit ? QLatin1Char('\t') : QLatin1Char(' ');
        }
        out += row.at(i).text;
    }
    return out;
}

QStringList formattedPage(const RecognizedPage& page) {
    const QVector<QVector<RecognizedWord>> rows = pageRows(page);
    if (rows.isEmpty()) {
        return {};
    }
    QVector<double> charWidths;
    QVector<double> heights;
    int minLeft = INT_MAX;
    int minTop = INT_MAX;
    for (const auto& row : rows) {
        for (const RecognizedWord& w : row) {
            charWidths.append(w.box.width() /
                              static_cast<double>(std::max<qsizetype>(1, w.text.size())));
            minLeft = std::min(minLeft, w.box.left());
            minTop = std::min(minTop, w.box.top());
        }
    }
    QVector<double> pitches;
    for (const RecognizedBlock& block : page.blocks) {
        for (const RecognizedParagraph& paragraph : block.paragraphs) {
            for (qsizetype i = 0; i < paragraph.lines.size(); ++i) {
                heights.append(paragraph.lines.at(i).box.height());
                if (i > 0) {
                    const int d =
                        paragraph.lines.at(i).box.top() - paragraph.lines.at(i - 1).box.top();
                    if (d > 0) {
                        pitches.append(d);
                    }
                }
            }
        }
    }
    const double charWidth = std::max(1.0, median(charWidths, 10.0));
    const double pitch = std::max(1.0, median(pitches, 1.3 * median(heights, 20.0)));

    QStringList grid;
    int previousRow = -1;
    for (const auto& row : rows) {
        int top = INT_MAX;
        for (const RecognizedWord& w : row) {
            top = std::min(top, w.box.top());
        }
        const int rowIndex =
            std::max(previousRow + 1, static_cast<int>(std::lround((top - minTop) / pitch)));
        while (grid.size() < rowIndex) {
            grid.append(QString());
        }
        QString text;
        for (const RecognizedWord& w : row) {
            int column = static_cast<int>(std::lround((w.box.left() - minLeft) / charWidth));
            if (!text.isEmpty()) {
                column = std::max(column, static_cast<int>(text.size()) + 1);
            }
            while (text.size() < column) {
                text += QLatin1Char(' ');
            }
            text += w.text;
        }
        grid.append(text);
        previousRow = rowIndex;
    }
    return grid;
}

}  // namespace ktdv::ocr
