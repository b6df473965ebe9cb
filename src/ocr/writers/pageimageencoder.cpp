#include "ocr/writers/pageimageencoder.h"

#include <leptonica/allheaders.h>

#include <cstring>
#include <memory>

namespace ktdv::ocr {

namespace {

struct PixDeleter {
    void operator()(PIX* p) const { pixDestroy(&p); }
};
using PixPtr = std::unique_ptr<PIX, PixDeleter>;

struct CompDataDeleter {
    void operator()(L_COMP_DATA* c) const { l_CIDataDestroy(&c); }
};

// Rows of a bilevel image, packed, 1 = black.
QByteArray packedBlackIsOne(const QImage& mono, int& stride) {
    stride = (mono.width() + 7) / 8;
    QByteArray bits(static_cast<qsizetype>(stride) * mono.height(), '\0');
    // Which index of the colour table is black.
    const bool zeroIsBlack = mono.colorCount() < 2 || qGray(mono.color(0)) < qGray(mono.color(1));
    for (int y = 0; y < mono.height(); ++y) {
        const uchar* src = mono.constScanLine(y);
        auto* dst = reinterpret_cast<uchar*>(bits.data()) + static_cast<qsizetype>(y) * stride;
        for (int i = 0; i < stride; ++i) {
            dst[i] = zeroIsBlack ? static_cast<uchar>(~src[i]) : src[i];
        }
        const int spare = stride * 8 - mono.width();
        if (spare > 0) {
            dst[stride - 1] &= static_cast<uchar>(0xFF << spare);
        }
    }
    return bits;
}

QByteArray g4Encode(const QByteArray& bits, int stride, int width, int height) {
    PixPtr pix(pixCreate(width, height, 1));
    if (!pix) {
        return {};
    }
    pixSetResolution(pix.get(), 300, 300);
    l_uint32* data = pixGetData(pix.get());
    const int wpl = pixGetWpl(pix.get());
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<uchar*>(data + static_cast<qsizetype>(y) * wpl);
        std::memcpy(line, bits.constData() + static_cast<qsizetype>(y) * stride,
                    static_cast<size_t>(stride));
    }
    pixEndianByteSwap(pix.get());
    L_COMP_DATA* raw = nullptr;
    if (pixGenerateCIData(pix.get(), L_G4_ENCODE, 0, 0, &raw) != 0 || raw == nullptr) {
        return {};
    }
    std::unique_ptr<L_COMP_DATA, CompDataDeleter> cid(raw);
    return QByteArray(reinterpret_cast<const char*>(cid->datacomp),
                      static_cast<qsizetype>(cid->nbytescomp));
}

}  // namespace

QByteArray flate(const QByteArray& bytes) {
    // qCompress prefixes the zlib stream with its length in 4 bytes.
    return qCompress(bytes, 6).mid(4);
}

int jpegComponents(const QByteArray& jpeg, QSize* size) {
    const auto* p = reinterpret_cast<const uchar*>(jpeg.constData());
    const qsizetype n = jpeg.size();
    if (n < 4 || p[0] != 0xFF || p[1] != 0xD8) {
        return 0;
    }
    qsizetype i = 2;
    while (i + 4 <= n) {
        if (p[i] != 0xFF) {
            return 0;
        }
        const uchar marker = p[i + 1];
        if (marker == 0xFF) {
            ++i;
            continue;
        }
        const int length = (p[i + 2] << 8) | p[i + 3];
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (i + 9 >= n) {
                return 0;
            }
            if (size != nullptr) {
                *size = QSize((p[i + 7] << 8) | p[i + 8], (p[i + 5] << 8) | p[i + 6]);
            }
            return p[i + 9];
        }
        if (marker == 0xDA || length < 2) {
            return 0;
        }
        i += 2 + length;
    }
    return 0;
}

EncodedImage encodePageImage(const QImage& image, const QByteArray& jpeg) {
    EncodedImage out;
    if (image.isNull()) {
        return out;
    }
    out.width = image.width();
    out.height = image.height();
    if (!jpeg.isEmpty()) {
        QSize frame;
        const int components = jpegComponents(jpeg, &frame);
        // A stream stored turned (orientation tag) no longer matches the page: re-encode.
        if ((components == 1 || components == 3 || components == 4) && frame == image.size()) {
            out.data = jpeg;
            out.filter = "DCTDecode";
            out.colorSpace = components == 1   ? "DeviceGray"
                             : components == 3 ? "DeviceRGB"
                                               : "DeviceCMYK";
            if (components == 4) {
                // CMYK JPEG files are stored inverted.
                out.decode = "[1 0 1 0 1 0 1 0]";
            }
            return out;
        }
    }
    if (image.depth() == 1) {
        const QImage mono = image.convertToFormat(QImage::Format_Mono);
        int stride = 0;
        const QByteArray bits = packedBlackIsOne(mono, stride);
        out.bitsPerComponent = 1;
        out.colorSpace = "DeviceGray";
        // Samples: 0 = black in the Flate variant.
        QByteArray whiteIsOne = bits;
        for (char& c : whiteIsOne) {
            c = static_cast<char>(~c);
        }
        out.data = flate(whiteIsOne);
        out.filter = "FlateDecode";
        const QByteArray g4 = g4Encode(bits, stride, out.width, out.height);
        if (!g4.isEmpty() && g4.size() <= out.data.size()) {
            out.data = g4;
            out.filter = "CCITTFaxDecode";
            out.decodeParms = "<< /K -1 /Columns " + QByteArray::number(out.width) + " /Rows " +
                              QByteArray::number(out.height) + " >>";
        }
        return out;
    }
    const bool grey = image.isGrayscale();
    const QImage converted =
        image.convertToFormat(grey ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    const int rowBytes = out.width * (grey ? 1 : 3);
    QByteArray samples;
    samples.reserve(static_cast<qsizetype>(rowBytes) * out.height);
    for (int y = 0; y < out.height; ++y) {
        samples.append(reinterpret_cast<const char*>(converted.constScanLine(y)), rowBytes);
    }
    out.data = flate(samples);
    out.filter = "FlateDecode";
    out.colorSpace = grey ? "DeviceGray" : "DeviceRGB";
    return out;
}

}  // namespace ktdv::ocr
