#pragma once
// The viewer for assistive technologies and the keyboard: every child has an accessible
// name and description, the page view's name says which page of how many is shown at which
// zoom ("Page 3 of 12, 100 %") and changes with it (assistive technologies hear the change),
// Tab walks the toolbars, the page ranges, the thumbnails and the page in that order, and
// F6 / Shift+F6 move between the toolbars, the thumbnail pane and the page view. The page
// view's keyboard cursor is annotations/keyboardcursor.h. UI thread only.

#include <QObject>
#include <QString>

class QWidget;

namespace ktdv {

class ViewerControl;

class ViewerAccess final : public QObject {
    Q_OBJECT
public:
    // Parented to the viewer; names its children as they are now.
    explicit ViewerAccess(ViewerControl& viewer);

    // What the page view is called now.
    QString pageText() const;
    // F6 (forward) and Shift+F6: the focus to the next region that can take it.
    void cycleRegions(bool backward);

private:
    void nameWidgets();
    void nameRest(QWidget* root);
    void orderTabs();
    void updatePageText();

    ViewerControl& m_viewer;
};

}  // namespace ktdv
