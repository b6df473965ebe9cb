#include "ocr/recognizeddocument.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

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

QRect PagePlacement::toDecoded(const QRect& box, QSize pictureSize) const {
    if (decodedSize.isEmpty() || box.isEmpty()) {
        return box;
    }
    const double w = pictureSize.width();
    const double h = pictureSize.height();
    // The picture before the turns (the deskew keeps the size).
    const bool across = quarterTurns % 2 == 1;
    const double ws = across ? h : w;
    const double hs = across ? w : h;
    const double radians = skewDegrees * M_PI / 180.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    double left = 1e18;
    double top = 1e18;
    double right = -1e18;
    double bottom = -1e18;
    const QPointF corners[4] = {QPointF(box.left(), box.top()), QPointF(box.right() + 1, box.top()),
                                QPointF(box.left(), box.bottom() + 1),
                                QPointF(box.right() + 1, box.bottom() + 1)};
    for (const QPointF& q : corners) {
        // Undo the skew, then the quarter turns, then the stretch.
        const double dx = q.x() - w / 2;
        const double dy = q.y() - h / 2;
        const double u = w / 2 + c * dx + s * dy;
        const double v = h / 2 - s * dx + c * dy;
        double x = u;
        double y = v;
        switch (quarterTurns) {
            case 1:
                x = v, y = hs - u;
                break;
            case 2:
                x = ws - u, y = hs - v;
                break;
            case 3:
                x = ws - v, y = u;
                break;
            default:
                break;
        }
        x /= scaleX;
        y /= scaleY;
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
    }
    const QRect mapped(QPoint(int(std::floor(left)), int(std::floor(top))),
                       QPoint(int(std::ceil(right)) - 1, int(std::ceil(bottom)) - 1));
    return mapped.intersected(QRect(QPoint(0, 0), decodedSize));
}

}  // namespace ktdv::ocr
