#include "imaging/ccittdecoder.h"

#include <QCoreApplication>
#include <QHash>

#include <vector>

#include "imaging/ccittcodes.h"
#include "imaging/limits.h"

namespace ktdv::imaging::ccitt {

namespace {

// ---- Bit reader ----------------------------------------------------------------------

class BitReader {
public:
    BitReader(const uchar* data, qint64 size, bool lsbFirst)
        : m_data(data),
          m_bits(quint64(size) * 8),
          m_tables(tables()),
          m_rev(lsbFirst ? &m_tables.reverse : nullptr) {}

    // The run lengths by the next kLookupBits bits for one colour.
    const RunTable& runs(bool black) const { return black ? m_tables.black : m_tables.white; }

    // The next n (<= 24) bits, most significant first; zeros past the end.
    quint32 peek(int n) const {
        quint32 acc = 0;
        const quint64 byte = m_pos >> 3;
        for (quint64 i = 0; i < 4; ++i) {
            acc <<= 8;
            if ((byte + i) * 8 < m_bits) {
                const uchar b = m_data[byte + i];
                acc |= m_rev ? (*m_rev)[b] : b;
            }
        }
        return (acc << (m_pos & 7)) >> (32 - n);
    }
    void skip(int n) { m_pos += quint64(n); }
    bool atEnd() const { return m_pos >= m_bits; }
    bool pastEnd() const { return m_pos > m_bits; }
    void alignToByte() { m_pos = (m_pos + 7) & ~quint64(7); }
    quint64 position() const { return m_pos; }

