// Mouse presses, moves and releases over the page: annotation drawing, clicks, panning
// and the plain selection frame.
#include "viewer/annotations/annotationinteraction.h"

#include <QToolBar>

#include "interfaces/annotationrecord.h"
#include "interfaces/imageeditor.h"
#include "platform/settingsstore.h"
#include "viewer/annotations/annotationunits.h"
#include "viewer/core/errors.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/selection/selectionzone.h"
#include "viewer/session/documentsession.h"
#include "viewer/toolbars/toolbar.h"
#include "viewer/toolbars/toolbarstates.h"

namespace ktdv {

namespace {

using annotations::wholeTwips;

// Left/right (or top/bottom) of a drag extent; false when the extent is empty.
bool extent(float anchor, float end, qint32& low, qint32& high) {
    if (anchor < end) {
        low = wholeTwips(anchor);
        high = wholeTwips(end);
    } else if (anchor > end) {
        low = wholeTwips(end);
        high = wholeTwips(anchor);
    } else {
        return false;
    }
    return true;
}

}  // namespace

AnnotationInteraction::AnnotationInteraction(ViewerControl& viewer) : m_viewer(viewer) {}

void AnnotationInteraction::pageMouseDown(int& button, int& shift, float& x, float& y) {
    Q_UNUSED(shift)
    ImageEditor& editor = *m_viewer.widgets().editor;
    EditorPointer& pointer = editor.pointer();
    const ToolbarStates& bars = m_viewer.toolbars();
    if (editor.document().busy() || button != 1)
        return;
    if (bars.selectionModeOn()) {
        if (bars.toolPressed("Select") || bars.toolPressed("Stamp"))
            return;  // those tools act on release
        QToolBar* selection = m_viewer.widgets().selectionToolbar->widget();
        if (!selection->isHidden())
            selection->hide();
        editor.view().refresh();
        pointer.clearRubberBand();
        pointer.startRubberBand(x, y);
        moduleState().startDrag(x, y);
        SettingsStore& store = m_viewer.settings();
        m_rectFillColor = store.readInt32(settings::RectFillColor);
        m_rectBorderColor = store.readInt32(settings::RectBorderColor);
        m_highlightColor = store.readInt32(settings::HighlightColor);
    } else if (bars.scrollModeOn()) {
        pointer.startPan(annotations::pixelX(x), annotations::pixelY(y));
    }
}

void AnnotationInteraction::pageMouseMove(int& button, int& shift, float& x, float& y) {
    Q_UNUSED(shift)
    EditorPointer& pointer = m_viewer.widgets().editor->pointer();
    const ToolbarStates& bars = m_viewer.toolbars();
    if (button != 1)
        return;
    if (bars.selectionModeOn()) {
        if (bars.toolPressed("Select") || bars.toolPressed("Stamp"))
            return;  // those tools act on release
        if (bars.toolPressed("Rectangle")) {
            // Filled only for the stored kind 1; the created annotation reads it otherwise.
            if (m_viewer.settings().readDouble(settings::RectangleKind) == 1)
                pointer.drawRubberBand(x, y, 0, 10, m_rectFillColor, true);
            else
                pointer.drawRubberBand(x, y, 0, 10, m_rectBorderColor);
        } else if (bars.toolPressed("Highlight")) {
            pointer.drawRubberBand(x, y, 0, 10, m_highlightColor, true);
        } else {
            pointer.drawRubberBand(x, y, 2, 10);
        }
        // Once moved, a drag stays moved, even back onto its anchor.
        moduleState().dragTo(x, y);
    } else if (bars.scrollModeOn()) {
        pointer.panTo(annotations::pixelX(x), annotations::pixelY(y));
    }
}

void AnnotationInteraction::pageMouseUp(int& button, int& shift, float& x, float& y) {
    Q_UNUSED(shift)
    ImageEditor& editor = *m_viewer.widgets().editor;
    EditorPointer& pointer = editor.pointer();
    const ToolbarStates& bars = m_viewer.toolbars();
    if (editor.document().busy() || button != 1)
        return;
    if (bars.selectionModeOn()) {
        if (bars.toolPressed("Text") || bars.toolPressed("Line") || bars.toolPressed("Rectangle") ||
            bars.toolPressed("Highlight")) {
            pointer.endRubberBand(x, y);
            finishAnnotation(x, y);
        } else if (bars.toolPressed("Select") || bars.toolPressed("Stamp")) {
            clickAnnotation(x, y);
        } else {
            pointer.endRubberBand(x, y);
            m_viewer.selection().PlaceSelectionToolbar(x, y);
        }
    } else if (bars.scrollModeOn()) {
        pointer.endPan();
    }
}

void AnnotationInteraction::finishAnnotation(float& x, float& y) {
    ViewerModuleState& g = moduleState();
    ImageEditor& editor = *m_viewer.widgets().editor;
    EditorPointer& pointer = editor.pointer();
    const ToolbarStates& bars = m_viewer.toolbars();
    if (!g.drag().dragged)
        return;  // a click without movement creates nothing
    if (pointer.pointerClipped()) {
        x = static_cast<float>(pointer.clippedX());
        y = static_cast<float>(pointer.clippedY());
    }
    g.endDrag(x, y);
    editor.view().setTool(QStringLiteral("Wait"));
    if (bars.toolPressed("Text")) {
        addTextAnnotation();
    } else if (bars.toolPressed("Line")) {
        // Lines are not created by the viewer.
    } else if (bars.toolPressed("Rectangle")) {
        // Hollow only for the stored value 2; the frame drawn while moving is filled only
        // for 1, so any other value draws hollow and creates a filled rectangle.
        const bool hollow = m_viewer.settings().readDouble(settings::RectangleKind) == 2;
        addShapeAnnotation(
            hollow ? AnnotationRecord::kHollowRectangle : AnnotationRecord::kFilledRectangle,
            false);
    } else if (bars.toolPressed("Highlight")) {
        addShapeAnnotation(AnnotationRecord::kFilledRectangle, true);
    }
    editor.view().setTool(QStringLiteral("Default"));
}

AnnotationInteraction::DragRect AnnotationInteraction::dragRect() const {
    const DragRectangle& g = moduleState().drag();
    DragRect rect;
    const bool horizontal = extent(g.anchorX, g.endX, rect.left, rect.right);
    const bool vertical = extent(g.anchorY, g.endY, rect.top, rect.bottom);
    if (!horizontal || !vertical) {
        rect.left = 0;
        rect.right = 0;
    }
    return rect;
}

namespace {

template <class Rect>
AnnotationRecord recordFor(qint32 type, const Rect& rect) {
    AnnotationRecord record;
    record.type = type;
    record.top = rect.top;
    record.left = rect.left;
    record.bottom = rect.bottom;
    record.right = rect.right;
    return record;
}

}  // namespace

void AnnotationInteraction::addTextAnnotation() {
    EditorAnnotations& notes = m_viewer.widgets().editor->annotations();
    const DragRect rect = dragRect();
    if (rect.left == 0 || rect.right == 0)
        return;
    AnnotationRecord record = recordFor(AnnotationRecord::kText, rect);
    const bool added = notes.annotationCommand(QStringLiteral("add"), record);
    saveAddedAnnotation(added, record);
}

void AnnotationInteraction::saveAddedAnnotation(bool added, AnnotationRecord& record) {
    ImageEditor& editor = *m_viewer.widgets().editor;
    EditorDocument& document = editor.document();
    if (added)
        editor.annotations().annotationCommand(QStringLiteral("save"), record, 0,
                                               document.imagePath(), document.pageIndex());
    m_viewer.session().refreshPage();
}

void AnnotationInteraction::addShapeAnnotation(qint16 annotationType, bool highlight) {
    ImageEditor& editor = *m_viewer.widgets().editor;
    EditorDocument& document = editor.document();
    const DragRect rect = dragRect();
    if (rect.left == 0 || rect.right == 0)
        return;
    AnnotationRecord record = recordFor(annotationType, rect);
    editor.annotations().annotationCommand(QStringLiteral("add"), record, 0, QString(), 0, 0, 0,
                                           true, highlight);
    // Saved whether or not the add succeeded: the file then keeps what it had.
    editor.annotations().annotationCommand(QStringLiteral("save"), record, 0, document.imagePath(),
                                           document.pageIndex());
    m_viewer.session().refreshPage();
}

void AnnotationInteraction::clickAnnotation(float& x, float& y) {
    ImageEditor& editor = *m_viewer.widgets().editor;
    EditorView& view = editor.view();
    EditorPointer& pointer = editor.pointer();
    pointer.startRubberBand(x, y);
    pointer.drawRubberBand(x, y, 2, 10);
    if (pointer.pointerClipped())
        return;  // the click lay outside the page
    pointer.endRubberBand(x, y);
    pointer.clearRubberBand();
    view.setTool(QStringLiteral("Wait"));
    if (m_viewer.toolbars().toolPressed("Select")) {
        showAnnotationMenu(x, y);
        view.setTool(QStringLiteral("Default"));
    } else if (m_viewer.toolbars().toolPressed("Stamp")) {
        placeStamp(x, y);
        view.setTool(QStringLiteral("Stamp"));
    }
}

}  // namespace ktdv
