#pragma once
// The code tables of CCITT fax data: the T.4 and T.6 run-length codes of both colours as
// lookups by the next kLookupBits bits of the stream, and the bit reversal of LSB-first
// data. Built once, then read-only (safe from any thread).

#include <QtGlobal>

#include <array>

namespace ktdv::imaging::ccitt {

// The longest run-length code has 13 bits.
constexpr int kLookupBits = 13;

// By the next kLookupBits bits: run length (or -1 for no code) and code length.
struct RunTable {
    std::array<qint16, 1 << kLookupBits> run{};
    std::array<quint8, 1 << kLookupBits> length{};
};

struct Tables {
    RunTable white, black;
    std::array<uchar, 256> reverse{};  // each byte with its bits in the other order
};

const Tables& tables();

}  // namespace ktdv::imaging::ccitt
