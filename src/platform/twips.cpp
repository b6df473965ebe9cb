#include "twips.h"

#include <QGuiApplication>
#include <QScreen>

namespace ktdv::twips {
namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kFallback = 15.0;  // 96 dots per inch

double perPixel(bool horizontal) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        return kFallback;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        return kFallback;
    }
    const double dpi = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return dpi > 0 ? kTwipsPerInch / dpi : kFallback;
}

}  // namespace

double perPixelX() {
    return perPixel(true);
}
double perPixelY() {
    return perPixel(false);
}

}  // namespace ktdv::twips
