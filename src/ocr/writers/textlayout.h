#pragma once
// Text of a recognised page arranged for the plain-text exports: running text with the
// paragraphs kept, rows of a table, and the page laid out on a character grid.

#include "ocr/recognizeddocument.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace ktdv::ocr {

// The lines of a paragraph joined into one line of text.
QString paragraphText(const RecognizedParagraph& paragraph);
// Paragraphs of a page, one per entry, in reading order, empty ones left out.
QStringList pageParagraphs(const RecognizedPage& page);
// The running text of a whole document: paragraphs separated by a blank line, pages by a
// form feed, lines ended by `newline`.
QString documentText(const RecognizedDocument& document, const QString& newline);

// Lines of a page that share a row (they overlap vertically), each row's words sorted
// left to right; rows from top to bottom. Lines from different blocks (table columns,
// text columns) land in one row when they sit side by side.
QVector<QVector<RecognizedWord>> pageRows(const RecognizedPage& page);
// One row as tab-separated cells: a gap wider than about two characters starts a new cell.
QString tabularRow(const QVector<RecognizedWord>& row);
// The page on a character grid: words placed at their column, rows at their line, blank
// lines where the page has vertical space. Trailing spaces removed.
QStringList formattedPage(const RecognizedPage& page);

}  // namespace ktdv::ocr
