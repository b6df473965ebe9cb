#pragma once
// Commands on the shown page: the zoom commands and the default zoom applied after every
// load, rotating and flipping, printing, and the settings dialog. UI thread only.

#include <QString>

#include <memory>

namespace ktdv {

class PrinterStatus;
class ViewerControl;

class PageCommands {
public:
    PageCommands(ViewerControl& viewer, std::shared_ptr<PrinterStatus> printer);

    // "ZoomIn", "ZoomOut", "FitWidth", "FitHeight" or "OneToOne".
    void ZoomCommand(const QString& key);
    // The zoom step of the setting "gStepInOut" (1 to 11 a percentage, 12 fit width,
    // 13 fit height), shown in the status bar.
    void ApplyDefaultZoom();
    // Percentage of a default zoom step 1..11; 0 for any other step.
    static int ZoomStepPercent(int step);

    // "Rotate90Left", "Flip" or "Rotate90Right": the page is marked as turned.
    void TurnCommand(const QString& key);

    // Prints the document, with its annotations when the annotation toolbar's switch
    // says so, and shows the same page again; nothing when the editor is busy or the
    // printer is not ready (the user is told why).
    void PrintCommand();

    // The page view's settings dialog; the view then follows a changed default zoom and a
    // changed choice of thumbnails.
    void SettingsCommand();

private:
    ViewerControl& m_viewer;
    std::shared_ptr<PrinterStatus> m_printer;
};

}  // namespace ktdv
