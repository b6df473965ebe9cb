#include "imaging/scaling.h"

#include <QHash>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace ktdv::imaging {

namespace {

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

// Grey of every ink count of a box of `area` source pixels, rounded as
// (paper * (area - inked) + ink * inked + area / 2) / area.
struct GreyTable {
    int area = 0;
    std::vector<quint32> pixel;  // as written: grey, or 0xFFgggggg for RGB32
};

// Bilevel to grey: every target pixel is the mean of the source pixels its box covers.
// Pages are mostly paper: all-paper words of a row are skipped 64 pixels at a time. When
// shrinking, each source byte adds the ink of up to eight target columns at once: a table
// per byte position gives its count per column packed into the eight bytes of a 64-bit
// word, and the words of the source rows of one target row are summed before they are
// spread over the columns. Greys come from a table per box area, never from a division.
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
    const quint32 paperPixel = rgb ? 0xFF000000u | (uint(paper) * 0x010101u) : uint(paper);
    const bool whitePaper = paperPixel == 0xFFFFFFFFu;

    out.setDotsPerMeterX(int(qint64(mono.dotsPerMeterX()) * target.width() / qMax(1, w)));
    out.setDotsPerMeterY(int(qint64(mono.dotsPerMeterY()) * target.height() / qMax(1, h)));

    const int cols = part.width();
    std::vector<int> acc(cols, 0);
    const bool shrinking = target.width() < w;
    // Shrinking: the target column of every source x in [xBegin, xEnd).
    // Enlarging: the one source x of every target column.
    const int xBegin = sourceSpan(part.x(), target.width(), w).first;
    const int xEnd = sourceSpan(part.x() + cols - 1, target.width(), w).last;
    std::vector<int> map(shrinking ? xEnd - xBegin : cols);
    // Source pixels across each target column take few values: each column names its one.
    std::vector<int> widths;
    std::vector<quint8> widthOf(cols);
    for (int c = 0; c < cols; ++c) {
        const Span s = sourceSpan(part.x() + c, target.width(), w);
        const int width = s.last - s.first;
        auto it = std::find(widths.begin(), widths.end(), width);
        if (it == widths.end()) {
            widths.push_back(width);
            it = widths.end() - 1;
        }
        widthOf[c] = quint8(it - widths.begin());
        if (shrinking)
            for (int x = s.first; x < s.last; ++x)
                map[x - xBegin] = c;
        else
            map[c] = s.first;
    }
    if (widths.size() > 255)  // cannot happen with spans from sourceSpan; kept safe
        return;

    std::vector<GreyTable> tables;
    auto tableFor = [&](int area) -> const quint32* {
        for (const GreyTable& t : tables)
            if (t.area == area)
                return t.pixel.data();
        GreyTable t;
        t.area = area;
        t.pixel.resize(size_t(area) + 1);
        for (int inked = 0; inked <= area; ++inked) {
            const uint grey =
                uint((qint64(paper) * (area - inked) + qint64(ink) * inked + area / 2) / area);
            t.pixel[size_t(inked)] = rgb ? 0xFF000000u | (grey * 0x010101u) : grey;
        }
        tables.push_back(std::move(t));
        return tables.back().pixel.data();
    };

