#pragma once
// How the page view shows its page: zoom, fitting, layout, scroll offsets, the mouse tool
// and the display settings. UI thread only.

#include <QString>
#include <QtGlobal>

namespace ktdv {

class EditorView {
public:
    virtual ~EditorView() = default;

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
    // Zooms so the region of the page (pixels of the page as shown, as mapRegion gives
    // them) fills the view as far as the zoom's limits allow, centred in it.
    virtual void zoomToRegion(qint32 left, qint32 top, qint32 right, qint32 bottom) = 0;

    virtual bool hScrollVisible() const = 0;
    virtual void syncView() = 0;
    virtual void refresh() = 0;
    virtual void updateLayout() = 0;

    // The page pixel at the view's top left corner.
    virtual void setViewLeft(qint32 v) = 0;
    virtual qint32 viewLeft() const = 0;
    virtual void setViewTop(qint32 v) = 0;
    virtual qint32 viewTop() const = 0;

    // The component's display settings dialog.
    virtual void showSettings() = 0;
};

}  // namespace ktdv
