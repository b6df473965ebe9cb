#pragma once
// Moving one page, tags and compressed data unchanged, between a document and a one-page
// TIFF file of its own: what the edit history keeps of a deleted or replaced page, and how
// it puts it back. Writes to the document go through the safe write path; read-only
// documents and bad indexes are refused with ok = false and the file untouched. Page
// numbering tags of the document are rewritten for the pages' new places.

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
