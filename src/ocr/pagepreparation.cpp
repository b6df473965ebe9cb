#include "ocr/pagepreparation.h"

#include <leptonica/allheaders.h>

#include <cmath>
#include <cstring>

namespace ktdv::ocr {

void PixDeleter::operator()(Pix* pix) const {
    pixDestroy(&pix);
}

namespace {

// Largest skew corrected, and the least confidence of the skew search to act on it.
constexpr float kMaxSkewDegrees = 8.0F;
constexpr float kMinSkewDegrees = 0.15F;
constexpr float kMinSkewConfidence = 3.0F;

PixPtr pix32FromImage(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    PixPtr pix(pixCreate(rgb.width(), rgb.height(), 32));
    if (!pix) {
        return pix;
    }
    l_uint32* data = pixGetData(pix.get());
    const int wpl = pixGetWpl(pix.get());
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        l_uint32* dst = data + static_cast<qsizetype>(y) * wpl;
        for (int x = 0; x < rgb.width(); ++x) {
            dst[x] = (static_cast<l_uint32>(src[x]) << 8) | 0xFFU;
        }
    }
    return pix;
}

QImage imageFromPix32(Pix* pix) {
    const int w = static_cast<int>(pixGetWidth(pix));
    const int h = static_cast<int>(pixGetHeight(pix));
    QImage out(w, h, QImage::Format_RGB32);
    if (out.isNull()) {
        return out;
    }
    const l_uint32* data = pixGetData(pix);
    const int wpl = pixGetWpl(pix);
    for (int y = 0; y < h; ++y) {
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        const l_uint32* src = data + static_cast<qsizetype>(y) * wpl;
        for (int x = 0; x < w; ++x) {
            dst[x] = 0xFF000000U | (src[x] >> 8);
        }
    }
    return out;
}

// A page transformation applied alike to the recognised and to the exported picture.
PixPtr scaled(Pix* pix, float sx, float sy) {
    if (pixGetDepth(pix) == 1) {
        return PixPtr(pixScaleBinary(pix, sx, sy));
    }
    return PixPtr(pixScale(pix, sx, sy));
}

PixPtr rotated(Pix* pix, double degrees) {
    const float radians = static_cast<float>(degrees * M_PI / 180.0);
    const l_int32 type = pixGetDepth(pix) == 1 ? L_ROTATE_SHEAR : L_ROTATE_AREA_MAP;
    return PixPtr(pixRotate(pix, radians, type, L_BRING_IN_WHITE, 0, 0));
}

}  // namespace

PixPtr pixFromImage(const QImage& image) {
    if (image.isNull()) {
        return nullptr;
    }
    const int w = image.width();
    const int h = image.height();
    if (image.depth() == 1) {
        const QImage mono = image.convertToFormat(QImage::Format_Mono);
        PixPtr pix(pixCreate(w, h, 1));
        if (!pix) {
            return pix;
        }
        const bool zeroIsBlack =
            mono.colorCount() < 2 || qGray(mono.color(0)) < qGray(mono.color(1));
        l_uint32* data = pixGetData(pix.get());
        const int wpl = pixGetWpl(pix.get());
        const int bytes = (w + 7) / 8;
        for (int y = 0; y < h; ++y) {
            auto* dst = reinterpret_cast<uchar*>(data + static_cast<qsizetype>(y) * wpl);
            const uchar* src = mono.constScanLine(y);
            for (int i = 0; i < bytes; ++i) {
                dst[i] = zeroIsBlack ? static_cast<uchar>(~src[i]) : src[i];
            }
            const int spare = bytes * 8 - w;
            if (spare > 0) {
                dst[bytes - 1] &= static_cast<uchar>(0xFF << spare);
            }
        }
        pixEndianByteSwap(pix.get());
        return pix;
    }
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    PixPtr pix(pixCreate(w, h, 8));
    if (!pix) {
        return pix;
    }
    l_uint32* data = pixGetData(pix.get());
    const int wpl = pixGetWpl(pix.get());
    for (int y = 0; y < h; ++y) {
        std::memcpy(data + static_cast<qsizetype>(y) * wpl, grey.constScanLine(y),
                    static_cast<size_t>(w));
    }
    pixEndianByteSwap(pix.get());
    return pix;
}

