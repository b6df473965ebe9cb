#pragma once
// A page image as a PDF image XObject stream: bilevel pages in CCITT Group 4 or Flate,
// whichever is smaller; grey and colour pages lossless with Flate, or the original JPEG
// stream passed through untouched.

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace ktdv::ocr {

struct EncodedImage {
    QByteArray data;
    QByteArray filter;       // "CCITTFaxDecode", "FlateDecode" or "DCTDecode"
    QByteArray decodeParms;  // "" or a dictionary
    QByteArray colorSpace;   // "DeviceGray", "DeviceRGB" or "DeviceCMYK"
    QByteArray decode;       // "" or a Decode array
    int bitsPerComponent = 8;
    int width = 0;
    int height = 0;
    bool ok() const { return !data.isEmpty() && width > 0 && height > 0; }
};

// jpeg: the page's original JPEG stream, or empty.
EncodedImage encodePageImage(const QImage& image, const QByteArray& jpeg);
// Number of colour components of a JPEG stream (from its frame header), 0 if unreadable;
// size receives the frame's pixel size.
int jpegComponents(const QByteArray& jpeg, QSize* size = nullptr);
// The zlib stream of bytes, as a FlateDecode filter wants it.
QByteArray flate(const QByteArray& bytes);

}  // namespace ktdv::ocr
