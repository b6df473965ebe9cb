#pragma once
// How the page view shows its page: zoom and fitting, where the page lies in the widget,
// the scroll bars, the mouse tool's cursor and the display settings. UI thread only.

#include <QPoint>
#include <QPointF>
#include <QSize>
#include <QString>

#include <memory>

#include "interfaces/editorview.h"

class QAbstractScrollArea;

namespace ktdv {

class PageDocument;
class PageRenderer;
class PromptService;
class SettingsStore;

class PageDisplay final : public EditorView {
public:
    PageDisplay(QAbstractScrollArea& area, const PageDocument& document, PageRenderer& renderer,
                std::shared_ptr<PromptService> prompts, std::shared_ptr<SettingsStore> settings);

    void setTool(const QString& tool) override;
    QString tool() const override { return m_tool; }

    void setZoomFactor(const QString& step) override;
    QString zoomFactor() const override;
    void setZoomPercent(int percent) override;
    int zoomPercent() const override;
    void zoomTo(const QString& direction, int percent) override;
    void fitWidth() override;
    void fitHeight() override;
    void zoomToRegion(qint32 left, qint32 top, qint32 right, qint32 bottom) override;

    bool hScrollVisible() const override;
    void syncView() override;
    void refresh() override;
    void updateLayout() override;

    void setViewLeft(qint32 v) override;
    qint32 viewLeft() const override;
    void setViewTop(qint32 v) override;
    qint32 viewTop() const override;

    void showSettings() override;

    // Current zoom: 1.0 (100 %) puts one page pixel on one pixel of the screen across, also
    // on a high-density screen, where a widget pixel covers several.
    double zoom() const { return m_zoom; }
    // Screen pixels per widget pixel (1 on a common screen, 1.25 to 3 on dense ones).
    double ratio() const;
    // Size of the page on screen at the current zoom: in screen pixels, as it is scaled for
    // drawing, and in widget pixels.
    QSize deviceSize() const;
    QSizeF displaySize() const;
    // Where the page's top left corner lies in the widget, in widget pixels; always on a
    // screen pixel, so the scaled page is copied to the screen pixel for pixel.
    QPointF pageOrigin() const;
    // Widget pixels to pixels of the page as shown.
    QPointF widgetToPage(QPointF p) const;
    // A page was shown or turned: a fitted zoom fits it.
    void refit();
    // The view moved to a screen of another density since it was last laid out.
    bool ratioChanged() const { return ratio() != m_laidOutRatio; }

private:
    enum class Fit { None, Width, Height };

    void setZoomKeepingCentre(double zoom);
    double fitZoom(Fit fit) const;
    double verticalStretch() const;
    // Widget pixels per page pixel across.
    double scale() const { return m_zoom / ratio(); }
    // displaySize() in whole widget pixels, for the scroll bars.
    QSize coveredSize() const;
    void updateScrollBars();

    QAbstractScrollArea& m_area;
    const PageDocument& m_document;
    PageRenderer& m_renderer;
    std::shared_ptr<PromptService> m_prompts;
    std::shared_ptr<SettingsStore> m_settings;

    double m_zoom = 1.0;
    Fit m_fit = Fit::None;
    QSize m_laidOutViewport;  // the viewport size of the last layout
    double m_laidOutRatio = 1.0;
    QString m_tool = QStringLiteral("Default");
};

}  // namespace ktdv
