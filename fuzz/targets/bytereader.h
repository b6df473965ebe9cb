#pragma once
// Takes typed values off the front of a fuzz input; past the end every value is zero.

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace ktdv::fuzz {

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    uint8_t u8() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    uint16_t u16() { return uint16_t(u8() | (u8() << 8)); }
    int16_t i16() { return int16_t(u16()); }
    bool flag() { return (u8() & 1) != 0; }
    // A value in 0..bound-1 (bound > 0).
    int below(int bound) { return int(u16() % uint16_t(bound)); }
    // Up to maxBytes raw bytes; the length comes first.
    QByteArray bytes(int maxBytes) {
        const size_t n = qMin<size_t>(size_t(below(maxBytes + 1)), remaining());
        QByteArray out(reinterpret_cast<const char*>(m_data + m_pos), qsizetype(n));
        m_pos += n;
        return out;
    }
    size_t remaining() const { return m_size - m_pos; }
    const uint8_t* current() const { return m_data + m_pos; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

}  // namespace ktdv::fuzz
