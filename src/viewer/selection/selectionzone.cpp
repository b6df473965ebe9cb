#include "viewer/selection/selectionzone.h"

#include <QAbstractScrollArea>
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

constexpr int kGap = 4;           // pixels between the zone and the toolbar
constexpr int kSmallestZone = 5;  // pixels each way; a smaller zone is a click, not a zone
constexpr double kFullSize = 100;

// Where the toolbar may go, in the viewer's coordinates: the page view's visible area (its
// scroll bars left free), never over the toolbars and the status bar.
QRect roomInPageView(const ViewerWidgets& w, QWidget& viewer) {
    QWidget* page = w.editor->widget();
    QRect room = page->rect();
    if (const auto* area = qobject_cast<QAbstractScrollArea*>(page))
        room = area->viewport()->geometry();
    room.translate(page->mapTo(&viewer, QPoint(0, 0)));
    const QWidget* others[] = {w.mainToolbar->widget(), w.ocrToolbar->widget(), w.statusBar};
    for (const QWidget* other : others) {
        const QRect g = other->geometry();
        if (other->isHidden() || !g.intersects(room))
            continue;
        if (g.center().y() < room.center().y())
            room.setTop(g.bottom() + 1);
        else
            room.setBottom(g.top() - 1);
    }
    return room;
}

// The toolbar's top left: beside the zone at the corner where the drag ended (below it
// after a downward drag, above after an upward one, aligned with the end's side), on the
// other side or beside it where that side has no room, over the zone's end corner when
// the zone fills the view; always inside room.
QPoint besideZone(QRect zone, QSize bar, const QRect& room, bool rightward, bool downward) {
    const QRect seen = zone.intersected(room);
    if (!seen.isEmpty())
        zone = seen;
    const auto clampX = [&](int x) {
        return qBound(room.left(), x, qMax(room.left(), room.right() + 1 - bar.width()));
    };
    const auto clampY = [&](int y) {
        return qBound(room.top(), y, qMax(room.top(), room.bottom() + 1 - bar.height()));
    };
    const int alignedX = rightward ? zone.right() + 1 - bar.width() : zone.left();
    const int alignedY = downward ? zone.bottom() + 1 - bar.height() : zone.top();
    const int below = zone.bottom() + 1 + kGap;
    const int above = zone.top() - kGap - bar.height();
    const bool belowFits = below + bar.height() - 1 <= room.bottom();
    const bool aboveFits = above >= room.top();
    if (belowFits && (downward || !aboveFits))
        return {clampX(alignedX), below};
    if (aboveFits)
        return {clampX(alignedX), above};
    const int right = zone.right() + 1 + kGap;
    const int left = zone.left() - kGap - bar.width();
    const bool rightFits = right + bar.width() - 1 <= room.right();
    const bool leftFits = left >= room.left();
    if (rightFits && (rightward || !leftFits))
        return {right, clampY(alignedY)};
    if (leftFits)
        return {left, clampY(alignedY)};
    return {clampX(alignedX), clampY(downward ? alignedY - kGap : alignedY + kGap)};
}

}  // namespace

SelectionZone::SelectionZone(ViewerControl& viewer) : m_viewer(viewer) {}

void SelectionZone::PlaceSelectionToolbar(float& x, float& y) {
    const ViewerWidgets& w = m_viewer.widgets();
    ImageEditor& editor = *w.editor;
    EditorPointer& pointer = editor.pointer();
    Toolbar& toolbar = *w.selectionToolbar;
    if (pointer.pointerClipped()) {
        x = static_cast<float>(pointer.clippedX());
        y = static_cast<float>(pointer.clippedY());
    }
    ViewerModuleState& g = moduleState();
    g.endDrag(x, y);

    // Pixels of the page view; a click or a zone of a few pixels offers nothing.
    const QPoint anchor(static_cast<int>(twips::toPixelX(g.drag().anchorX)),
                        static_cast<int>(twips::toPixelY(g.drag().anchorY)));
    const QPoint end(static_cast<int>(twips::toPixelX(x)), static_cast<int>(twips::toPixelY(y)));
    QToolBar* bar = toolbar.widget();
    if (qAbs(end.x() - anchor.x()) < kSmallestZone || qAbs(end.y() - anchor.y()) < kSmallestZone) {
        bar->hide();
        pointer.clearRubberBand();
        return;
    }

    const QRect zone =
        QRect(anchor, end).normalized().translated(editor.widget()->mapTo(&m_viewer, QPoint()));
    bar->resize(bar->sizeHint());
    bar->move(besideZone(zone, bar->size(), roomInPageView(w, m_viewer), end.x() > anchor.x(),
                         end.y() > anchor.y()));

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
