// Zoom commands of the main toolbar and the default zoom applied after every page load.
#include "interfaces/imageeditor.h"
#include "viewer/core/errors.h"
#include "viewer/core/statusbar.h"
#include "viewer/core/viewercontrol.h"
#include "platform/settingsstore.h"

namespace ktdv {

namespace {
constexpr int kFitWidthStep = 12;
constexpr int kFitHeightStep = 13;
const QString kPercent = QStringLiteral(" %");
}  // namespace

int ViewerControl::ZoomStepPercent(int step) {
    if (step >= 1 && step <= 5)
        return 15 * step + 10;
    if (step == 6)
        return 100;
    if (step >= 7 && step <= 11)
        return 100 + 25 * (step - 6);
    return 0;
}

void ViewerControl::ZoomCommand(const QString& key) {
    ImageEditor& editor = *ctlKTImgEdit1;
    const QString panel = QStringLiteral("ZoomFactor");
    if (key == QLatin1String("ZoomIn") || key == QLatin1String("ZoomOut")) {
        editor.setZoomFactor(key == QLatin1String("ZoomIn") ? QStringLiteral("IN")
                                                            : QStringLiteral("OUT"));
        const QString text = editor.zoomFactor();
        if (toNumber(text) != 0) {
            editor.refresh();
            editor.updateLayout();
            editor.syncView();
            StatusBar->setText(panel, text + kPercent);
        }
        return;
    }
    if (editor.imagePath().isEmpty())
        return;
    if (key == QLatin1String("FitWidth") || key == QLatin1String("FitHeight")) {
        const bool width = key == QLatin1String("FitWidth");
        if (width)
            editor.fitWidth();
        else
            editor.fitHeight();
        editor.updateLayout();
        editor.refresh();
        editor.syncView();
        StatusBar->setText(panel,
                           width ? QStringLiteral("Fit Width") : QStringLiteral("Fit Height"));
    } else if (key == QLatin1String("OneToOne")) {
        editor.zoomTo(QStringLiteral("IN"), 100);
        editor.refresh();
        editor.updateLayout();
        editor.syncView();
        StatusBar->setText(panel, editor.zoomFactor() + kPercent);
    }
}

void ViewerControl::ApplyDefaultZoom() {
    ImageEditor& editor = *ctlKTImgEdit1;
    const QString panel = QStringLiteral("ZoomFactor");
    const qint16 n = m_settings->readInt16(settings::ZoomStep);
    int p = ZoomStepPercent(n);
    if (p != 0) {
        editor.zoomTo(QStringLiteral("IN"), p);
        StatusBar->setText(panel, QString::number(p) + kPercent);
    } else if (n == kFitWidthStep) {
        editor.fitWidth();
        StatusBar->setText(panel, QStringLiteral("Fit Width"));
    } else if (n == kFitHeightStep) {
        editor.fitHeight();
        StatusBar->setText(panel, QStringLiteral("Fit Height"));
    }
    editor.updateLayout();
    editor.refresh();
    editor.syncView();
    if (p != 0)
        editor.setZoomPercent(p);
}

}  // namespace ktdv
