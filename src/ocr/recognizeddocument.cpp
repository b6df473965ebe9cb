#include "ocr/recognizeddocument.h"

#include <QStringList>

namespace ktdv::ocr {

QString RecognizedLine::text() const {
    QStringList parts;
    parts.reserve(words.size());
    for (const RecognizedWord& w : words) {
        if (!w.text.isEmpty()) {
            parts.append(w.text);
        }
    }
    return parts.join(QLatin1Char(' '));
}

bool RecognizedPage::isEmpty() const {
    for (const RecognizedBlock& b : blocks) {
        for (const RecognizedParagraph& p : b.paragraphs) {
            for (const RecognizedLine& l : p.lines) {
                for (const RecognizedWord& w : l.words) {
                    if (!w.text.trimmed().isEmpty()) {
                        return false;
                    }
                }
            }
        }
    }
    return true;
}

QSizeF RecognizedPage::sizeInPoints() const {
    const double dx = dpi.width() > 0 ? dpi.width() : 300.0;
    const double dy = dpi.height() > 0 ? dpi.height() : 300.0;
    return {size.width() * 72.0 / dx, size.height() * 72.0 / dy};
}

}  // namespace ktdv::ocr
