#include "ocr/writers/hocrwriter.h"

#include <cmath>

namespace ktdv::ocr {

namespace {

QString bbox(const QRect& r) {
    return QStringLiteral("bbox %1 %2 %3 %4")
        .arg(r.left())
        .arg(r.top())
        .arg(r.right() + 1)
        .arg(r.bottom() + 1);
}

}  // namespace

bool HocrWriter::beginDocument() {
    return write(
        "<!DOCTYPE html>\n"
        "<html lang=\"en\">\n"
        "<head>\n"
        "<meta charset=\"utf-8\">\n"
        "<title>Recognised text</title>\n"
        "<meta name=\"ocr-system\" content=\"KTDocView\">\n"
        "<meta name=\"ocr-capabilities\" "
        "content=\"ocr_page ocr_carea ocr_par ocr_line ocrx_word\">\n"
        "</head>\n"
        "<body>\n");
}

bool HocrWriter::writePage(const RecognizedPage& page) {
    const int n = pagesWritten() + 1;
    QString out;
    out += QStringLiteral(
               "<div class=\"ocr_page\" id=\"page_%1\" title=\"%2; ppageno %3; "
               "scan_res %4 %5\">\n")
               .arg(n)
               .arg(bbox(QRect(QPoint(0, 0), page.size)))
               .arg(n - 1)
               .arg(std::lround(page.dpi.width()))
               .arg(std::lround(page.dpi.height()));
    int blockNo = 0;
    int parNo = 0;
    int lineNo = 0;
    int wordNo = 0;
    for (const RecognizedBlock& block : page.blocks) {
        out += QStringLiteral(" <div class=\"ocr_carea\" id=\"block_%1_%2\" title=\"%3\">\n")
                   .arg(n)
                   .arg(++blockNo)
                   .arg(bbox(block.box));
        for (const RecognizedParagraph& paragraph : block.paragraphs) {
            out += QStringLiteral("  <p class=\"ocr_par\" id=\"par_%1_%2\" title=\"%3\">\n")
                       .arg(n)
                       .arg(++parNo)
                       .arg(bbox(paragraph.box));
            for (const RecognizedLine& line : paragraph.lines) {
                out += QStringLiteral("   <span class=\"ocr_line\" id=\"line_%1_%2\" title=\"%3\">")
                           .arg(n)
                           .arg(++lineNo)
                           .arg(bbox(line.box));
                bool first = true;
                for (const RecognizedWord& word : line.words) {
                    if (!first) {
                        out += QLatin1Char(' ');
                    }
                    first = false;
                    out += QStringLiteral(
                               "<span class=\"ocrx_word\" id=\"word_%1_%2\" title=\"%3; "
                               "x_wconf %4\">")
                               .arg(n)
                               .arg(++wordNo)
                               .arg(bbox(word.box))
                               .arg(std::lround(word.confidence)) +
                           word.text.toHtmlEscaped() + QStringLiteral("</span>");
                }
                out += QStringLiteral("</span>\n");
            }
            out += QStringLiteral("  </p>\n");
        }
        out += QStringLiteral(" </div>\n");
    }
    out += QStringLiteral("</div>\n");
    return write(out.toUtf8());
}

bool HocrWriter::endDocument() {
    return write("</body>\n</html>\n");
}

}  // namespace ktdv::ocr
