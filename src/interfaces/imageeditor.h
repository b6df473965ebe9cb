#pragma once
// The page view as the viewer sees it: one page of a raster document with its
// annotations, reached through one interface per role. All members are called on the UI
// thread only.

#include "interfaces/editorannotations.h"
#include "interfaces/editordocument.h"
#include "interfaces/editorpointer.h"
#include "interfaces/editorview.h"

class QWidget;

namespace ktdv {

class ImageEditor {
public:
    virtual ~ImageEditor() = default;

    // The widget that shows the page (placed by the viewer's layout).
    virtual QWidget* widget() = 0;

    virtual EditorDocument& document() = 0;
    virtual EditorView& view() = 0;
    virtual EditorAnnotations& annotations() = 0;
    virtual EditorPointer& pointer() = 0;
};

}  // namespace ktdv
