#pragma once
// The page view as the viewer sees it: one page of a raster document with its
// annotations. All members are called on the UI thread only.
//
// Coordinates: mouse events and annotation records are in twips (1440 per inch, from
// the screen's logical dots per inch) relative to the page view's widget; rubber band,
// pan and region calls take the units the viewer passes (see each member).

#include <QString>

#include <array>
#include <functional>

#include "interfaces/annotationrecord.h"

class QWidget;

namespace ktdv {

struct RegionRect {
    qint32 left = 0, top = 0, right = 0, bottom = 0;
};

class ImageEditor {
public:
    virtual ~ImageEditor() = default;

    // The widget that shows the page (placed by the viewer's layout).
    virtual QWidget* widget() = 0;

    // Document. Setting the path loads the document and shows page pageIndex();
    // reading it gives "" when there is none or the load failed.
    virtual QString imagePath() const = 0;
    virtual void setImagePath(const QString& path) = 0;
    virtual int pageIndex() const = 0;
    virtual void setPageIndex(int index) = 0;
    virtual int pageCount() const = 0;
    // Set "FirstPage", "PreviousPage", "NextPage" or "LastPage"; read: target index as text.
    virtual void setNavigateTo(const QString& where) = 0;
    virtual QString navigateTo() const = 0;

    // Mouse tool: "Default"/"default", "Scroll", "Wait", "Stamp"/"stamp", ...
    virtual void setTool(const QString& tool) = 0;
    virtual QString tool() const = 0;

    // Zoom. setZoomFactor("IN"/"OUT") zooms one step; zoomFactor() is the percent as
    // text, "0" without an image.
    virtual void setZoomFactor(const QString& step) = 0;
    virtual QString zoomFactor() const = 0;
    virtual void setZoomPercent(int percent) = 0;
    virtual int zoomPercent() const = 0;
    virtual void zoomTo(const QString& direction, int percent) = 0;
    virtual void fitWidth() = 0;
    virtual void fitHeight() = 0;

    virtual bool busy() const = 0;
    virtual bool hScrollVisible() const = 0;

    virtual void clearImage() = 0;
    virtual void syncView() = 0;
    virtual void refresh() = 0;
    virtual void updateLayout() = 0;

    // Page transforms of the shown page, and writing the turned page into its file.
    virtual void rotateLeft() = 0;
    virtual void rotateRight() = 0;
    virtual void flip() = 0;
    virtual bool savePageChanges(int pageIndex, int pageCount) = 0;

    // Attribute letters of a file; contains "R" when the current user cannot write it.
    virtual QString getFileAttributes(const QString& path) = 0;

    virtual void resetDocument(int flags) = 0;
    virtual void releaseImage() = 0;

    // Annotations: "load", "add", "save", "remove", "rangecheck".
    virtual bool annotationCommand(const QString& command, AnnotationRecord& record, int option = 0,
                                   const QString& path = QString(), int page = 0, int x = 0,
                                   int y = 0, bool filled = false, bool highlight = false) = 0;
    virtual std::array<qint32, 4> hitRect() const = 0;

    // The component's own modal dialogs.
    virtual void stampProperties() = 0;
    virtual void rectangleProperties() = 0;
    virtual void highlightProperties() = 0;
    virtual void showSettings() = 0;

    virtual void printDocument(bool& printAnnotations) = 0;

    // Rubber band (twips, relative to the widget) and hand scrolling (pixels).
    virtual void startRubberBand(float x, float y) = 0;
    // style: 0 solid, 2 dotted; mode 10 = not-xor; colour 0x00BBGGRR, or -1 for the default.
    virtual void drawRubberBand(float x, float y, int style, int mode, qint32 colour = -1,
                                bool filled = false) = 0;
    virtual void endRubberBand(float x, float y) = 0;
    virtual void clearRubberBand() = 0;
    virtual void startPan(int x, int y) = 0;
    virtual void panTo(int x, int y) = 0;
    virtual void endPan() = 0;
    virtual bool pointerClipped() const = 0;
    virtual qint32 clippedX() const = 0;
    virtual qint32 clippedY() const = 0;

    // Zones, corners in widget pixels and in any order. copyRegion returns 1 when the
    // zone was copied (to the clipboard, or saved as a TIFF file at path when toFile).
    virtual int copyRegion(int x1, int y1, int x2, int y2, QString& path, bool toFile) = 0;
    virtual RegionRect mapRegion(int x1, int y1, int x2, int y2) = 0;
    virtual void setViewLeft(qint32 v) = 0;
    virtual qint32 viewLeft() const = 0;
    virtual void setViewTop(qint32 v) = 0;
    virtual qint32 viewTop() const = 0;

    // Events: button 0 none, 1 left, 2 right, 4 middle; x, y in twips. Arguments are
    // passed by reference as the handlers may rewrite them.
    using MouseHandler = std::function<void(int& button, int& shift, float& x, float& y)>;
    MouseHandler onMouseDown;
    MouseHandler onMouseMove;
    MouseHandler onMouseUp;
};

}  // namespace ktdv
