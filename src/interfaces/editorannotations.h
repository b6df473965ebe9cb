#pragma once
// The annotations of the page the page view shows, and the dialogs for their styles.
// Records are in twips (1440 per inch, from the screen's logical dots per inch) relative
// to the page view's widget. UI thread only.

#include <QString>

#include <array>

#include "interfaces/annotationrecord.h"

namespace ktdv {

class EditorAnnotations {
public:
    virtual ~EditorAnnotations() = default;

    // "load", "add", "save", "remove", "rangecheck".
    virtual bool annotationCommand(const QString& command, AnnotationRecord& record, int option = 0,
                                   const QString& path = QString(), int page = 0, int x = 0,
                                   int y = 0, bool filled = false, bool highlight = false) = 0;
    // Left, top, right, bottom in twips relative to the widget, as the annotation found by
    // the last "rangecheck" is shown now; all zero when it found none.
    virtual std::array<qint32, 4> hitRect() const = 0;

    // The component's own modal dialogs.
    virtual void stampProperties() = 0;
    virtual void rectangleProperties() = 0;
    virtual void highlightProperties() = 0;
};

}  // namespace ktdv
