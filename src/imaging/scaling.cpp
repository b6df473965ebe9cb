#include "imaging/scaling.h"

#include <QPainter>

#include <array>
#include <cstring>
#include <vector>

namespace ktdv::imaging {

namespace {

// Set bits of every byte value.
constexpr std::array<quint8, 256> makePopcountTable() {
    std::array<quint8, 256> t{};
    for (int i = 0; i < 256; ++i) {
        int n = 0;
        for (int b = i; b; b >>= 1)
            n += b & 1;
        t[i] = static_cast<quint8>(n);
    }
    return t;
}
constexpr std::array<quint8, 256> kPopcount = makePopcountTable();

// Source span [first, last) covered by target cell i of n over a source of length len; never
// empty, so enlarging repeats source pixels.
struct Span {
    int first;
    int last;
};
Span sourceSpan(qint64 i, qint64 n, qint64 len) {
    int a = static_cast<int>(i * len / n);
    int b = static_cast<int>((i + 1) * len / n);
    if (a >= len)
        a = static_cast<int>(len) - 1;
    if (b <= a)
        b = a + 1;
    return {a, b};
}

// Grey level of a colour table entry of a bilevel image.
int tableGrey(const QImage& img, int index, int fallback) {
    return img.colorCount() > index ? qGray(img.color(index)) : fallback;
}

// Bilevel to grey: every target pixel is the mean of the source pixels its box covers.
// Pages are mostly paper: all-paper words of a row are skipped 64 pixels at a time, and the
// ink of any other byte is counted per target column with masked table look-ups.
// `out` has the part's size and is Format_Grayscale8 or Format_RGB32.
void scaleBilevelInto(const QImage& src, QSize target, const QRect& part, QImage& out) {
    const QImage mono =
        src.format() == QImage::Format_Mono ? src : src.convertToFormat(QImage::Format_Mono);
    const int w = mono.width();
    const int h = mono.height();
    const int g0 = tableGrey(mono, 0, 0);
    const int g1 = tableGrey(mono, 1, 255);
    const int ink = qMin(g0, g1);
    const int paper = qMax(g0, g1);
    // XOR with this makes ink bits 1.
    const uchar flip = g1 < g0 ? 0x00 : 0xFF;
    const bool rgb = out.format() == QImage::Format_RGB32;

    out.setDotsPerMeterX(int(qint64(mono.dotsPerMeterX()) * target.width() / qMax(1, w)));
    out.setDotsPerMeterY(int(qint64(mono.dotsPerMeterY()) * target.height() / qMax(1, h)));

    const int cols = part.width();
    std::vector<int> width(cols);  // source pixels across each target column
    std::vector<int> acc(cols);
    const bool shrinking = target.width() < w;
    // Shrinking: the target column of every source x in [xBegin, xEnd).
    // Enlarging: the one source x of every target column.
    const int xBegin = sourceSpan(part.x(), target.width(), w).first;
    const int xEnd = sourceSpan(part.x() + cols - 1, target.width(), w).last;
    std::vector<int> map(shrinking ? xEnd - xBegin : cols);
    for (int c = 0; c < cols; ++c) {
        const Span s = sourceSpan(part.x() + c, target.width(), w);
        width[c] = s.last - s.first;
        if (shrinking)
            for (int x = s.first; x < s.last; ++x)
                map[x - xBegin] = c;
        else
            map[c] = s.first;
    }

    const int firstByte = xBegin >> 3;
    const int endByte = (xEnd + 7) >> 3;
    // Shrinking: each source byte split into the bits of each target column it feeds.
    struct Segment {
        int col;
        uchar mask;
    };
    std::vector<Segment> segs;
    std::vector<int> segFirst;
    if (shrinking) {
        segFirst.reserve(endByte - firstByte + 1);
        for (int i = firstByte; i < endByte; ++i) {
            segFirst.push_back(int(segs.size()));
            const size_t byteStart = segs.size();
            for (int k = 0; k < 8; ++k) {
                const int x = i * 8 + k;
                if (x < xBegin || x >= xEnd)
                    continue;
                const int col = map[x - xBegin];
                if (segs.size() > byteStart && segs.back().col == col)
                    segs.back().mask |= uchar(0x80 >> k);
                else
                    segs.push_back({col, uchar(0x80 >> k)});
            }
        }
        segFirst.push_back(int(segs.size()));
    }
    auto addRow = [&](const uchar* line) {
        if (!shrinking) {
            for (int c = 0; c < cols; ++c) {
                const int x = map[c];
                acc[c] += ((line[x >> 3] ^ flip) >> (7 - (x & 7))) & 1;
            }
            return;
        }
        auto addByte = [&](int i) {
            const uchar byte = line[i] ^ flip;
            if (!byte)
                return;
            for (int k = segFirst[i - firstByte]; k < segFirst[i - firstByte + 1]; ++k)
                acc[segs[k].col] += kPopcount[byte & segs[k].mask];
        };
        const quint64 paperWord = flip ? ~quint64(0) : quint64(0);
        int i = firstByte;
        for (; i + 8 <= endByte; i += 8) {
            quint64 word;
            std::memcpy(&word, line + i, 8);
            if (word == paperWord)
                continue;
            for (int k = 0; k < 8; ++k)
                addByte(i + k);
        }
        for (; i < endByte; ++i)
            addByte(i);
    };

    for (int r = 0; r < part.height(); ++r) {
        const Span rows = sourceSpan(part.y() + r, target.height(), h);
        std::fill(acc.begin(), acc.end(), 0);
        for (int y = rows.first; y < rows.last; ++y)
            addRow(mono.constScanLine(y));
        uchar* dst = out.scanLine(r);
        QRgb* dstRgb = reinterpret_cast<QRgb*>(dst);
        const int rowCount = rows.last - rows.first;
        for (int c = 0; c < cols; ++c) {
            const int area = width[c] * rowCount;
            const int inked = acc[c];
            const uint grey = uint((paper * (area - inked) + ink * inked + area / 2) / area);
            if (rgb)
                dstRgb[c] = 0xFF000000u | (grey * 0x010101u);
            else
                dst[c] = uchar(grey);
        }
    }
}

QImage scaleSmooth(const QImage& src, QSize target, const QRect& part) {
    if (part == QRect(QPoint(0, 0), target)) {
        QImage img = src;
        if (img.format() == QImage::Format_Indexed8)
            img = img.convertToFormat(img.hasAlphaChannel() ? QImage::Format_ARGB32
                                                            : QImage::Format_RGB32);
        return img.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QImage out(part.size(),
               src.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (out.isNull())
        return out;
    out.fill(Qt::white);
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.translate(-part.x(), -part.y());
    p.scale(double(target.width()) / src.width(), double(target.height()) / src.height());
    p.drawImage(0, 0, src);
    return out;
}

}  // namespace

QImage scaleForDisplay(const QImage& page, QSize target) {
    return scaleForDisplay(page, target, QRect(QPoint(0, 0), target));
}

QImage scaleForDisplay(const QImage& page, QSize target, const QRect& part,
                       QImage::Format greyFormat) {
    if (page.isNull() || target.isEmpty())
        return {};
    const QRect clipped = part.intersected(QRect(QPoint(0, 0), target));
    if (clipped.isEmpty())
        return {};
    if (page.format() == QImage::Format_Mono || page.format() == QImage::Format_MonoLSB) {
        QImage out(clipped.size(), greyFormat == QImage::Format_RGB32 ? QImage::Format_RGB32
                                                                      : QImage::Format_Grayscale8);
        if (!out.isNull())
            scaleBilevelInto(page, target, clipped, out);
        return out;
    }
    return scaleSmooth(page, target, clipped);
}

bool scaleForDisplayInto(const QImage& page, QSize target, const QRect& part, QImage& out) {
    const bool bilevel =
        page.format() == QImage::Format_Mono || page.format() == QImage::Format_MonoLSB;
    const bool fits =
        out.format() == QImage::Format_RGB32 || out.format() == QImage::Format_Grayscale8;
    if (!bilevel || !fits || target.isEmpty() || part.isEmpty() ||
        !QRect(QPoint(0, 0), target).contains(part) || out.size() != part.size())
        return false;
    scaleBilevelInto(page, target, part, out);
    return true;
}

}  // namespace ktdv::imaging