QImage imageFromPix(Pix* pix) {
    const int w = static_cast<int>(pixGetWidth(pix));
    const int h = static_cast<int>(pixGetHeight(pix));
    const int depth = static_cast<int>(pixGetDepth(pix));
    PixPtr copy(pixCopy(nullptr, pix));
    if (!copy || (depth != 1 && depth != 8)) {
        return {};
    }
    pixEndianByteSwap(copy.get());
    const l_uint32* data = pixGetData(copy.get());
    const int wpl = pixGetWpl(copy.get());
    QImage out(w, h, depth == 1 ? QImage::Format_Mono : QImage::Format_Grayscale8);
    if (out.isNull()) {
        return out;
    }
    if (depth == 1) {
        out.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});  // 1 = black, as in pix
    }
    const int bytes = depth == 1 ? (w + 7) / 8 : w;
    for (int y = 0; y < h; ++y) {
        std::memcpy(out.scanLine(y), data + static_cast<qsizetype>(y) * wpl,
                    static_cast<size_t>(bytes));
    }
    if (depth == 1) {
        // Pages elsewhere use 0 = black.
        out.invertPixels();
        out.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    }
    return out;
}

PreparedPage preparePage(const QImage& decoded, const OrientationProbe& orientation,
                         bool straighten) {
    PreparedPage out;
    out.image = decoded;
    double dpiX = decoded.dotsPerMeterX() * 0.0254;
    double dpiY = decoded.dotsPerMeterY() * 0.0254;
    if (dpiX < 10 || dpiY < 10) {
        dpiX = dpiY = kDefaultDpi;
    }
    out.pix = pixFromImage(decoded);
    if (!out.pix) {
        return out;
    }
    pixSetResolution(out.pix.get(), static_cast<l_int32>(std::lround(dpiX)),
                     static_cast<l_int32>(std::lround(dpiY)));
    const bool bilevel = decoded.depth() == 1;
    const bool colour = !bilevel && !decoded.isGrayscale();
    PixPtr colourPix;  // the exported picture when it has colour
    auto apply = [&](const std::function<PixPtr(Pix*)>& step) {
        PixPtr next = step(out.pix.get());
        if (next) {
            out.pix = std::move(next);
            out.unchanged = false;
        }
        if (colour) {
            if (!colourPix) {
                colourPix = pix32FromImage(decoded);
            }
            if (colourPix) {
                PixPtr nextColour = step(colourPix.get());
                if (nextColour) {
                    colourPix = std::move(nextColour);
                }
            }
        }
    };

    // Fax resolutions such as 204 x 98: stretch the short axis to square pixels.
    const double ratio = dpiX / dpiY;
    if (ratio >= 1.5 || ratio <= 1.0 / 1.5) {
        const auto factor = static_cast<float>(std::lround(ratio >= 1 ? ratio : 1.0 / ratio));
        const float sx = ratio >= 1 ? 1.0F : factor;
        const float sy = ratio >= 1 ? factor : 1.0F;
        apply([&](Pix* p) { return scaled(p, sx, sy); });
        out.scale = QSizeF(sx, sy);
        dpiX *= sx;
        dpiY *= sy;
    }

    if (orientation && straighten) {
        const int turns = orientation(out.pix.get());
        if (turns > 0 && turns < 4) {
            out.quarterTurns = turns;
            apply([turns](Pix* p) { return PixPtr(pixRotateOrth(p, turns)); });
            if (turns % 2 == 1) {
                std::swap(dpiX, dpiY);
            }
        }
    }

    // Skew, measured on a bilevel version of the page.
    if (straighten) {
        PixPtr binary;
        if (pixGetDepth(out.pix.get()) == 1) {
            binary.reset(pixClone(out.pix.get()));
        } else {
            binary.reset(pixConvertTo1(out.pix.get(), 128));
        }
        l_float32 angle = 0;
        l_float32 confidence = 0;
        if (binary && pixGetWidth(binary.get()) >= 64 && pixGetHeight(binary.get()) >= 64 &&
            pixFindSkew(binary.get(), &angle, &confidence) == 0 &&
            confidence >= kMinSkewConfidence && std::fabs(angle) >= kMinSkewDegrees &&
            std::fabs(angle) <= kMaxSkewDegrees) {
            out.skewDegrees = angle;
            apply([angle](Pix* p) { return rotated(p, angle); });
        }
    }

    out.dpi = QSizeF(dpiX, dpiY);
    pixSetResolution(out.pix.get(), static_cast<l_int32>(std::lround(dpiX)),
                     static_cast<l_int32>(std::lround(dpiY)));
    if (!out.unchanged) {
        out.image = colourPix ? imageFromPix32(colourPix.get()) : imageFromPix(out.pix.get());
    }
    const int dpmX = static_cast<int>(std::lround(dpiX / 0.0254));
    const int dpmY = static_cast<int>(std::lround(dpiY / 0.0254));
    out.image.setDotsPerMeterX(dpmX);
    out.image.setDotsPerMeterY(dpmY);
    return out;
}

}  // namespace ktdv::ocr
