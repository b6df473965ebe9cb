#pragma once
// A decoder of our own for CCITT fax data: T.4 one-dimensional (Modified Huffman), T.4
// two-dimensional (Modified READ) and T.6 (Modified Modified READ), with or without EOL
// codes, byte-aligned or not, either bit order. Used for fax streams without a TIFF
// wrapper and whenever the TIFF library cannot decode a fax page.
//
// Output rows are Format_Mono scanlines with 0 = black and 1 = white. Bounded: decoding
// stops at maxRows, at the end of the data, or at the end-of-page codes, whichever is
// first. Thread-safe (no shared mutable state).

#include <QByteArray>
#include <QImage>
#include <QString>

namespace ktdv::imaging::ccitt {

enum class Coding {
    OneD,  // T.4 1-D (also TIFF compression 2 with byteAlignedRows)
    TwoD,  // T.4 2-D: each row tagged after its EOL
    G4,    // T.6
};

struct Params {
    Coding coding = Coding::OneD;
    int width = 1728;
    bool lsbFirst = false;         // fill order 2: bits of each byte reversed
    bool byteAlignedRows = false;  // every row starts on a byte boundary (TIFF compression 2)
};

struct StripResult {
    int rows = 0;               // rows written
    int badRows = 0;            // rows that held a coding error (left white)
    bool stoppedEarly = false;  // data ended or could not be resynchronised before maxRows
    QString error;
};

// Decodes one strip into up to maxRows scanlines starting at `out`, `stride` bytes apart.
StripResult decodeStrip(const uchar* data, qint64 size, const Params& params, uchar* out,
                        qsizetype stride, int maxRows);

// Convenience: a whole page into a new Format_Mono image (colour table {black, white}).
// maxRows bounds the height; the image is cut to the rows decoded.
QImage decodePage(const QByteArray& data, const Params& params, int maxRows,
                  StripResult* result = nullptr);

// True when the bytes start like a fax stream (EOL codes, either bit order).
bool looksLikeRawFax(const QByteArray& head);

// For a raw T.4 stream: its coding, bit order and width, found from the data. The width
// is the one at which the rows decode consistently (1728 when nothing better is found).
bool probeRawStream(const QByteArray& data, Params* params, int* rows);

}  // namespace ktdv::imaging::ccitt
