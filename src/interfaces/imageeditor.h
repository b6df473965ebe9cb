#pragma once
// The page view as the viewer sees it: one page of a raster document with its
// annotations, reached through one interface per role. All members are called on the UI
// thread only.

#include "interfaces/editorannotations.h"
#include "interfaces/editordocument.h"
#include "interfaces/editorpointer.h"
#include "interfaces/editortextmarks.h"
#include "interfaces/editorview.h"

#include <memory>

class QWidget;

namespace ktdv {

namespace imaging {
class EditHistory;
}

class ImageEditor {
public:
    virtual ~ImageEditor() = default;

    // The widget that shows the page (placed by the viewer's layout).
    virtual QWidget* widget() = 0;

    virtual EditorDocument& document() = 0;
    virtual EditorView& view() = 0;
    virtual EditorAnnotations& annotations() = 0;
    virtual EditorPointer& pointer() = 0;
    // Marks over the words of the shown page; null when the editor draws none.
    virtual EditorTextMarks* textMarks() { return nullptr; }

    // Where the editor's changes to a document (turned pages saved, annotations) are
    // recorded so they can be undone; null for nowhere. Shared with the thumbnail pane.
    virtual void setEditHistory(std::shared_ptr<imaging::EditHistory> history) { Q_UNUSED(history) }
};

}  // namespace ktdv