    const int firstByte = xBegin >> 3;
    const int endByte = (xEnd + 7) >> 3;
    const int bytes = endByte - firstByte;
    // Shrinking: per source byte, the first target column it feeds and the table that
    // spreads its bits over that column and the next ones (at most eight).
    std::vector<int> byteCol;
    std::vector<quint8> byteFields;
    std::vector<const quint64*> byteTable;
    std::vector<std::pair<quint32, std::vector<quint64>>> spreads;
    std::vector<quint64> packed;
    if (shrinking) {
        byteCol.resize(size_t(bytes));
        byteFields.resize(size_t(bytes));
        byteTable.resize(size_t(bytes));
        packed.assign(size_t(bytes), 0);
        std::vector<size_t> spreadOf(static_cast<size_t>(bytes));
        QHash<quint32, size_t> spreadIndex;
        for (int i = firstByte; i < endByte; ++i) {
            int first = -1;
            quint32 key = 0;  // field of each bit, 4 bits each; 0xF = outside the part
            int fields = 0;
            for (int k = 0; k < 8; ++k) {
                const int x = i * 8 + k;
                int field = 0xF;
                if (x >= xBegin && x < xEnd) {
                    const int col = map[x - xBegin];
                    if (first < 0)
                        first = col;
                    field = col - first;
                    fields = field + 1;
                }
                key |= quint32(field) << (4 * k);
            }
            byteCol[size_t(i - firstByte)] = qMax(0, first);
            byteFields[size_t(i - firstByte)] = quint8(fields);
            auto known = spreadIndex.constFind(key);
            if (known == spreadIndex.constEnd()) {
                // Built from the lowest set bit up: one addition per byte value.
                quint64 bit[8];
                for (int k = 0; k < 8; ++k) {
                    const int field = int(key >> (4 * k)) & 0xF;
                    bit[k] = field == 0xF ? 0 : quint64(1) << (8 * field);
                }
                std::vector<quint64> table(256, 0);
                for (int v = 1; v < 256; ++v)
                    table[size_t(v)] =
                        table[size_t(v & (v - 1))] + bit[7 - qCountTrailingZeroBits(uint(v))];
                known = spreadIndex.insert(key, spreads.size());
                spreads.emplace_back(key, std::move(table));
            }
            const size_t found = known.value();
            spreadOf[size_t(i - firstByte)] = found;
        }
        for (int i = 0; i < bytes; ++i)
            byteTable[size_t(i)] = spreads[spreadOf[size_t(i)]].second.data();
    }
    // Rows summed into the packed counts before they could overflow a byte (8 bits a row).
    constexpr int kRowsPerFlush = 31;
    int touchedFirst = INT_MAX;  // byte range of `packed` holding ink
    int touchedLast = -1;
    auto flush = [&] {
        for (int b = touchedFirst; b <= touchedLast; ++b) {
            quint64 word = packed[size_t(b)];
            if (!word)
                continue;
            packed[size_t(b)] = 0;
            int* a = acc.data() + byteCol[size_t(b)];
            const int fields = byteFields[size_t(b)];
            for (int f = 0; f < fields; ++f, word >>= 8)
                a[f] += int(word & 0xFF);
        }
    };
    auto addRow = [&](const uchar* line) {
        if (!shrinking) {
            for (int c = 0; c < cols; ++c) {
                const int x = map[c];
                acc[c] += ((line[x >> 3] ^ flip) >> (7 - (x & 7))) & 1;
            }
            return;
        }
        const uchar* from = line + firstByte;
        const quint64 paperWord = flip ? ~quint64(0) : quint64(0);
        auto addBytes = [&](int b, int end) {
            bool any = false;
            for (; b < end; ++b) {
                const uchar byte = from[b] ^ flip;
                if (!byte)
                    continue;
                packed[size_t(b)] += byteTable[size_t(b)][byte];
                touchedFirst = qMin(touchedFirst, b);
                touchedLast = qMax(touchedLast, b);
                any = true;
            }
            return any;
        };
        int b = 0;
        for (; b + 8 <= bytes; b += 8) {
            quint64 word;
            std::memcpy(&word, from + b, 8);
            if (word != paperWord)
                addBytes(b, b + 8);
        }
        addBytes(b, bytes);
    };

    int tableRows = -1;
    std::vector<const quint32*> rowTables(widths.size());
    for (int r = 0; r < part.height(); ++r) {
        const Span rows = sourceSpan(part.y() + r, target.height(), h);
        const int rowCount = rows.last - rows.first;
        touchedFirst = INT_MAX;
        touchedLast = -1;
        int pending = 0;
        for (int y = rows.first; y < rows.last; ++y) {
            addRow(mono.constScanLine(y));
            if (shrinking && ++pending == kRowsPerFlush) {
                flush();
                pending = 0;
            }
        }
        // Columns that may hold ink; the others are paper.
        int c0 = 0, c1 = cols;
        if (shrinking) {
            flush();
            if (touchedLast < 0) {
                c0 = c1 = 0;
            } else {
                c0 = byteCol[size_t(touchedFirst)];
                c1 = qMin(cols, byteCol[size_t(touchedLast)] + byteFields[size_t(touchedLast)]);
            }
        }
        if (rowCount != tableRows) {
            for (size_t k = 0; k < widths.size(); ++k)
                rowTables[k] = tableFor(widths[k] * rowCount);
            tableRows = rowCount;
        }
        uchar* dst = out.scanLine(r);
        if (rgb) {
            quint32* d = reinterpret_cast<quint32*>(dst);
            if (whitePaper) {  // the usual paper: a plain byte fill
                std::memset(d, 0xFF, size_t(c0) * 4);
                std::memset(d + c1, 0xFF, size_t(cols - c1) * 4);
            } else {
                std::fill(d, d + c0, paperPixel);
                std::fill(d + c1, d + cols, paperPixel);
            }
            for (int c = c0; c < c1; ++c)
                d[c] = rowTables[widthOf[c]][acc[c]];
        } else {
            std::memset(dst, paper, size_t(c0));
            for (int c = c0; c < c1; ++c)
                dst[c] = uchar(rowTables[widthOf[c]][acc[c]]);
            std::memset(dst + c1, paper, size_t(cols - c1));
        }
        std::fill(acc.begin() + c0, acc.begin() + c1, 0);
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
