#pragma once
// Conversions of the annotation handlers: twips coordinates to whole numbers.

#include <QCoreApplication>
#include <QString>

#include <cmath>

#include "platform/twips.h"
#include "viewer/core/errors.h"

namespace ktdv::annotations {

// A twips coordinate as a whole number, halves to even; beyond 32 bits (or not a
// number) is an overflow.
inline qint32 wholeTwips(double v) {
    if (!std::isfinite(v) || std::fabs(v) > 4.0e9)
        throw ViewerError(ViewerError::kOverflow,
                          QCoreApplication::translate("ktdv::ViewerError", "Overflow"));
    return toInt32(twips::roundEven(v));
}

// A twips coordinate in pixels: its whole value integer-divided by the screen's twips
// per pixel, rounded likewise.
inline qint32 pixelX(double v) {
    return static_cast<qint32>(twips::toPixelX(wholeTwips(v)));
}
inline qint32 pixelY(double v) {
    return static_cast<qint32>(twips::toPixelY(wholeTwips(v)));
}

}  // namespace ktdv::annotations
