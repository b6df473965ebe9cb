#include "targets/bytereader.h"
#include "targets/fuzztargets.h"

#include "imaging/ccittdecoder.h"

namespace ktdv::fuzz {

// Input: a 4-byte header (options, width, row bound), then the fax data.
int fuzzCcitt(const uint8_t* data, size_t size) {
    using namespace imaging::ccitt;
    ByteReader in(data, size);
    const uint8_t options = in.u8();
    Params params;
    params.coding = options % 3 == 0 ? Coding::OneD : options % 3 == 1 ? Coding::TwoD : Coding::G4;
    params.lsbFirst = (options & 0x04) != 0;
    params.byteAlignedRows = (options & 0x08) != 0;
    // Mostly fax widths; sometimes any width up to 16 bits.
    static constexpr int kWidths[] = {1728, 2048, 2432, 1216, 864, 3456, 1, 7, 8, 9, 31, 33};
    const uint16_t w = in.u16();
    params.width = (options & 0x10) ? int(w) : kWidths[w % std::size(kWidths)];
    const int maxRows = 1 + in.u8() * 8;
    const QByteArray bytes(reinterpret_cast<const char*>(in.current()), qsizetype(in.remaining()));

    StripResult result;
    const QImage image = decodePage(bytes, params, maxRows, &result);
    if (!image.isNull() && (image.height() != result.rows || image.height() > maxRows ||
                            image.width() != params.width))
        fail("decoded fax page has the wrong size");

    if (options & 0x20) {
        // The raw stream paths: detection and probing of coding and width.
        looksLikeRawFax(bytes.left(4096));
        Params probed;
        int rows = 0;
        if (probeRawStream(bytes, &probed, &rows) &&
            (probed.width <= 0 || probed.width > 100000 || rows <= 0))
            fail("probed fax parameters out of range");
    }
    return 0;
}

}  // namespace ktdv::fuzz
