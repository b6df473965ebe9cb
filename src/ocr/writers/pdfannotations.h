#pragma once
// A page's annotation as a PDF annotation: its dictionary entries and an appearance (a
// form XObject drawn in the annotation's own frame), so every viewer draws it the way the
// page view does. Rectangles become Square annotations, highlights Highlight annotations,
// text frames FreeText and stamps Stamp annotations. The PDF writer gives the pieces their
// object numbers.

#include <QByteArray>
#include <QSizeF>

#include "imaging/annotationmodel.h"

namespace ktdv::ocr {

// Where an annotation goes: the page's resolution and its height in points (PDF's origin is
// the bottom left corner), and the object numbers of the standard fonts its text may use.
struct PdfAnnotationPlace {
    QSizeF dpi;
    double pageHeight = 0;
    int regularFont = 0;  // Helvetica, WinAnsiEncoding
    int boldFont = 0;     // Helvetica-Bold, WinAnsiEncoding
};

struct PdfAnnotation {
    QByteArray entries;      // the annotation dictionary without /P and /AP
    QByteArray formEntries;  // the appearance form's dictionary without /Length
    QByteArray appearance;   // the form's content
    bool isNull() const { return entries.isEmpty(); }
};

// The annotation in PDF terms; null when it covers no area. name is its /NM, unique within
// the document.
PdfAnnotation pdfAnnotation(const imaging::Annotation& annotation, const PdfAnnotationPlace& place,
                            const QString& name);

// Whether the annotation's appearance needs Helvetica (1), Helvetica-Bold (2) or neither (0).
int pdfAnnotationFont(const imaging::Annotation& annotation);

}  // namespace ktdv::ocr
