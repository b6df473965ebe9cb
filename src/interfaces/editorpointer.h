#pragma once
// The pointer over the page view: its mouse events, the rubber band, hand scrolling and
// zones of the page. UI thread only.
//
// Mouse events and rubber band calls are in twips (1440 per inch, from the screen's
// logical dots per inch) relative to the page view's widget; pan and zone calls take
// widget pixels.

#include <QString>

#include <functional>

namespace ktdv {

struct RegionRect {
    qint32 left = 0, top = 0, right = 0, bottom = 0;
};

class EditorPointer {
public:
    virtual ~EditorPointer() = default;

    // Events: button 0 none, 1 left, 2 right, 4 middle; x, y in twips. Arguments are
    // passed by reference as the handlers may rewrite them. An empty handler ignores the
    // event.
    using MouseHandler = std::function<void(int& button, int& shift, float& x, float& y)>;
    virtual void setMouseHandlers(MouseHandler down, MouseHandler move, MouseHandler up) = 0;

    virtual void startRubberBand(float x, float y) = 0;
    // style: 0 solid, 2 dotted; mode 10 = not-xor; colour 0x00BBGGRR, or -1 for the default.
    virtual void drawRubberBand(float x, float y, int style, int mode, qint32 colour = -1,
                                bool filled = false) = 0;
    virtual void endRubberBand(float x, float y) = 0;
    virtual void clearRubberBand() = 0;
    virtual void startPan(int x, int y) = 0;
    virtual void panTo(int x, int y) = 0;
    virtual void endPan() = 0;
    // Whether the rubber band's last end point lay outside the page, and where it was
    // clipped to (twips).
    virtual bool pointerClipped() const = 0;
    virtual qint32 clippedX() const = 0;
    virtual qint32 clippedY() const = 0;

    // Zones, corners in widget pixels and in any order. copyRegion returns 1 when the
    // zone was copied (to the clipboard, or saved as a TIFF file at path when toFile).
    virtual int copyRegion(int x1, int y1, int x2, int y2, QString& path, bool toFile) = 0;
    virtual RegionRect mapRegion(int x1, int y1, int x2, int y2) = 0;
};

}  // namespace ktdv
