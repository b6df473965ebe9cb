// The splitter between the thumbnails and the page: drag feedback, the pending drop and
// the pointer shown over it.
#include <QLabel>
#include <QPushButton>

#include "components/imageeditor.h"
#include "core/viewercontrol.h"
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
    Q_UNUSED(y)
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
    // The annotation tools' drawing while the button is held continues here.
}

}  // namespace ktdv
