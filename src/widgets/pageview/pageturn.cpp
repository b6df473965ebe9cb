#include "widgets/pageview/pageturn.h"

#include <QTransform>

#include <cstring>

namespace ktdv::pageturn {

namespace {

QImage turnMono(const QImage& src, bool clockwise) {
    const int w = src.width();
    const int h = src.height();
    QImage dst(h, w, QImage::Format_Mono);
    if (dst.isNull())
        return dst;
    dst.setColorTable(src.colorTable());
    uchar* out = dst.bits();
    const qsizetype outStride = dst.bytesPerLine();
    std::memset(out, 0, size_t(outStride) * size_t(w));
    for (int y = 0; y < h; ++y) {
        const uchar* line = src.constScanLine(y);
        // Destination column of this source row, and the row each source pixel lands on.
        const int col = clockwise ? h - 1 - y : y;
        const uchar bit = uchar(0x80 >> (col & 7));
        uchar* colBase = out + (col >> 3);
        for (int xb = 0; xb < (w + 7) / 8; ++xb) {
            const uchar byte = line[xb];
            if (!byte)
                continue;
            for (int k = 0; k < 8; ++k) {
                const int x = xb * 8 + k;
                if (x >= w)
                    break;
                if (!(byte & (0x80 >> k)))
                    continue;
                const int row = clockwise ? x : w - 1 - x;
                colBase[row * outStride] |= bit;
            }
        }
    }
    return dst;
}

}  // namespace

QImage quarterTurn(const QImage& page, bool clockwise) {
    if (page.isNull())
        return page;
    QImage out;
    if (page.format() == QImage::Format_Mono || page.format() == QImage::Format_MonoLSB) {
        out = turnMono(
            page.format() == QImage::Format_Mono ? page : page.convertToFormat(QImage::Format_Mono),
            clockwise);
    } else {
        out = page.transformed(QTransform().rotate(clockwise ? 90 : -90));
    }
    out.setDotsPerMeterX(page.dotsPerMeterY());
    out.setDotsPerMeterY(page.dotsPerMeterX());
    return out;
}

QImage flipVertical(const QImage& page) {
    if (page.isNull())
        return page;
    QImage out = page.mirrored(false, true);
    out.setDotsPerMeterX(page.dotsPerMeterX());
    out.setDotsPerMeterY(page.dotsPerMeterY());
    return out;
}

QSizeF storedSize(const QImage& shown, const QTransform& turn) {
    if (shown.isNull())
        return {};
    return turn.inverted().mapRect(QRectF(0, 0, shown.width(), shown.height())).size();
}

QSizeF storedDpi(const QSizeF& shownDpi, const QTransform& turn) {
    return qFuzzyIsNull(turn.m11()) ? shownDpi.transposed() : shownDpi;
}

}  // namespace ktdv::pageturn
