#pragma once
// Quarter turns and mirroring of a page image in any of the decoded formats, bilevel
// pages included (they stay Format_Mono). Resolutions follow the turn. Any thread.

#include <QImage>

namespace ktdv::pageturn {

// A quarter turn, clockwise or anticlockwise.
QImage quarterTurn(const QImage& page, bool clockwise);
// Mirrored top to bottom.
QImage flipVertical(const QImage& page);

}  // namespace ktdv::pageturn
