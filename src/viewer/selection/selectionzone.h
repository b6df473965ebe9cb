#pragma once
// The small toolbar offered beside a zone dragged in selection mode: where it appears,
// and its actions on the zone (copy its image, zoom to it, recognise its text).
// UI thread only.

#include <QString>

namespace ktdv {

class ViewerControl;

class SelectionZone {
public:
    explicit SelectionZone(ViewerControl& viewer);

    // The drag ended at (x, y) twips: the toolbar appears beside the zone, inside the page
    // view, near the corner where the drag ended. A click or a zone of a few pixels offers
    // no toolbar, and its frame is cleared.
    void PlaceSelectionToolbar(float& x, float& y);
    // "Copy", "Zoom" or "OCR"; the toolbar is hidden afterwards.
    void SelectionToolbar_ButtonClick(const QString& key);

private:
    ViewerControl& m_viewer;
};

}  // namespace ktdv
