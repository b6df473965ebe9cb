#include "targets/bytereader.h"
#include "targets/fuzztargets.h"

#include <QtEndian>

#include "imaging/annotationcodec.h"
#include "imaging/annotationgeometry.h"

namespace ktdv::fuzz {

namespace {

constexpr int kHeaderSize = 20;

quint32 crc32(const QByteArray& bytes) {
    quint32 c = 0xFFFFFFFFu;
    for (const char ch : bytes) {
        c ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return c ^ 0xFFFFFFFFu;
}

// The body behind a well-formed header, so that the fuzzer reaches the JSON reader
// instead of stopping at the checksum.
QByteArray wrapBody(const QByteArray& body, quint16 version, quint16 minReader) {
    QByteArray out(kHeaderSize, '\0');
    memcpy(out.data(), "KTDVANNO", 8);
    auto* p = reinterpret_cast<uchar*>(out.data());
    qToLittleEndian<quint16>(version, p + 8);
    qToLittleEndian<quint16>(minReader, p + 10);
    qToLittleEndian<quint32>(quint32(body.size()), p + 12);
    qToLittleEndian<quint32>(crc32(body), p + 16);
    return out + body;
}

}  // namespace

// Input: one mode byte, then either a whole payload (mode bit 0 clear) or a JSON body to
// be wrapped in a valid header.
int fuzzAnnotations(const uint8_t* data, size_t size) {
    using namespace imaging;
    ByteReader in(data, size);
    const uint8_t mode = in.u8();
    const QByteArray rest(reinterpret_cast<const char*>(in.current()), qsizetype(in.remaining()));
    const QByteArray payload =
        (mode & 1) ? wrapBody(rest, (mode & 2) ? 7 : 1, (mode & 4) ? 2 : 1) : rest;

    const AnnotationLoadResult loaded = decodeAnnotations(payload);
    if (loaded.status != AnnotationStatus::Loaded) {
        if (!loaded.annotations.isEmpty())
            fail("annotations returned from a payload that did not load");
        return 0;
    }
    // What was read must survive a save unchanged.
    const AnnotationLoadResult again = decodeAnnotations(encodeAnnotations(loaded.annotations));
    if (again.status != AnnotationStatus::Loaded || again.skipped != 0)
        fail("re-encoded annotations do not load");
    if (again.annotations != loaded.annotations)
        fail("re-encoded annotations differ");

    // Geometry on what was read: hit testing and turning the page.
    const QSizeF pageSize(1000, 1400);
    hitTest(loaded.annotations, QPointF(mode, mode), 2);
    transformForTurn(loaded.annotations, pageSize, mode % 4, (mode & 8) != 0);
    return 0;
}

}  // namespace ktdv::fuzz
