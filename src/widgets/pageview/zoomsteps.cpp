#include "widgets/pageview/zoomsteps.h"

#include <algorithm>
#include <array>

namespace ktdv::zoomsteps {

namespace {

// Exact fractions where a rung is one, so bilevel pages average over whole pixel boxes.
constexpr std::array<double, 16> kRungs = {0.10, 0.125, 1.0 / 6, 0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75,
                                           1.0,  1.25,  1.5,     2.0,  3.0,     4.0, 6.0,     8.0};
constexpr double kTolerance = 1e-6;

}  // namespace

double next(double zoom, bool in) {
    if (in) {
        for (double r : kRungs)
            if (r > zoom * (1 + kTolerance))
                return r;
    } else {
        for (auto it = kRungs.rbegin(); it != kRungs.rend(); ++it)
            if (*it < zoom * (1 - kTolerance))
                return *it;
    }
    return zoom;
}

double clamp(double zoom) {
    return std::clamp(zoom, kMin, kMax);
}

}  // namespace ktdv::zoomsteps
