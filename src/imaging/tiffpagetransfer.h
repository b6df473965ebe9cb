#pragma once
// Whole pages moved between a TIFF file and one-page TIFF files, losslessly: tags and
// compressed data unchanged, page numbering rewritten. Edits of `path` are made in place
// like those of tiffpageedit.h; a page file is written through writeFileSafely.

#include <QString>

#include "imaging/safefilewriter.h"

namespace ktdv::imaging {

// Writes page `index` of `path` as a one-page TIFF file at pageFile (tags and compressed data
// unchanged).
WriteResult extractPage(const QString& path, int index, const QString& pageFile);
// Inserts the first page of pageFile before page `index` (index == page count appends).
WriteResult insertPage(const QString& path, int index, const QString& pageFile);
// Replaces page `index` with the first page of pageFile.
WriteResult replacePage(const QString& path, int index, const QString& pageFile);

}  // namespace ktdv::imaging
