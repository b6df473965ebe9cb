#pragma once
// Adds a filled rectangle in the middle of the page view and saves it, through the page
// view's annotation commands as the viewer's mouse handlers do.

#include <QWidget>

#include "interfaces/annotationrecord.h"
#include "interfaces/imageeditor.h"

namespace ktdv::test {

// False when the rectangle could not be added; *saved tells whether it was stored.
inline bool annotateMiddle(ImageEditor& editor, const QString& path, int page, bool* saved) {
    QWidget* w = editor.widget();
    const int twipsX = 1440 / qMax(1, w->logicalDpiX());
    const int twipsY = 1440 / qMax(1, w->logicalDpiY());
    AnnotationRecord record;
    record.type = AnnotationRecord::kFilledRectangle;
    record.left = (w->width() / 2 - 30) * twipsX;
    record.right = (w->width() / 2 + 30) * twipsX;
    record.top = (w->height() / 2 - 20) * twipsY;
    record.bottom = (w->height() / 2 + 20) * twipsY;
    if (!editor.annotations().annotationCommand(QStringLiteral("add"), record, 0, path, page))
        return false;
    *saved = editor.annotations().annotationCommand(QStringLiteral("save"), record, 0, path, page);
    return true;
}

}  // namespace ktdv::test
