#pragma once
// The state of the three toolbars as the viewer's commands see it: which buttons are
// usable with or without a document and with which permissions, page navigation, the
// mutual exclusion of the annotation tools, the print-annotations switch, and the select
// and scroll modes. The groups a change touches are named in the toolbar tables.
// UI thread only.

#include <QString>

#include <initializer_list>

namespace ktdv {

class Toolbar;
class ViewerControl;

class ToolbarStates {
public:
    explicit ToolbarStates(ViewerControl& viewer);

    Toolbar& main() const;
    Toolbar& annotation() const;
    Toolbar& selection() const;

    // Enables or disables the document buttons, page navigation too unless excludeNav, and
    // the annotation tools; enabling respects the permissions to rotate and to annotate.
    void SetToolbarState(bool enable, bool excludeNav);
    // Navigation from the page view's page index and count.
    void SetNavigationButtons();
    void setNavigation(bool backward, bool forward);

    // Releases every usable annotation tool except keep ("" releases all).
    void ReleaseAnnotationTools(const QString& keep);
    // Disables the annotation tools; why (when given) becomes their tooltip.
    void disableAnnotationTools(const QString& why = QString());
    // Releases and disables the annotation buttons with these keys.
    void releaseAndDisable(std::initializer_list<const char*> keys);
    void TogglePrintAnnotations();
    // The switch is usable and shows "print annotations".
    bool printAnnotations() const;

    // Selection mode: the main toolbar's "Select" is usable and pressed; scroll mode likewise
    // with "Scroll".
    bool selectionModeOn() const;
    bool scrollModeOn() const;
    // Scroll mode ends: "Scroll" released and "Select" pressed, if it was on.
    void leaveScrollMode();
    // An annotation tool button is pressed.
    bool toolPressed(const char* key) const;

private:
    ViewerControl& m_viewer;
};

}  // namespace ktdv