    // An EOL is 11 or more zeros and a one. Consumes it when present.
    bool takeEol() {
        quint64 p = m_pos;
        int zeros = 0;
        while (p < m_bits) {
            const quint32 bit = bitAt(p);
            if (bit)
                break;
            ++zeros, ++p;
        }
        if (zeros >= 11 && p < m_bits) {
            m_pos = p + 1;
            return true;
        }
        return false;
    }
    // Moves to the start of the next EOL at or after `from`; false when there is none.
    bool seekToEol(quint64 from) {
        int zeros = 0;
        for (quint64 p = from; p < m_bits; ++p) {
            if (bitAt(p)) {
                if (zeros >= 11) {
                    m_pos = p - quint64(zeros);
                    return true;
                }
                zeros = 0;
            } else {
                ++zeros;
            }
        }
        return false;
    }
    // Skips forward to just after the next EOL; false when there is none.
    bool seekPastEol() {
        int zeros = 0;
        while (m_pos < m_bits) {
            const quint32 bit = bitAt(m_pos++);
            if (bit) {
                if (zeros >= 11)
                    return true;
                zeros = 0;
            } else {
                ++zeros;
            }
        }
        return false;
    }
    // True when only zero bits remain (padding).
    bool onlyZerosLeft() const {
        for (quint64 p = m_pos; p < m_bits; ++p)
            if (bitAt(p))
                return false;
        return true;
    }

private:
    quint32 bitAt(quint64 p) const {
        uchar b = m_data[p >> 3];
        if (m_rev)
            b = (*m_rev)[b];
        return (b >> (7 - (p & 7))) & 1;
    }
    const uchar* m_data;
    quint64 m_bits;
    quint64 m_pos = 0;
    const Tables& m_tables;
    const std::array<uchar, 256>* m_rev;
};

// A run of one colour: sum of make-up codes and a terminating code; -1 on a bad code.
int readRun(BitReader& in, bool black) {
    const RunTable& t = in.runs(black);
    int total = 0;
    for (int guard = 0; guard < 64; ++guard) {
        const quint32 bits = in.peek(kLookupBits);
        const int run = t.run[bits];
        if (run < 0)
            return -1;
        in.skip(t.length[bits]);
        if (in.pastEnd())
            return -1;
        total += run;
        if (run < 64)
            return total;
        if (total > limits::kMaxPageDimension)
            return -1;
    }
    return -1;
}

// ---- Rows ----------------------------------------------------------------------------

// Changing elements of a row: positions where the colour changes, starting white.
using Changes = std::vector<int>;

void paintRow(uchar* row, int width, const Changes& changes) {
    const int bytes = (width + 7) / 8;
    memset(row, 0xFF, size_t(bytes));
    for (size_t i = 0; i + 1 <= changes.size(); i += 2) {
        int from = changes[i];
        int to = i + 1 < changes.size() ? changes[i + 1] : width;
        from = qBound(0, from, width);
        to = qBound(0, to, width);
        for (int x = from; x < to;) {
            if ((x & 7) == 0 && to - x >= 8) {
                const int n = (to - x) / 8;
                memset(row + x / 8, 0x00, size_t(n));
                x += n * 8;
            } else {
                row[x >> 3] &= uchar(~(0x80 >> (x & 7)));
                ++x;
            }
        }
    }
}

bool decode1D(BitReader& in, int width, Changes& cur) {
    cur.clear();
    int a0 = 0;
    bool black = false;
    while (a0 < width) {
        const int run = readRun(in, black);
        if (run < 0)
            return false;
        a0 += run;
        if (a0 > width)
            return false;
        cur.push_back(a0);
        black = !black;
    }
    // A trailing black-to-white change at the right edge carries no pixel.
    while (!cur.empty() && cur.back() >= width)
        cur.pop_back();
    return true;
}

enum Mode { Pass, Horizontal, V0, VR1, VR2, VR3, VL1, VL2, VL3, Extension, Bad };

Mode readMode(BitReader& in) {
    const quint32 b = in.peek(7);
    if (b & 0x40)
        return in.skip(1), V0;  // 1
    if ((b >> 4) == 0x3)
        return in.skip(3), VR1;  // 011
    if ((b >> 4) == 0x2)
        return in.skip(3), VL1;  // 010
    if ((b >> 4) == 0x1)
        return in.skip(3), Horizontal;  // 001
    if ((b >> 3) == 0x1)
        return in.skip(4), Pass;  // 0001
    if ((b >> 1) == 0x3)
        return in.skip(6), VR2;  // 000011
    if ((b >> 1) == 0x2)
        return in.skip(6), VL2;  // 000010
    if (b == 0x3)
        return in.skip(7), VR3;  // 0000011
    if (b == 0x2)
        return in.skip(7), VL3;  // 0000010
    if (b == 0x1)
        return Extension;  // 0000001
    return Bad;
}

bool decode2D(BitReader& in, int width, const Changes& refIn, Changes& ref, Changes& cur) {
    ref = refIn;
    ref.push_back(width);
    ref.push_back(width);
    cur.clear();
    int a0 = -1;
    bool black = false;
    size_t i = 0;
    while (a0 < width) {
        // b1: first change on the reference line right of a0 whose new colour is the
        // opposite of the current colour (even index: to black; odd: to white).
        while (i > 0 && ref[i - 1] > a0)
            --i;
        while (i < ref.size() && (ref[i] <= a0 || (i & 1) != (black ? 1u : 0u)))
            ++i;
        if (i + 1 >= ref.size())
            i = ref.size() - 2;
        const int b1 = ref[i];
        const int b2 = ref[i + 1];
        const Mode mode = readMode(in);
        if (in.pastEnd())
            return false;
        switch (mode) {
            case Pass:
                a0 = b2;
                break;
            case Horizontal: {
                const int start = qMax(a0, 0);
                const int r1 = readRun(in, black);
                if (r1 < 0)
                    return false;
                const int r2 = readRun(in, !black);
                if (r2 < 0)
                    return false;
                const int a1 = start + r1, a2 = a1 + r2;
                if (a1 > width || a2 > width)
                    return false;
                cur.push_back(a1);
                cur.push_back(a2);
                a0 = a2;
                break;
            }
            case V0:
            case VR1:
            case VR2:
            case VR3:
            case VL1:
            case VL2:
            case VL3: {
                static constexpr int kDelta[] = {0, 0, 0, 1, 2, 3, -1, -2, -3};
                const int a1 = b1 + kDelta[mode];
                if (a1 < qMax(a0, 0) || a1 > width)
                    return false;
                cur.push_back(a1);
                a0 = a1;
                black = !black;
                break;
            }
            case Extension:
            case Bad:
                return false;
        }
    }
    while (!cur.empty() && cur.back() >= width)
        cur.pop_back();
    return true;
}

}  // namespace

StripResult decodeStrip(const uchar* data, qint64 size, const Params& params, uchar* out,
                        qsizetype stride, int maxRows) {
    StripResult result;
    const int width = params.width;
    if (!data || size <= 0 || width <= 0 || width > limits::kMaxPageDimension || maxRows <= 0) {
        result.stoppedEarly = maxRows > 0;
        result.error = QCoreApplication::translate("ktdv::imaging", "No fax data");
        return result;
    }
    BitReader in(data, size, params.lsbFirst);
    Changes ref, refScratch, cur;
    const bool g3 = params.coding != Coding::G4;
    int consecutiveEols = 0;

    while (result.rows < maxRows) {
        if (params.byteAlignedRows)
            in.alignToByte();
        bool twoD = params.coding == Coding::G4;
        if (g3) {
            // Zero or more EOLs; two or more in a row end the page.
            consecutiveEols = 0;
            while (in.takeEol()) {
                ++consecutiveEols;
                if (params.coding == Coding::TwoD) {
                    twoD = in.peek(1) == 0;
                    in.skip(1);
                }
            }
            if (consecutiveEols >= 2 && result.rows > 0)
                break;
        } else if (in.peek(12) == 1) {  // EOFB
            break;
        }
        if (in.atEnd() || in.onlyZerosLeft())
            break;

        const quint64 rowStart = in.position();
        const bool ok = twoD ? decode2D(in, width, ref, refScratch, cur) : decode1D(in, width, cur);
        uchar* row = out + stride * result.rows;
        if (ok) {
            paintRow(row, width, cur);
            ref.swap(cur);
            ++result.rows;
            // Rows that start with an EOL end at the next one: whatever an encoder put
            // between (a zero-length closing run, say) is skipped.
            if (g3 && consecutiveEols > 0 && !params.byteAlignedRows && !in.atEnd() &&
                in.peek(11) != 0 && !in.seekToEol(in.position()))
                break;
            continue;
        }
        // A coding error: keep the row white and resynchronise on the next EOL (fax data
        // carries EOLs for this); T.6 data and EOL-less rows cannot be resynchronised.
        if (in.atEnd() || in.pastEnd()) {
            result.stoppedEarly = true;
            result.error =
                QCoreApplication::translate("ktdv::imaging", "The fax data ends inside row %1")
                    .arg(result.rows + 1);
            break;
        }
        ++result.badRows;
        result.error = QCoreApplication::translate("ktdv::imaging", "Bad fax code in row %1")
                           .arg(result.rows + 1);
        if (!g3 || !in.seekToEol(rowStart + 1)) {
            result.stoppedEarly = true;
            break;
        }
        memset(row, 0xFF, size_t((width + 7) / 8));
        ref.clear();
        ++result.rows;
    }
    return result;
}

QImage decodePage(const QByteArray& data, const Params& params, int maxRows, StripResult* result) {
    StripResult local;
    StripResult& r = result ? *result : local;
    r = StripResult();
    if (params.width <= 0 || params.width > limits::kMaxPageDimension || maxRows <= 0)
        return {};
    const qint64 bytesPerLine = ((qint64(params.width) + 31) / 32) * 4;
    maxRows = int(qMin<qint64>(maxRows, limits::kMaxPageBytes / bytesPerLine));
    maxRows = qMin(maxRows, limits::kMaxPageDimension);
    // Grow in chunks so a short page never allocates the bound.
    std::vector<uchar> buffer;
    const qsizetype stride = qsizetype(bytesPerLine);
    int rows = 0;
    int capacity = qMin(maxRows, 4096);
    buffer.resize(size_t(capacity) * size_t(stride));
    // Decode once into a growing buffer: decodeStrip is resumable only from the start,
    // so decode with the full bound into a buffer sized to the bound when needed.
    for (;;) {
        r = decodeStrip(reinterpret_cast<const uchar*>(data.constData()), data.size(), params,
                        buffer.data(), stride, capacity);
        rows = r.rows;
        if (rows < capacity || capacity >= maxRows)
            break;
        capacity = qMin(maxRows, capacity * 4);
        buffer.assign(size_t(capacity) * size_t(stride), 0);
    }
    if (rows <= 0)
        return {};
    QImage image(params.width, rows, QImage::Format_Mono);
    if (image.isNull())
        return {};
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < rows; ++y)
        memcpy(image.scanLine(y), buffer.data() + size_t(y) * size_t(stride), size_t(stride));
    return image;
}

