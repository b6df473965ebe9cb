#pragma once
// Quarter turns and mirroring of a page image in any of the decoded formats, bilevel
// pages included (they stay Format_Mono). Resolutions follow the turn. Any thread.

#include <QImage>
#include <QSizeF>
#include <QTransform>

namespace ktdv::pageturn {

// A quarter turn, clockwise or anticlockwise.
QImage quarterTurn(const QImage& page, bool clockwise);
// Mirrored top to bottom.
QImage flipVertical(const QImage& page);

// The size and resolution of the page as stored, from the page as shown after turn.
QSizeF storedSize(const QImage& shown, const QTransform& turn);
QSizeF storedDpi(const QSizeF& shownDpi, const QTransform& turn);

}  // namespace ktdv::pageturn
