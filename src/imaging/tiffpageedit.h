#pragma once
// Lossless page operations on TIFF and fax files. Every page's compressed data and tags
// stay unchanged (no decode, no re-encode) and page numbering tags are rewritten. An edit
// is made in place and costs time in proportion to the change, not to the file: the
// changed directories (and any new page data) are appended, flushed, and the header is
// switched to them, so a crash or another reader always finds the old or the new document
// complete; the file is compacted when what no page uses passes a quarter of it
// (docs/file-edits.md). Read-only files, bad indexes and deleting the last remaining page
// are refused with ok = false and the file untouched; so is any edit whose write fails.

#include <QByteArray>
#include <QImage>
#include <QString>

#include "imaging/document.h"
#include "imaging/safefilewriter.h"

namespace ktdv::imaging {

WriteResult deletePage(const QString& path, int index);
WriteResult movePage(const QString& path, int from, int to);
// Rewrites the file with only what its pages use, through writeFileSafely (streamed: one
// piece of page data at a time in memory).
WriteResult compactFile(const QString& path);

// Replaces the image of one page with `image` (a turned page), encoded with the page's
// own compression where it can hold the image (bilevel pages stay G3/G4). Every other
// tag of that page and every other page stays as it was; resolutions are swapped when
// the image was turned a quarter.
WriteResult replacePageImage(const QString& path, int index, const QImage& image, bool quarterTurn);
// The same, and in the same write sets one private tag of that page to tagValue ("" removes
// it), so a turned page and what belongs to its geometry change together.
WriteResult replacePageImage(const QString& path, int index, const QImage& image, bool quarterTurn,
                             quint16 tag, const QByteArray& tagValue);

// The bytes of a private tag of one page ("" unless *how is Read), and writing them back.
QByteArray readPageTag(const QString& path, int index, quint16 tag, TagRead* how = nullptr);
WriteResult writePageTag(const QString& path, int index, quint16 tag, const QByteArray& value);

}  // namespace ktdv::imaging
