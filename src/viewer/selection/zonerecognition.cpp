#include "viewer/selection/zonerecognition.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "interfaces/imageeditor.h"
#include "interfaces/progressbar.h"
#include "interfaces/recognitionengine.h"
#include "platform/promptservice.h"
#include "platform/viewererror.h"
#include "viewer/conversion/conversionprogress.h"
#include "viewer/conversion/documentconversion.h"
#include "viewer/conversion/engineerrortext.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"

namespace ktdv {

namespace {

constexpr int kAnsiText = 2;  // export format of every clipboard conversion

// Centres the bar in the viewer with the zone's caption and starts it at 0. The counters of
// whole-document conversions are left as they are.
void startZoneProgress(ConversionProgress& shown, ProgressBar& bar) {
    shown.begin(
        QCoreApplication::translate("ktdv::SelectionZone", "Converting Zone to Clipboard..."),
        ConversionProgress::Place::Middle, false);
    bar.setMin(0);
    bar.setMax(100);
    bar.setValue(0);
    bar.repaint();
}

}  // namespace

int recogniseZone(ViewerControl& viewer, const ZoneCorners& zone, QString& savedDirectory) {
    ProgressBar& bar = *viewer.widgets().progress;
    const ConversionProgress::Running running(viewer.conversion().progress());
    startZoneProgress(viewer.conversion().progress(), bar);

    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->clear();

    // A fixed name in the shared temporary folder could be read by another user, or hold
    // a stale zone when the editor cannot write it. A new folder is created with owner-only
    // permissions and is removed with whatever it holds when this returns or throws.
    const QTemporaryDir zoneFolder(QDir(QDir::tempPath()).filePath(QStringLiteral("ktdv-zone-")));
    QString zoneFile =
        zoneFolder.isValid() ? zoneFolder.filePath(QStringLiteral("znlimage.tif")) : QString();
    savedDirectory = QDir::currentPath();
    const int copyResult = viewer.widgets().editor->pointer().copyRegion(zone.x1, zone.y1, zone.x2,
                                                                         zone.y2, zoneFile, true);
    QDir::setCurrent(savedDirectory);
    bar.setValue(50);

    if (!zoneFile.isEmpty() && QFileInfo::exists(zoneFile)) {
        RecognitionEngine* engine = viewer.conversion().engine();
        if (!engine)
            throw ViewerError(
                91, QCoreApplication::translate("ktdv::ViewerError",
                                                "Object variable or With block variable not set"));
        const int code = engine->convert(zoneFile, QStringLiteral("notused"),
                                         RecognitionEngine::DestinationClipboard, kAnsiText);
        if (code != 0 && code != RecognitionEngine::Cancelled) {
            viewer.prompts().message(&viewer,
                                     QCoreApplication::translate("ktdv::DocumentConversion",
                                                                 "ZidaDodi Error (Clipboard): (") +
                                         QString::number(code) + QStringLiteral(") - ") +
                                         EngineErrorText(code));
        }
    }

    bar.setValue(100);
    bar.widget()->hide();
    return copyResult;
}

}  // namespace ktdv
