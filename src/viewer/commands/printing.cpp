// The main toolbar's "Print" command.
#include "interfaces/imageeditor.h"
#include "viewer/core/errors.h"
#include "viewer/core/toolbar.h"
#include "viewer/core/viewercontrol.h"
#include "platform/printerstatus.h"

namespace ktdv {

namespace {
constexpr int kPrintAnnotationsOff = 13;
}

void ViewerControl::PrintCommand() {
    ImageEditor& editor = *ctlKTImgEdit1;
    if (editor.imagePath().isEmpty())
        return;
    bool printAnnotations = OcrToolbar->enabled(2) && OcrToolbar->image(2) != kPrintAnnotationsOff;
    SuppressErrorReport = true;
    if (editor.busy())
        return;
    if (m_printer->status() != QLatin1String("Ready"))
        return;
    editor.printDocument(printAnnotations);
    SuppressErrorReport = false;
    QString path = editor.imagePath();
    LoadPage(path, QStringLiteral("OpenImage"), toInt16(qint64{editor.pageIndex()}));
}

}  // namespace ktdv
