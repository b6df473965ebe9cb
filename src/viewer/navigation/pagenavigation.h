#pragma once
// Page turning from the main toolbar and the go-to-page box with its typed page number
// and its scroll bar. UI thread only.

#include <QString>

namespace ktdv {

class ViewerControl;

class PageNavigation {
public:
    explicit PageNavigation(ViewerControl& viewer);

    // "FirstPage", "PreviousPage", "NextPage" or "LastPage".
    void NavigateCommand(const QString& key);

    // Shows or hides the box as the annotation toolbar's "GoToPage" button says.
    void ToggleGoToPage();
    // Hides the box and releases its button, if it was pressed.
    void closeGoToPage();
    // Hides the box far below the annotation toolbar.
    void ParkGoToPage();
    // Returns false when the character is discarded (keyAscii is then set to 0).
    bool tboxPageNumber_KeyPress(int& keyAscii);
    void tboxPageNumber_MouseDown(int button);
    void vsPages_Change();
    void btnFind_Click();
    // The page view shows this page: an open box offers its number.
    void followShownPage(int pageIndex);

private:
    // The page view lost its document: no document state, box parked.
    void showNoDocument();

    ViewerControl& m_viewer;
};

}  // namespace ktdv
