#include "ocr/textlayerpage.h"

namespace ktdv::ocr {

RecognizedPage pageFromTextLayer(const QVector<imaging::TextLayerWord>& words, const QImage& image,
                                 double dpi) {
    RecognizedPage page;
    page.size = image.size();
    page.dpi = QSizeF(dpi, dpi);
    page.image = image;
    RecognizedParagraph paragraph;
    int line = -1;
    for (const imaging::TextLayerWord& word : words) {
        if (paragraph.lines.isEmpty() || word.line != line) {
            paragraph.lines.append(RecognizedLine());
            line = word.line;
        }
        RecognizedLine& current = paragraph.lines.last();
        current.words.append({word.text, word.box, 100.0f});
        current.box = current.box.united(word.box);
        paragraph.box = paragraph.box.united(word.box);
    }
    if (!paragraph.lines.isEmpty()) {
        RecognizedBlock block;
        block.box = paragraph.box;
        block.paragraphs.append(paragraph);
        page.blocks.append(block);
    }
    return page;
}

}  // namespace ktdv::ocr
