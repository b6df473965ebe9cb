// The splitter between the thumbnails and the page: drag feedback, the pending drop and
// the pointer shown over it; the page view's move handler, which also draws the frame of
// an annotation or a selection and pans the page.
#include <QLabel>
#include <QPushButton>

#include "viewer/annotations/annotationunits.h"
#include "interfaces/imageeditor.h"
#include "viewer/core/viewercontrol.h"
#include "platform/settingsstore.h"
#include "platform/twips.h"

namespace ktdv {

namespace {
constexpr qint16 kResizePointer = 9;  // west-east
constexpr int kMinimumSide = 100;
}  // namespace

void ViewerControl::btnSplitter_MouseDown(int button, int shift, float x, float y) {
    Q_UNUSED(shift)
    Q_UNUSED(x)
    Q_UNUSED(y)
    if (button != 1)
        return;
    module().gSplitterDrag = true;
    pBoxDrag->show();
    pBoxDrag->raise();
}

void ViewerControl::btnSplitter_MouseMove(int button, int shift, float x, float y) {
    Q_UNUSED(shift)
    Q_UNUSED(y)
    if (button == 0) {
        if (mousePointer() != kResizePointer)
            module().gSavedPointer = mousePointer();
        setMousePointer(kResizePointer);
    } else if (button == 1) {
        const double left = btnSplitter->x() + x / twips::perPixelX();
        pBoxDrag->move(static_cast<int>(twips::roundEven(left)), pBoxDrag->y());
    }
}

void ViewerControl::btnSplitter_MouseUp(int button, int shift, float x, float y) {
    Q_UNUSED(shift)
    Q_UNUSED(x)
    Q_UNUSED(y)
    if (button == 1)
        pBoxDrag->hide();
}

void ViewerControl::UserControl_MouseMove() {
    setMousePointer(module().gSavedPointer);
}

void ViewerControl::ctlKTImgEdit1_MouseMove(int& button, int& shift, float& x, float& y) {
    Q_UNUSED(shift)
    ViewerModuleState& g = module();
    if (ctlKTImgEdit1->busy())
        return;
    if (button == 0 && mousePointer() != g.gSavedPointer)
        setMousePointer(g.gSavedPointer);
    if (g.gSplitterDrag) {
        const double p = x / twips::perPixelX();
        if (ctlKTImgEdit1->widget()->width() - kMinimumSide > p) {
            btnSplitter->move(static_cast<int>(twips::roundEven(btnSplitter->x() + p)),
                              btnSplitter->y());
            ArrangePanes();
            g.gSplitterDrag = false;
        }
    }
    if (button != 1)
        return;
    if (selectionModeOn()) {
        if (toolPressed("Select") || toolPressed("Stamp"))
            return;  // those tools act on release
        if (toolPressed("Rectangle")) {
            // Filled only for the stored kind 1; the created annotation reads it otherwise.
            if (m_settings->readDouble(settings::RectangleKind) == 1)
                ctlKTImgEdit1->drawRubberBand(x, y, 0, 10, lngRectFillColor, true);
            else
                ctlKTImgEdit1->drawRubberBand(x, y, 0, 10, lngRectBorderColor);
        } else if (toolPressed("Highlight")) {
            ctlKTImgEdit1->drawRubberBand(x, y, 0, 10, lngHighColor, true);
        } else {
            ctlKTImgEdit1->drawRubberBand(x, y, 2, 10);
        }
        // Once moved, a drag stays moved, even back onto its anchor.
        if (x != g.SelAnchorX || y != g.SelAnchorY)
            g.SelDragged = true;
    } else if (scrollModeOn()) {
        ctlKTImgEdit1->panTo(annotations::pixelX(x), annotations::pixelY(y));
    }
}

}  // namespace ktdv
