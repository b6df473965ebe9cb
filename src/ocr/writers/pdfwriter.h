#pragma once
// PDF with the recognised text, in three variants:
//   TextOnly     - visible, selectable text at its place on the page, no image;
//   TextOnImage  - the page image with the visible text drawn over it;
//   ImageOnText  - the page image as seen, with invisible text (render mode 3) behind it,
//                  word by word at the words' boxes, so the page is searchable.
// Visible text uses the standard Helvetica font (Windows-1252 characters); invisible text
// uses a font without glyphs addressed by UTF-16 code units, with a ToUnicode map, so any
// text the recogniser found can be searched and copied.
// A page's annotations, when it carries any, become PDF annotations with their own
// appearance (see pdfannotations.h).
// Objects are written as pages arrive; the page tree and cross-reference table at end().

#include "ocr/writers/exportwriter.h"

#include <QVector>

namespace ktdv::ocr {

class PdfWriter : public ExportWriter {
public:
    enum class Variant { TextOnly, TextOnImage, ImageOnText };
    explicit PdfWriter(Variant variant) : m_variant(variant) {}

protected:
    bool beginDocument() override;
    bool writePage(const RecognizedPage& page) override;
    bool endDocument() override;

private:
    int newObject() { return ++m_lastObject; }
    bool writeObject(int id, const QByteArray& body);
    bool writeStream(int id, const QByteArray& dictionary, const QByteArray& data);
    QByteArray textContent(const RecognizedPage& page, bool visible) const;
    // Writes the page's annotations; their references for the page's /Annots ("" for none).
    bool writeAnnotations(const RecognizedPage& page, int pageObject, QByteArray* annots);
    // Object number of a standard font, written on first use.
    int standardFont(bool bold);

    Variant m_variant;
    int m_lastObject = 0;
    int m_catalog = 0;
    int m_pageTree = 0;
    int m_visibleFont = 0;
    int m_invisibleFont = 0;
    int m_regularFont = 0;  // for annotations
    int m_boldFont = 0;
    QVector<qint64> m_offsets;  // by object number
    QVector<int> m_pageObjects;
};

}  // namespace ktdv::ocr
