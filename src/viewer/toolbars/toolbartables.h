#pragma once
// The button tables of the viewer's three toolbars and their image lists. The tables
// name the groups a state change touches: the document buttons, page navigation,
// rotate and flip, and the annotation tools.

#include <QIcon>
#include <QList>

#include <span>

#include "viewer/toolbars/toolbar.h"

namespace ktdv {

std::span<const ButtonEntry> mainToolbarButtons();
std::span<const ButtonEntry> ocrToolbarButtons();
std::span<const ButtonEntry> selectionToolbarButtons();

// Image lists drawn at start-up: 20 pictures for the main toolbar, 15 for the
// annotation toolbar (12 and 13 are the two states of the print-annotations switch)
// and 3 for the selection toolbar.
QList<QIcon> mainToolbarImages();
QList<QIcon> ocrToolbarImages();
QList<QIcon> selectionToolbarImages();

}  // namespace ktdv
