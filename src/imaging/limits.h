#pragma once
// Bounds that hold for any input, however hostile. Documented in the README.
//
// Where each is enforced:
// - Page pixels and memory: every decoder checks the size in the file's header against
//   kMaxPageDimension and kMaxPageBytes (detail::pageFitsLimits) before it allocates a
//   pixel; TIFF strips and tiles are bounded the same way, libtiff's single allocations
//   at kMaxPageBytes, Qt's image readers just above it. Fax data without a height stops
//   at kMaxPageDimension rows or kMaxPageBytes, whichever comes first.
// - Pages: the directory walks stop at kMaxPages pages (the document keeps those).
// - Tags: no tag value above kMaxTagBytes is read, copied or written; the lossless page
//   edits copy at most a few times the file's own size in values and image data however
//   many directories point at the same bytes.
// - Annotations: a payload above kMaxAnnotationBytes or with more than
//   kMaxAnnotationsPerPage entries is neither loaded nor saved.
// - Time: no decoder loops without consuming input. Directory walks visit each
//   directory once (loops are detected) and stop at kMaxPages; every directory has at
//   most 4096 entries and sub-directories nest at most 8 deep. The fax decoder reads at
//   least one bit per row and stops at its row bound; a row that cannot be decoded is
//   skipped by seeking forward to the next EOL. So the work on a file grows with its size
//   and with the page size its header declares, both bounded above.

#include <QtGlobal>

namespace ktdv::limits {

// Largest decoded page in memory, in bytes of the decoded QImage (a 600 dpi A0 bilevel
// page is about 70 MB; a 300 dpi A3 colour page about 70 MB).
inline constexpr qint64 kMaxPageBytes = 512LL * 1024 * 1024;
// Largest width or height of a page, in pixels.
inline constexpr qint32 kMaxPageDimension = 100000;
// Largest page count of a document.
inline constexpr qint32 kMaxPages = 100000;
// Largest single TIFF tag value read or copied, in bytes.
inline constexpr qint64 kMaxTagBytes = 64LL * 1024 * 1024;
// Largest annotation entry of one page, in bytes, and annotations per page.
inline constexpr qint64 kMaxAnnotationBytes = 4LL * 1024 * 1024;
inline constexpr qint32 kMaxAnnotationsPerPage = 10000;
// Decoded pages kept in memory by the shared page cache: at most this many bytes and this
// many pages. The pages count too, so flipping through a long document of small pages
// (a fax) does not hold hundreds of them: the viewer needs the shown page and the few it
// decodes ahead.
inline constexpr qint64 kPageCacheBytes = 256LL * 1024 * 1024;
inline constexpr int kPageCachePages = 8;

}  // namespace ktdv::limits