bool looksLikeRawFax(const QByteArray& head) {
    // An EOL (11+ zeros then a one) within the first bytes, and more EOLs after it.
    if (head.size() < 8)
        return false;
    for (bool lsb : {false, true}) {
        BitReader in(reinterpret_cast<const uchar*>(head.constData()), head.size(), lsb);
        // Leading fill: at most a few bytes of zeros before the first EOL.
        if (in.peek(8) != 0)
            continue;
        if (!in.takeEol())
            continue;
        if (in.position() > 64)
            continue;
        int eols = 1;
        while (eols < 3 && in.seekPastEol())
            ++eols;
        if (eols >= 3)
            return true;
    }
    return false;
}

bool probeRawStream(const QByteArray& data, Params* params, int* rows) {
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const qint64 size = data.size();
    for (bool lsb : {false, true}) {
        // Rows between EOLs decoded as 1-D with an unbounded width give the width directly.
        BitReader in(bytes, size, lsb);
        QHash<int, int> widths;
        int measured = 0, twoDTags = 0;
        while (measured < 256 && in.seekPastEol()) {
            // A 2-D stream carries a tag bit after each EOL.
            const quint64 save = in.position();
            int a0 = 0;
            bool black = false;
            bool good = true;
            while (good) {
                if (in.peek(11) == 0)
                    break;  // next EOL
                const int run = readRun(in, black);
                if (run < 0)
                    good = false;
                else
                    a0 += run, black = !black;
                if (a0 > limits::kMaxPageDimension)
                    good = false;
            }
            if (good && a0 > 0)
                widths[a0] += 1;
            else if (!good)
                ++twoDTags;
            ++measured;
            Q_UNUSED(save);
        }
        int best = 0, bestCount = 0;
        for (auto it = widths.cbegin(); it != widths.cend(); ++it)
            if (it.value() > bestCount)
                best = it.key(), bestCount = it.value();
        if (bestCount >= 2 && bestCount * 2 >= measured) {
            Params p = *params;
            p.coding = Coding::OneD;
            p.lsbFirst = lsb;
            p.width = best;
            *params = p;
            if (rows)
                *rows = bestCount;
            return true;
        }
    }
    // Not consistent as 1-D: try 2-D at the common fax widths and keep the one that
    // decodes the most rows without errors.
    static constexpr int kWidths[] = {1728, 2048, 2432, 1216, 864, 3456};
    int bestRows = 0;
    Params best = *params;
    best.width = 1728;
    std::vector<uchar> scratch;
    for (bool lsb : {false, true}) {
        for (Coding coding : {Coding::OneD, Coding::TwoD}) {
            for (int w : kWidths) {
                Params p;
                p.coding = coding;
                p.width = w;
                p.lsbFirst = lsb;
                const qsizetype stride = (w + 7) / 8;
                scratch.assign(size_t(stride) * 512, 0);
                const StripResult r = decodeStrip(bytes, size, p, scratch.data(), stride, 512);
                const int goodRows = r.rows - 4 * r.badRows;
                if (goodRows > bestRows)
                    bestRows = goodRows, best = p;
            }
        }
    }
    *params = best;
    if (rows)
        *rows = bestRows;
    return bestRows > 0;
}

}  // namespace ktdv::imaging::ccitt
