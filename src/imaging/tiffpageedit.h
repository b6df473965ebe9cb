#pragma once
// Lossless page operations on TIFF and fax files. Every page's compressed data and tags
// are copied unchanged (no decode, no re-encode), page numbering tags are rewritten, and
// the result replaces the original through writeFileSafely. Read-only files, bad indexes
// and deleting the last remaining page are refused with ok = false and the file untouched.

#include <QByteArray>
#include <QImage>
#include <QString>

#include "imaging/document.h"
#include "imaging/safefilewriter.h"

namespace ktdv::imaging {

WriteResult deletePage(const QString& path, int index);
WriteResult movePage(const QString& path, int from, int to);

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
