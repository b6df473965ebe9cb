#pragma once
// Bounds that hold for any input, however hostile. Documented in the README.

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
// Decoded pages kept in memory by the shared page cache.
inline constexpr qint64 kPageCacheBytes = 256LL * 1024 * 1024;

}  // namespace ktdv::limits
