#pragma once
// The text found on a document, independent of the recogniser that found it:
// pages -> blocks -> paragraphs -> lines -> words. Boxes are in page pixels of the
// image that was recognised (origin top left); confidences are 0..100.
// Plain values: safe to copy and to hand between threads.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QVector>

#include "imaging/annotationmodel.h"

namespace ktdv::ocr {

struct RecognizedWord {
    QString text;
    QRect box;
    float confidence = 0;
};

struct RecognizedLine {
    QRect box;
    int baseline = -1;  // y of the baseline in page pixels; -1 = bottom of the box
    QVector<RecognizedWord> words;
    QString text() const;  // words joined by single spaces
};

struct RecognizedParagraph {
    QRect box;
    QVector<RecognizedLine> lines;
};

struct RecognizedBlock {
    QRect box;
    QVector<RecognizedParagraph> paragraphs;
};

// How the recognised picture lies on the page as decoded: stretched to square pixels,
// turned by clockwise quarter turns, then turned by the skew about its centre.
struct PagePlacement {
    QSize decodedSize;  // the page as decoded (empty: the picture is the page)
    double scaleX = 1;
    double scaleY = 1;
    int quarterTurns = 0;
    double skewDegrees = 0;  // clockwise
    // A box of the recognised picture (of `pictureSize`) in pixels of the decoded page.
    QRect toDecoded(const QRect& box, QSize pictureSize) const;
};

struct RecognizedPage {
    QSize size;            // pixels
    QSizeF dpi{300, 300};  // dots per inch (x, y)
    PagePlacement placement;
    QVector<RecognizedBlock> blocks;
    QImage image;         // the page as recognised (for writers that show it)
    QByteArray jpegData;  // the original JPEG stream when `image` is exactly it
    // The page's annotations, in pixels of `image`; only formats that carry annotations
    // ask for them.
    QList<imaging::Annotation> annotations;
    bool isEmpty() const;         // no word with text
    QSizeF sizeInPoints() const;  // 1/72 inch
};

struct RecognizedDocument {
    QVector<RecognizedPage> pages;
};

}  // namespace ktdv::ocr
