// The main toolbar's "Print" command.
#include "components/imageeditor.h"
#include "core/errors.h"
#include "core/toolbar.h"
#include "core/viewercontrol.h"
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
