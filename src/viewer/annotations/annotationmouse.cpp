// Mouse presses and releases over the page: annotation drawing, clicks and the plain
// selection frame. The drawing while the button is held is part of the page view's move
// handler (commands/splitter.cpp).
#include <QToolBar>

#include "viewer/annotations/annotationunits.h"
#include "interfaces/annotationrecord.h"
#include "interfaces/imageeditor.h"
#include "viewer/core/errors.h"
#include "viewer/core/toolbar.h"
#include "viewer/core/viewercontrol.h"
#include "platform/settingsstore.h"

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

bool ViewerControl::selectionModeOn() const {
    return MainToolbar->enabled(QStringLiteral("Select")) &&
           MainToolbar->value(QStringLiteral("Select")) == 1;
}

bool ViewerControl::scrollModeOn() const {
    return MainToolbar->enabled(QStringLiteral("Scroll")) &&
           MainToolbar->value(QStringLiteral("Scroll")) == 1;
}

bool ViewerControl::toolPressed(const char* key) const {
    return OcrToolbar->value(QString::fromLatin1(key)) == 1;
}

void ViewerControl::ctlKTImgEdit1_MouseDown(int& button, int& shift, float& x, float& y) {
    Q_UNUSED(shift)
    ImageEditor& editor = *ctlKTImgEdit1;
    if (editor.busy() || button != 1)
        return;
    if (selectionModeOn()) {
        if (toolPressed("Select") || toolPressed("Stamp"))
            return;  // those tools act on release
        if (!SelectionToolbar->widget()->isHidden())
            SelectionToolbar->widget()->hide();
        editor.refresh();
        editor.clearRubberBand();
        editor.startRubberBand(x, y);
        ViewerModuleState& g = module();
        g.SelAnchorX = x;
        g.SelAnchorY = y;
        lngRectFillColor = m_settings->readInt32(settings::RectFillColor);
        lngRectBorderColor = m_settings->readInt32(settings::RectBorderColor);
        lngHighColor = m_settings->readInt32(settings::HighlightColor);
        g.SelDragged = false;
    } else if (scrollModeOn()) {
        editor.startPan(annotations::pixelX(x), annotations::pixelY(y));
    }
}

void ViewerControl::ctlKTImgEdit1_MouseUp(int& button, int& shift, float& x, float& y) {
    Q_UNUSED(shift)
    ImageEditor& editor = *ctlKTImgEdit1;
    if (editor.busy() || button != 1)
        return;
    if (selectionModeOn()) {
        if (toolPressed("Text") || toolPressed("Line") || toolPressed("Rectangle") ||
            toolPressed("Highlight")) {
            editor.endRubberBand(x, y);
            FinishAnnotation(x, y);
        } else if (toolPressed("Select") || toolPressed("Stamp")) {
            ClickAnnotation(x, y);
        } else {
            editor.endRubberBand(x, y);
            PlaceSelectionToolbar(x, y);
        }
    } else if (scrollModeOn()) {
        editor.endPan();
    }
}

void ViewerControl::FinishAnnotation(float& x, float& y) {
    ViewerModuleState& g = module();
    ImageEditor& editor = *ctlKTImgEdit1;
    if (!g.SelDragged)
        return;  // a click without movement creates nothing
    if (editor.pointerClipped()) {
        x = static_cast<float>(editor.clippedX());
        y = static_cast<float>(editor.clippedY());
    }
    g.SelEndX = x;
    g.SelEndY = y;
    editor.setTool(QStringLiteral("Wait"));
    if (toolPressed("Text")) {
        AddTextAnnotation();
    } else if (toolPressed("Line")) {
        // Lines are not created by the viewer.
    } else if (toolPressed("Rectangle") || toolPressed("Highlight")) {
        qint16 type = AnnotationRecord::kFilledRectangle;
        bool highlight = true;
        if (toolPressed("Rectangle")) {
            // Hollow only for the stored value 2; the frame drawn while moving is filled
            // only for 1, so any other value draws hollow and creates a filled rectangle.
            if (m_settings->readDouble(settings::RectangleKind) == 2)
                type = AnnotationRecord::kHollowRectangle;
            highlight = false;
        }
        AddShapeAnnotation(type, highlight);
    }
    editor.setTool(QStringLiteral("Default"));
}

ViewerControl::DragRect ViewerControl::GetDragRect() const {
    const ViewerModuleState& g = module();
    DragRect rect;
    const bool horizontal = extent(g.SelAnchorX, g.SelEndX, rect.left, rect.right);
    const bool vertical = extent(g.SelAnchorY, g.SelEndY, rect.top, rect.bottom);
    if (!horizontal || !vertical) {
        rect.left = 0;
        rect.right = 0;
    }
    return rect;
}

namespace {

AnnotationRecord recordFor(qint32 type, const ViewerControl::DragRect& rect) {
    AnnotationRecord record;
    record.type = type;
    record.top = rect.top;
    record.left = rect.left;
    record.bottom = rect.bottom;
    record.right = rect.right;
    return record;
}

}  // namespace

void ViewerControl::AddTextAnnotation() {
    ImageEditor& editor = *ctlKTImgEdit1;
    const DragRect rect = GetDragRect();
    if (rect.left == 0 || rect.right == 0)
        return;
    AnnotationRecord record = recordFor(AnnotationRecord::kText, rect);
    bOpResult = editor.annotationCommand(QStringLiteral("add"), record);
    SaveAddedAnnotation(record);
}

void ViewerControl::SaveAddedAnnotation(AnnotationRecord& record) {
    ImageEditor& editor = *ctlKTImgEdit1;
    if (bOpResult) {
        ApplyDefaultZoom();
        bOpResult = editor.annotationCommand(QStringLiteral("save"), record, 0, editor.imagePath(),
                                             editor.pageIndex());
    }
    QString path = editor.imagePath();
    LoadPage(path, QStringLiteral("OpenImage"), toInt16(editor.pageIndex()));
}

void ViewerControl::AddShapeAnnotation(qint16& annotationType, bool& highlight) {
    ImageEditor& editor = *ctlKTImgEdit1;
    const DragRect rect = GetDragRect();
    if (rect.left == 0 || rect.right == 0)
        return;
    AnnotationRecord record = recordFor(annotationType, rect);
    bOpResult = editor.annotationCommand(QStringLiteral("add"), record, 0, QString(), 0, 0, 0, true,
                                         highlight);
    if (bOpResult)
        ApplyDefaultZoom();
    // Saved whether or not the add succeeded: the file then keeps what it had.
    bOpResult = editor.annotationCommand(QStringLiteral("save"), record, 0, editor.imagePath(),
                                         editor.pageIndex());
    QString path = editor.imagePath();
    LoadPage(path, QStringLiteral("OpenImage"), toInt16(editor.pageIndex()));
}

void ViewerControl::ClickAnnotation(float& x, float& y) {
    ImageEditor& editor = *ctlKTImgEdit1;
    editor.startRubberBand(x, y);
    editor.drawRubberBand(x, y, 2, 10);
    if (editor.pointerClipped())
        return;  // the click lay outside the page
    editor.endRubberBand(x, y);
    editor.clearRubberBand();
    editor.setTool(QStringLiteral("Wait"));
    if (toolPressed("Select")) {
        ShowAnnotationMenu(x, y);
        editor.setTool(QStringLiteral("Default"));
    } else if (toolPressed("Stamp")) {
        PlaceStamp(x, y);
        editor.setTool(QStringLiteral("Stamp"));
    }
}

}  // namespace ktdv
