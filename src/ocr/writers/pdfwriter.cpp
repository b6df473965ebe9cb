#include "ocr/writers/pdfwriter.h"

#include "ocr/writers/pageimageencoder.h"
#include "ocr/writers/pdfannotations.h"
#include "ocr/writers/pdfsyntax.h"
#include "ocr/writers/textencoding.h"

#include <algorithm>
#include <array>

namespace ktdv::ocr {

using pdf::helveticaWidth;
using pdf::literalString;
using pdf::num;
using pdf::ref;

namespace {

// UTF-16 code units of the text, supplementary characters replaced.
QVector<char16_t> codeUnits(const QString& text) {
    QVector<char16_t> out;
    for (uint cp : text.toUcs4()) {
        out.append(cp > 0xFFFF || (cp >= 0xD800 && cp <= 0xDFFF) ? char16_t(0xFFFD)
                                                                 : static_cast<char16_t>(cp));
    }
    return out;
}

QByteArray toUnicodeCMap() {
    QByteArray ranges;
    QVector<int> highs;
    for (int hi = 0; hi < 256; ++hi) {
        if (hi < 0xD8 || hi > 0xDF) {
            highs.append(hi);
        }
    }
    for (qsizetype start = 0; start < highs.size(); start += 100) {
        const qsizetype count = std::min<qsizetype>(100, highs.size() - start);
        ranges += QByteArray::number(count) + " beginbfrange\n";
        for (qsizetype i = start; i < start + count; ++i) {
            const QByteArray h = QByteArray::number(highs.at(i), 16).rightJustified(2, '0');
            ranges += "<" + h + "00> <" + h + "FF> <" + h + "00>\n";
        }
        ranges += "endbfrange\n";
    }
    return "/CIDInit /ProcSet findresource begin\n"
           "12 dict begin\n"
           "begincmap\n"
           "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
           "/CMapName /Adobe-Identity-UCS def\n"
           "/CMapType 2 def\n"
           "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n" +
           ranges +
           "endcmap\n"
           "CMapName currentdict /CMap defineresource pop\n"
           "end\nend\n";
}

}  // namespace

bool PdfWriter::writeObject(int id, const QByteArray& body) {
    if (m_offsets.size() <= id) {
        m_offsets.resize(id + 1, -1);
    }
    m_offsets[id] = bytesWritten();
    return write(QByteArray::number(id) + " 0 obj\n" + body + "\nendobj\n");
}

bool PdfWriter::writeStream(int id, const QByteArray& dictionary, const QByteArray& data) {
    if (m_offsets.size() <= id) {
        m_offsets.resize(id + 1, -1);
    }
    m_offsets[id] = bytesWritten();
    return write(QByteArray::number(id) + " 0 obj\n<< " + dictionary + " /Length " +
                 QByteArray::number(data.size()) + " >>\nstream\n") &&
           write(data) && write("\nendstream\nendobj\n");
}

bool PdfWriter::beginDocument() {
    m_catalog = newObject();
    m_pageTree = newObject();
    if (!write("%PDF-1.5\n%\xE2\xE3\xCF\xD3\n")) {
        return false;
    }
    if (m_variant != Variant::ImageOnText) {
        m_visibleFont = newObject();
        if (!writeObject(m_visibleFont,
                         "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica "
                         "/Encoding /WinAnsiEncoding >>")) {
            return false;
        }
    }
    if (m_variant == Variant::ImageOnText) {
        m_invisibleFont = newObject();
        const int descendant = newObject();
        const int descriptor = newObject();
        const int cmap = newObject();
        const bool ok =
            writeObject(m_invisibleFont,
                        "<< /Type /Font /Subtype /Type0 /BaseFont /InvisibleText "
                        "/Encoding /Identity-H /DescendantFonts [" +
                            ref(descendant) + "] /ToUnicode " + ref(cmap) + " >>") &&
            writeObject(descendant,
                        "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /InvisibleText "
                        "/CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 "
                        ">> /FontDescriptor " +
                            ref(descriptor) + " /CIDToGIDMap /Identity /DW 500 >>") &&
            writeObject(descriptor,
                        "<< /Type /FontDescriptor /FontName /InvisibleText /Flags 5 "
                        "/FontBBox [0 0 500 1000] /ItalicAngle 0 /Ascent 1000 /Descent -1 "
                        "/CapHeight 1000 /StemV 80 >>") &&
            writeStream(cmap, QByteArray(), toUnicodeCMap());
        if (!ok) {
            return false;
        }
    }
    return true;
}

QByteArray PdfWriter::textContent(const RecognizedPage& page, bool visible) const {
    const double sx = 72.0 / (page.dpi.width() > 0 ? page.dpi.width() : 300.0);
    const double sy = 72.0 / (page.dpi.height() > 0 ? page.dpi.height() : 300.0);
    const double pageHeight = page.size.height() * sy;
    QByteArray out;
    for (const RecognizedBlock& block : page.blocks) {
        for (const RecognizedParagraph& paragraph : block.paragraphs) {
            for (const RecognizedLine& line : paragraph.lines) {
                const int baselinePx = line.baseline >= 0 ? line.baseline : line.box.bottom() + 1;
                const double lineHeight = std::max(1.0, line.box.height() * sy);
                const double baseline = pageHeight - baselinePx * sy;
                for (const RecognizedWord& word : line.words) {
                    if (word.text.trimmed().isEmpty() || word.box.width() <= 0) {
                        continue;
                    }
                    const double x = word.box.left() * sx;
                    const double width = word.box.width() * sx;
                    QByteArray shown;
                    double natural = 0;
                    double size = lineHeight;
                    double y = baseline;
                    if (visible) {
                        shown = literalString(encodeText(word.text, TextEncoding::Windows1252));
                        size = std::max(1.0, lineHeight * 0.8);
                        natural = helveticaWidth(encodeText(word.text, TextEncoding::Windows1252));
                    } else {
                        const QVector<char16_t> units = codeUnits(word.text);
                        shown = "<";
                        for (char16_t u : units) {
                            shown += QByteArray::number(u, 16).rightJustified(4, '0');
                        }
                        shown += ">";
                        natural = 0.5 * static_cast<double>(units.size());
                        // The whole line box, bottom to top, is the glyphs' extent.
                        y = pageHeight - (line.box.bottom() + 1) * sy;
                    }
                    const double scale =
                        natural > 0 ? std::clamp(100.0 * width / (natural * size), 1.0, 1000.0)
                                    : 100.0;
                    out += "BT\n" + QByteArray(visible ? "/F1 " : "/F2 ") + num(size) + " Tf " +
                           QByteArray(visible ? "0" : "3") + " Tr " + num(scale) + " Tz 1 0 0 1 " +
                           num(x) + " " + num(y) + " Tm " + shown + " Tj\nET\n";
                }
            }
        }
    }
    return out;
}

bool PdfWriter::writePage(const RecognizedPage& page) {
    if (page.size.isEmpty()) {
        return fail(QStringLiteral("page without size"));
    }
    const QSizeF points = page.sizeInPoints();
    const int pageObject = newObject();
    const int contentObject = newObject();
    int imageObject = 0;
    QByteArray content;
    QByteArray resources = "<< /ProcSet [/PDF /Text /ImageB /ImageC]";

    if (m_variant != Variant::TextOnly) {
        if (page.image.isNull()) {
            return fail(QStringLiteral("page image missing"));
        }
        const EncodedImage image = encodePageImage(page.image, page.jpegData);
        if (!image.ok()) {
            return fail(QStringLiteral("page image could not be encoded"));
        }
        imageObject = newObject();
        QByteArray dict = "/Type /XObject /Subtype /Image /Width " +
                          QByteArray::number(image.width) + " /Height " +
                          QByteArray::number(image.height) + " /ColorSpace /" + image.colorSpace +
                          " /BitsPerComponent " + QByteArray::number(image.bitsPerComponent) +
                          " /Filter /" + image.filter;
        if (!image.decodeParms.isEmpty()) {
            dict += " /DecodeParms " + image.decodeParms;
        }
        if (!image.decode.isEmpty()) {
            dict += " /Decode " + image.decode;
        }
        if (!writeStream(imageObject, dict, image.data)) {
            return false;
        }
        resources += " /XObject << /Im1 " + ref(imageObject) + " >>";
    }
    const QByteArray drawImage =
        "q " + num(points.width()) + " 0 0 " + num(points.height()) + " 0 0 cm /Im1 Do Q\n";
    switch (m_variant) {
        case Variant::TextOnly:
            content = textContent(page, true);
            resources += " /Font << /F1 " + ref(m_visibleFont) + " >>";
            break;
        case Variant::TextOnImage:
            content = drawImage + "0 g\n" + textContent(page, true);
            resources += " /Font << /F1 " + ref(m_visibleFont) + " >>";
            break;
        case Variant::ImageOnText:
            content = textContent(page, false) + drawImage;
            resources += " /Font << /F2 " + ref(m_invisibleFont) + " >>";
            break;
    }
    resources += " >>";
    if (!writeStream(contentObject, "/Filter /FlateDecode", flate(content))) {
        return false;
    }
    QByteArray annots;
    if (!writeAnnotations(page, pageObject, &annots)) {
        return false;
    }
    m_pageObjects.append(pageObject);
    return writeObject(pageObject, "<< /Type /Page /Parent " + ref(m_pageTree) +
                                       " /MediaBox [0 0 " + num(points.width()) + " " +
                                       num(points.height()) + "] /Resources " + resources +
                                       " /Contents " + ref(contentObject) + annots + " >>");
}

int PdfWriter::standardFont(bool bold) {
    int& id = bold ? m_boldFont : m_regularFont;
    if (id == 0) {
        id = newObject();
        if (!writeObject(id, QByteArray("<< /Type /Font /Subtype /Type1 /BaseFont /") +
                                 (bold ? "Helvetica-Bold" : "Helvetica") +
                                 " /Encoding /WinAnsiEncoding >>")) {
            return 0;
        }
    }
    return id;
}

bool PdfWriter::writeAnnotations(const RecognizedPage& page, int pageObject, QByteArray* annots) {
    PdfAnnotationPlace place{page.dpi, page.sizeInPoints().height(), 0, 0};
    QByteArray refs;
    for (qsizetype i = 0; i < page.annotations.size(); ++i) {
        const imaging::Annotation& a = page.annotations.at(i);
        const int font = pdfAnnotationFont(a);
        place.regularFont = font == 1 ? standardFont(false) : 0;
        place.boldFont = font == 2 ? standardFont(true) : 0;
        const PdfAnnotation pdf = pdfAnnotation(
            a, place, QStringLiteral("annotation-%1-%2").arg(pagesWritten() + 1).arg(i + 1));
        if (pdf.isNull()) {
            continue;
        }
        const int annotation = newObject();
        const int appearance = newObject();
        if (hasError() || !writeStream(appearance, pdf.formEntries, pdf.appearance) ||
            !writeObject(annotation, "<< " + pdf.entries + " /P " + ref(pageObject) +
                                         " /AP << /N " + ref(appearance) + " >> >>")) {
            return false;
        }
        refs += ref(annotation) + " ";
    }
    *annots = refs.isEmpty() ? QByteArray() : " /Annots [" + refs.trimmed() + "]";
    return true;
}

bool PdfWriter::endDocument() {
    QByteArray kids;
    for (int id : m_pageObjects) {
        kids += ref(id) + " ";
    }
    if (!writeObject(m_pageTree, "<< /Type /Pages /Kids [" + kids.trimmed() + "] /Count " +
                                     QByteArray::number(m_pageObjects.size()) + " >>") ||
        !writeObject(m_catalog, "<< /Type /Catalog /Pages " + ref(m_pageTree) + " >>")) {
        return false;
    }
    const qint64 xref = bytesWritten();
    QByteArray table = "xref\n0 " + QByteArray::number(m_lastObject + 1) + "\n";
    table += "0000000000 65535 f \n";
    m_offsets.resize(m_lastObject + 1, -1);
    for (int id = 1; id <= m_lastObject; ++id) {
        const qint64 offset = m_offsets.at(id);
        if (offset < 0) {
            return fail(QStringLiteral("object %1 was never written").arg(id));
        }
        table += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    }
    table += "trailer\n<< /Size " + QByteArray::number(m_lastObject + 1) + " /Root " +
             ref(m_catalog) + " >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return write(table);
}

}  // namespace ktdv::ocr
