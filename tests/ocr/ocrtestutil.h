#pragma once
// Helpers shared by the recognition tests and benchmarks: external tools, character error
// rate, multi-page documents from images, and recognised pages built by hand.

#include "ocr/recognizeddocument.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace ktdv::test {

struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};
// Runs a program (60 s limit); exitCode -1 when it could not start or timed out.
ToolRun runTool(const QString& program, const QStringList& arguments, const QByteArray& input = {});

// Whitespace collapsed to single spaces, ends trimmed.
QString normalizedText(const QString& text);
// Levenshtein distance of the normalised texts over the reference length.
double characterErrorRate(const QString& recognised, const QString& reference);

// Multi-page TIFF (Group 4 for bilevel pages, else LZW) of the images, resolution kept.
bool writeMultiPageTiff(const QString& path, const QList<QImage>& pages);

// A recognised page made by hand, one block at 300 dpi: each entry is a paragraph, its lines
// separated by '\n'; words 20 px a character wide and 40 px high, lines 60 px apart from
// `origin`.
ocr::RecognizedPage handMadePage(const QStringList& paragraphs, QSize size = QSize(2480, 3508),
                                 QPoint origin = QPoint(100, 100));

}  // namespace ktdv::test
