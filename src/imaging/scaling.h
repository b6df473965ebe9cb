#pragma once
// Scaling pages for the screen. Bilevel pages become grey by area averaging, so thin
// strokes and small text stay visible when zoomed out (no pixel is ever dropped); grey
// and colour pages are scaled smoothly.
//
// Thread safety: pure functions of their arguments; any thread.

#include <QImage>
#include <QRect>
#include <QSize>

namespace ktdv::imaging {

// The whole page scaled to `target` (aspect as given, no preservation). A Format_Mono or
// Format_MonoLSB page gives Format_Grayscale8; other formats keep a display format of
// Qt's choosing. A null page or an empty target gives a null image.
QImage scaleForDisplay(const QImage& page, QSize target);

// Only the part `part` (in target coordinates) of the page scaled to `target`; what a view
// zoomed far in needs instead of the whole scaled page. `part` is clipped to the target.
// Bilevel pages give `greyFormat`: Format_Grayscale8, or Format_RGB32 ready for painting.
QImage scaleForDisplay(const QImage& page, QSize target, const QRect& part,
                       QImage::Format greyFormat = QImage::Format_Grayscale8);

// A bilevel page drawn into `out`, whose memory the caller keeps between calls (a view
// rescaling on every resize avoids fresh allocations). `out` must be Format_Grayscale8 or
// Format_RGB32 of exactly part's size, and part must lie inside the target. False, with
// `out` untouched, for other pages or arguments.
bool scaleForDisplayInto(const QImage& page, QSize target, const QRect& part, QImage& out);

}  // namespace ktdv::imaging
