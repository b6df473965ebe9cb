// Fax streams without a TIFF wrapper (".g3" files): coding, bit order and width are
// found from the data. Such a stream carries no resolution; fine fax resolution
// (204 x 196 dpi) is assumed.

#include "imaging/ccittdecoder.h"
#include "imaging/decoders.h"
#include "imaging/limits.h"

#include <QCoreApplication>

namespace ktdv::imaging::detail {

namespace {

constexpr double kFaxDpiX = 204.0;
constexpr double kFaxDpiY = 196.0;

bool paramsFor(const QByteArray& bytes, ccitt::Params* params) {
    int rows = 0;
    return ccitt::probeRawStream(bytes, params, &rows);
}

}  // namespace

bool probeRawFax(const QByteArray& bytes, PageInfo* info, QString* error) {
    ccitt::Params params;
    if (!paramsFor(bytes, &params)) {
        if (error)
            *error = QCoreApplication::translate("ktdv::imaging", "The fax data cannot be decoded");
        return false;
    }
    ccitt::StripResult r;
    const QImage image = ccitt::decodePage(bytes, params, limits::kMaxPageDimension, &r);
    if (image.isNull()) {
        if (error)
            *error = r.error.isEmpty() ? QCoreApplication::translate("ktdv::imaging",
                                                                     "The fax data holds no rows")
                                       : r.error;
        return false;
    }
    info->pixelSize = image.size();
    info->bitsPerPixel = 1;
    info->compression =
        params.coding == ccitt::Coding::OneD || params.coding == ccitt::Coding::TwoD ? 3 : 4;
    info->dpi = QSizeF(kFaxDpiX, kFaxDpiY);
    return true;
}

DecodedPage decodeRawFax(const QByteArray& bytes, const PageInfo& info) {
    DecodedPage page;
    ccitt::Params params;
    if (!paramsFor(bytes, &params)) {
        page.complete = false;
        page.error = QCoreApplication::translate("ktdv::imaging", "The fax data cannot be decoded");
        return page;
    }
    ccitt::StripResult r;
    const int maxRows =
        info.pixelSize.height() > 0 ? info.pixelSize.height() : limits::kMaxPageDimension;
    page.image = ccitt::decodePage(bytes, params, maxRows, &r);
    page.complete = !page.image.isNull() && r.badRows == 0 && !r.stoppedEarly;
    if (!page.complete)
        page.error = r.error;
    if (!page.image.isNull()) {
        page.image.setDotsPerMeterX(dotsPerMeter(info.dpi.width()));
        page.image.setDotsPerMeterY(dotsPerMeter(info.dpi.height()));
    }
    return page;
}

}  // namespace ktdv::imaging::detail
