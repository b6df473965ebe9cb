#pragma once
// Recognising a dragged zone of the page onto the clipboard: the zone is saved as a TIFF
// file in a folder of its own below the temporary folder, readable by this user only and
// made afresh for each zone, handed to the recognition engine and removed with its folder.
// UI thread only.

#include <QString>

namespace ktdv {

class ViewerControl;

// Corners of a zone in widget pixels, as dragged (x1 may exceed x2, y1 may exceed y2).
struct ZoneCorners {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// Runs the zone recognition with the viewer's progress bar, engine and prompts. Returns the
// editor's result of saving the zone. savedDirectory receives the process's current
// directory before the editor is called, so a caller's failure path can restore it.
// Failures of the calls themselves are thrown; the zone's folder is removed all the same.
int recogniseZone(ViewerControl& viewer, const ZoneCorners& zone, QString& savedDirectory);

}  // namespace ktdv
