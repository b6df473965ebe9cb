#pragma once
// Turns a decoded page into the picture the recogniser reads: resolution from the file,
// non-square fax resolutions made square, bilevel pages kept bilevel, grey and colour
// pages as 8-bit grey, the page turned upright and deskewed. The same turns are applied
// to the page as the export shows it, so word boxes fit the exported image.
// Leptonica types stay in the .cpp files; any thread may call these functions.

#include <QByteArray>
#include <QImage>
#include <QSizeF>

#include <functional>
#include <memory>

struct Pix;

namespace ktdv::ocr {

struct PixDeleter {
    void operator()(Pix* pix) const;
};
using PixPtr = std::unique_ptr<Pix, PixDeleter>;

struct PreparedPage {
    PixPtr pix;    // 1 bpp (1 = black) or 8 bpp grey, resolution set
    QImage image;  // the page to export, matching pix in size and orientation
    QSizeF dpi;
    QSizeF scale{1, 1};     // the stretch to square pixels (x, y)
    bool unchanged = true;  // image is the decoded page as it was (no scaling or turning)
    int quarterTurns = 0;   // clockwise turns applied to make the page upright
    double skewDegrees = 0;
};

// Finds how many clockwise quarter turns make the page upright; may be empty, then the
// page is not turned. Returns -1 when it cannot tell.
using OrientationProbe = std::function<int(Pix* pix)>;

// Resolution assumed when a page carries none.
inline constexpr double kDefaultDpi = 300.0;

// Without `straighten` the page keeps its stored geometry: it is neither turned nor deskewed
// (orientation is not asked), so whatever lies on the stored page lies on the prepared one.
PreparedPage preparePage(const QImage& decoded, const OrientationProbe& orientation,
                         bool straighten = true);

// Conversions between Qt images and Leptonica pixes (exposed for the tests).
PixPtr pixFromImage(const QImage& image);  // 1 bpp for bilevel images, else 8 bpp grey
QImage imageFromPix(Pix* pix);             // Format_Mono or Grayscale8

}  // namespace ktdv::ocr
