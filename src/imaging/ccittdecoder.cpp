#include "imaging/ccittdecoder.h"

#include <QHash>

#include <array>
#include <vector>

#include "imaging/limits.h"

namespace ktdv::imaging::ccitt {

namespace {

// ---- Code tables ---------------------------------------------------------------------

struct Code {
    const char* bits;
    int run;
};

constexpr Code kWhiteCodes[] = {
    {"00110101", 0},     {"000111", 1},       {"0111", 2},         {"1000", 3},
    {"1011", 4},         {"1100", 5},         {"1110", 6},         {"1111", 7},
    {"10011", 8},        {"10100", 9},        {"00111", 10},       {"01000", 11},
    {"001000", 12},      {"000011", 13},      {"110100", 14},      {"110101", 15},
    {"101010", 16},      {"101011", 17},      {"0100111", 18},     {"0001100", 19},
    {"0001000", 20},     {"0010111", 21},     {"0000011", 22},     {"0000100", 23},
    {"0101000", 24},     {"0101011", 25},     {"0010011", 26},     {"0100100", 27},
    {"0011000", 28},     {"00000010", 29},    {"00000011", 30},    {"00011010", 31},
    {"00011011", 32},    {"00010010", 33},    {"00010011", 34},    {"00010100", 35},
    {"00010101", 36},    {"00010110", 37},    {"00010111", 38},    {"00101000", 39},
    {"00101001", 40},    {"00101010", 41},    {"00101011", 42},    {"00101100", 43},
    {"00101101", 44},    {"00000100", 45},    {"00000101", 46},    {"00001010", 47},
    {"00001011", 48},    {"01010010", 49},    {"01010011", 50},    {"01010100", 51},
    {"01010101", 52},    {"00100100", 53},    {"00100101", 54},    {"01011000", 55},
    {"01011001", 56},    {"01011010", 57},    {"01011011", 58},    {"01001010", 59},
    {"01001011", 60},    {"00110010", 61},    {"00110011", 62},    {"00110100", 63},
    {"11011", 64},       {"10010", 128},      {"010111", 192},     {"0110111", 256},
    {"00110110", 320},   {"00110111", 384},   {"01100100", 448},   {"01100101", 512},
    {"01101000", 576},   {"01100111", 640},   {"011001100", 704},  {"011001101", 768},
    {"011010010", 832},  {"011010011", 896},  {"011010100", 960},  {"011010101", 1024},
    {"011010110", 1088}, {"011010111", 1152}, {"011011000", 1216}, {"011011001", 1280},
    {"011011010", 1344}, {"011011011", 1408}, {"010011000", 1472}, {"010011001", 1536},
    {"010011010", 1600}, {"011000", 1664},    {"010011011", 1728},
};

constexpr Code kBlackCodes[] = {
    {"0000110111", 0},
    {"010", 1},
    {"11", 2},
    {"10", 3},
    {"011", 4},
    {"0011", 5},
    {"0010", 6},
    {"00011", 7},
    {"000101", 8},
    {"000100", 9},
    {"0000100", 10},
    {"0000101", 11},
    {"0000111", 12},
    {"00000100", 13},
    {"00000111", 14},
    {"000011000", 15},
    {"0000010111", 16},
    {"0000011000", 17},
    {"0000001000", 18},
    {"00001100111", 19},
    {"00001101000", 20},
    {"00001101100", 21},
    {"00000110111", 22},
    {"00000101000", 23},
    {"00000010111", 24},
    {"00000011000", 25},
    {"000011001010", 26},
    {"000011001011", 27},
    {"000011001100", 28},
    {"000011001101", 29},
    {"000001101000", 30},
    {"000001101001", 31},
    {"000001101010", 32},
    {"000001101011", 33},
    {"000011010010", 34},
    {"000011010011", 35},
    {"000011010100", 36},
    {"000011010101", 37},
    {"000011010110", 38},
    {"000011010111", 39},
    {"000001101100", 40},
    {"000001101101", 41},
    {"000011011010", 42},
    {"000011011011", 43},
    {"000001010100", 44},
    {"000001010101", 45},
    {"000001010110", 46},
    {"000001010111", 47},
    {"000001100100", 48},
    {"000001100101", 49},
    {"000001010010", 50},
    {"000001010011", 51},
    {"000000100100", 52},
    {"000000110111", 53},
    {"000000111000", 54},
    {"000000100111", 55},
    {"000000101000", 56},
    {"000001011000", 57},
    {"000001011001", 58},
    {"000000101011", 59},
    {"000000101100", 60},
    {"000001011010", 61},
    {"000001100110", 62},
    {"000001100111", 63},
    {"0000001111", 64},
    {"000011001000", 128},
    {"000011001001", 192},
    {"000001011011", 256},
    {"000000110011", 320},
    {"000000110100", 384},
    {"000000110101", 448},
    {"0000001101100", 512},
    {"0000001101101", 576},
    {"0000001001010", 640},
    {"0000001001011", 704},
    {"0000001001100", 768},
    {"0000001001101", 832},
    {"0000001110010", 896},
    {"0000001110011", 960},
    {"0000001110100", 1024},
    {"0000001110101", 1088},
    {"0000001110110", 1152},
    {"0000001110111", 1216},
    {"0000001010010", 1280},
    {"0000001010011", 1344},
    {"0000001010100", 1408},
    {"0000001010101", 1472},
    {"0000001011010", 1536},
    {"0000001011011", 1600},
    {"0000001100100", 1664},
    {"0000001100101", 1728},
};

// Make-up codes shared by both colours.
constexpr Code kExtendedCodes[] = {
    {"00000001000", 1792},  {"00000001100", 1856},  {"00000001101", 1920},  {"000000010010", 1984},
    {"000000010011", 2048}, {"000000010100", 2112}, {"000000010101", 2176}, {"000000010110", 2240},
    {"000000010111", 2304}, {"000000011100", 2368}, {"000000011101", 2432}, {"000000011110", 2496},
    {"000000011111", 2560},
};

constexpr int kLookupBits = 13;

// Lookup by the next 13 bits: run length (or -1 for no code) and code length.
struct RunTable {
    std::array<qint16, 1 << kLookupBits> run{};
    std::array<quint8, 1 << kLookupBits> length{};

