#pragma once
// Encoding a QImage as a one-page TIFF with libtiff. Internal to the imaging layer.

#include <QImage>
#include <QString>

namespace ktdv::imaging::detail {

struct EncodeOptions {
    int compression = 0;        // TIFF code; 0 = G4 for bilevel images, LZW otherwise
    quint32 group3Options = 0;  // for G3: 1 = 2-D, 4 = fill bits before EOLs
    int jpegQuality = 90;
    bool minIsBlack = false;  // bilevel pages written with 0 = black
    bool bigEndian = false;   // byte order of the file
};

// Writes `image` to `path` (a new file). Bilevel images (Format_Mono/MonoLSB with two
// colours) stay 1-bit; grey images 8-bit grey; indexed images palette; others RGB(A).
bool encodeTiff(const QString& path, const QImage& image, const EncodeOptions& options,
                QString* error);

}  // namespace ktdv::imaging::detail
