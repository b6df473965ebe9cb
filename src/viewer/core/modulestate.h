#pragma once
// State shared by every viewer on one UI thread: the current document path, the
// permission mask, the go-to-page values, the splitter drag, the drag rectangle of the
// page view, the delete confirmation and the progress counters.

#include <QString>
#include <QtGlobal>

namespace ktdv {

// Bits of gUserPermission.
inline constexpr int kMayRotate = 8;
inline constexpr int kMayAnnotate = 16;

struct ViewerModuleState {
    QString gImagePath;
    qint32 gUserPermission = 0;

    qint32 gGotoPage = 0;
    qint32 gGotoPageCount = 0;

    bool gSplitterDrag = false;
    qint16 gSavedPointer = 0;

    float SelAnchorX = 0, SelAnchorY = 0, SelEndX = 0, SelEndY = 0;
    bool SelDragged = false;

    bool gDeleteConfirmed = false;

    double ProgressStep = 0;
    double ProgressPosition = 0;
};

// The calling thread's instance.
ViewerModuleState& moduleState();

}  // namespace ktdv
