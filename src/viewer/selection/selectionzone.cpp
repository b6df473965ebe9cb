#include "viewer/selection/selectionzone.h"

#include <QDir>
#include <QToolBar>

#include "interfaces/imageeditor.h"
#include "interfaces/progressbar.h"
#include "platform/twips.h"
#include "viewer/conversion/documentconversion.h"
#include "viewer/core/errors.h"
#include "viewer/core/statusbar.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/selection/zonerecognition.h"
#include "viewer/toolbars/toolbar.h"

namespace ktdv {

namespace {

constexpr int kGap = 2;        // pixels between the pointer and the toolbar
constexpr int kUpwardGap = 4;  // below the pointer, beyond its height, after an upward drag
constexpr double kFullSize = 100;

}  // namespace

SelectionZone::SelectionZone(ViewerControl& viewer) : m_viewer(viewer) {}

void SelectionZone::PlaceSelectionToolbar(float& x, float& y) {
    ImageEditor& editor = *m_viewer.widgets().editor;
    EditorPointer& pointer = editor.pointer();
    Toolbar& toolbar = *m_viewer.widgets().selectionToolbar;
    if (pointer.pointerClipped()) {
        x = static_cast<float>(pointer.clippedX());
        y = static_cast<float>(pointer.clippedY());
    }
    ViewerModuleState& g = moduleState();
    g.endDrag(x, y);

    const qint64 px = twips::toPixelX(x);
    const qint64 py = twips::toPixelY(y);
    QToolBar* bar = toolbar.widget();
    const qint64 tbW = bar->width();
    const qint64 tbH = bar->height();

    // The corner follows the drag: a rightward drag puts the toolbar's right edge at the
    // pointer, a leftward one its left edge just right of it; an upward drag moves it
    // below the pointer by its own height. A drag that ends on the anchor's x or y picks
    // no corner and leaves the toolbar at the viewer's top left.
    qint16 left = 0;
    qint16 top = 0;
    const bool rightward = x > g.drag().anchorX;
    const bool leftward = x < g.drag().anchorX;
    const bool downward = y > g.drag().anchorY;
    const bool upward = y < g.drag().anchorY;
    if ((rightward || leftward) && (downward || upward)) {
        left = toInt16(rightward ? px - tbW : px + kGap);
        top = toInt16(downward ? py + kGap : py + tbH + kUpwardGap);
    }
    bar->move(left, top);

    toolbar.setEnabled(QStringLiteral("Zoom"), toNumber(editor.view().zoomFactor()) < kFullSize);
    bar->show();
    bar->raise();
}

void SelectionZone::SelectionToolbar_ButtonClick(const QString& key) {
    const ViewerWidgets& w = m_viewer.widgets();
    int copyResult = 0;
    QString savedDirectory;
    try {
        ImageEditor& editor = *w.editor;
        EditorView& view = editor.view();
        EditorPointer& pointer = editor.pointer();
        const DragRectangle& g = moduleState().drag();
        const ZoneCorners zone{static_cast<int>(twips::toPixelX(g.anchorX)),
                               static_cast<int>(twips::toPixelY(g.anchorY)),
                               static_cast<int>(twips::toPixelX(g.endX)),
                               static_cast<int>(twips::toPixelY(g.endY))};

        if (key == QLatin1String("Copy")) {
            QString noFile;
            copyResult = pointer.copyRegion(zone.x1, zone.y1, zone.x2, zone.y2, noFile, false);
        } else if (key == QLatin1String("Zoom")) {
            // The zone fills the view, and the status bar says at which zoom.
            const RegionRect r = pointer.mapRegion(zone.x1, zone.y1, zone.x2, zone.y2);
            if (r.right > r.left && r.bottom > r.top) {
                view.zoomToRegion(r.left, r.top, r.right, r.bottom);
                view.refresh();
                w.statusBar->setText(QStringLiteral("ZoomFactor"),
                                     view.zoomFactor() + QStringLiteral(" %"));
            }
        } else if (key == QLatin1String("OCR")) {
            // Refused, like a drag-less click, while a conversion works.
            if (g.dragged && w.ocrToolbar->enabled(QStringLiteral("OcrToFile")) &&
                !m_viewer.conversion().engineBusy())
                copyResult = recogniseZone(m_viewer, zone, savedDirectory);
        }

        // Common end of every click.
        if (copyResult != 1)
            pointer.clearRubberBand();
        if (!savedDirectory.isEmpty())
            QDir::setCurrent(savedDirectory);
        w.selectionToolbar->widget()->hide();
    } catch (...) {
        // Any failure ends the action silently; the zone file, if any, stays behind.
        runUntrapped([&] {
            if (!savedDirectory.isEmpty())
                QDir::setCurrent(savedDirectory);
        });
        runUntrapped([&w] { w.progress->widget()->hide(); });
        runUntrapped([&w] { w.selectionToolbar->widget()->hide(); });
        runUntrapped([&w] { w.editor->pointer().clearRubberBand(); });
    }
}

}  // namespace ktdv
