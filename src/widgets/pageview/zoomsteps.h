#pragma once
// The zoom ladder of the page view: one "IN" or "OUT" step goes to the next rung, from any
// zoom, rung or not. Zooms are factors (1.0 = one page pixel per screen pixel).

namespace ktdv::zoomsteps {

inline constexpr double kMin = 0.10;
inline constexpr double kMax = 8.0;

// The next rung above (in) or below (out) the zoom; at the end of the ladder the zoom
// stays where it is.
double next(double zoom, bool in);
// A zoom asked for directly, kept within the ladder's ends.
double clamp(double zoom);

}  // namespace ktdv::zoomsteps