    template <size_t N>
    void add(const Code (&codes)[N]) {
        for (const Code& c : codes) {
            const int len = int(strlen(c.bits));
            int value = 0;
            for (int i = 0; i < len; ++i)
                value = (value << 1) | (c.bits[i] == '1');
            const int shift = kLookupBits - len;
            for (int k = 0; k < (1 << shift); ++k) {
                run[size_t((value << shift) | k)] = qint16(c.run);
                length[size_t((value << shift) | k)] = quint8(len);
            }
        }
    }
    RunTable() { run.fill(-1); }
};

struct Tables {
    RunTable white, black;
    std::array<uchar, 256> reverse{};
    Tables() {
        white.add(kWhiteCodes);
        white.add(kExtendedCodes);
        black.add(kBlackCodes);
        black.add(kExtendedCodes);
        for (int i = 0; i < 256; ++i) {
            int r = 0;
            for (int b = 0; b < 8; ++b)
                if (i & (1 << b))
                    r |= 0x80 >> b;
            reverse[size_t(i)] = uchar(r);
        }
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

// ---- Bit reader ----------------------------------------------------------------------

class BitReader {
public:
    BitReader(const uchar* data, qint64 size, bool lsbFirst)
        : m_data(data), m_bits(quint64(size) * 8), m_rev(lsbFirst ? &tables().reverse : nullptr) {}

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
    const std::array<uchar, 256>* m_rev;
};

// A run of one colour: sum of make-up codes and a terminating code; -1 on a bad code.
int readRun(BitReader& in, bool black) {
    const RunTable& t = black ? tables().black : tables().white;
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
        result.error = QStringLiteral("No fax data");
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
            result.error = QStringLiteral("The fax data ends inside row %1").arg(result.rows + 1);
            break;
        }
        ++result.badRows;
        result.error = QStringLiteral("Bad fax code in row %1").arg(result.rows + 1);
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
