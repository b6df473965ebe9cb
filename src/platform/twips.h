#pragma once
// Twips (1440 per inch) from the screen's logical dots per inch, and the rounding rules
// of the viewer: nearest integer, halves to even.

#include <QtGlobal>

#include <cmath>

namespace ktdv::twips {

// Twips per pixel of the primary screen (15 at 96 dpi). UI thread.
double perPixelX();
double perPixelY();

// Round half to even, as the classic integer conversions do.
inline qint64 roundEven(double v) {
    return static_cast<qint64>(std::nearbyint(v));  // default FE_TONEAREST
}
// Pixel value of a twips coordinate: round(twips) \ round(twipsPerPixel), truncated.
inline qint64 toPixelX(double tw) {
    const qint64 d = roundEven(perPixelX());
    return d == 0 ? 0 : roundEven(tw) / d;
}
inline qint64 toPixelY(double tw) {
    const qint64 d = roundEven(perPixelY());
    return d == 0 ? 0 : roundEven(tw) / d;
}

}  // namespace ktdv::twips
