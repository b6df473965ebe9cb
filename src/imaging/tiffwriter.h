#pragma once
// Writing a page image as a one-page TIFF file: G4 for bilevel (Format_Mono) images,
// LZW for everything else, the image's resolution kept. The file is written through
// writeFileSafely, so an existing file is replaced only when the new one is complete.

#include <QImage>
#include <QString>

#include "imaging/safefilewriter.h"

namespace ktdv::imaging {

WriteResult writeTiffImage(const QString& path, const QImage& image);

}  // namespace ktdv::imaging
