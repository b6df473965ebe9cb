// The annotation toolbar's click handler and the mutual exclusion of its tool buttons.
#include <QCursor>

#include "interfaces/imageeditor.h"
#include "viewer/core/toolbar.h"
#include "viewer/core/viewercontrol.h"
#include "platform/promptservice.h"
#include "platform/settingsstore.h"

namespace ktdv {

namespace {
constexpr int kFirstTool = 6;
constexpr int kLastTool = 15;
constexpr int kPrintAnnotationsOn = 12;
constexpr int kPrintAnnotationsOff = 13;
}  // namespace

void ViewerControl::OcrToolbar_ButtonClick(const QString& key) {
    ImageEditor& editor = *ctlKTImgEdit1;
    const int pos = OcrToolbar->position(key);
    if (editor.busy()) {
        if (pos != 0)
            OcrToolbar->setValue(pos, OcrToolbar->value(pos) == 1 ? 0 : 1);
        return;
    }
    if (editor.imagePath().isEmpty())
        return;
    editor.setTool(QStringLiteral("default"));
    const bool tool = key == QLatin1String("Stamp") || key == QLatin1String("Text") ||
                      key == QLatin1String("Highlight") || key == QLatin1String("Rectangle") ||
                      key == QLatin1String("Select");
    if (tool && MainToolbar->value(QStringLiteral("Scroll")) == 1) {
        MainToolbar->setValue(QStringLiteral("Scroll"), 0);
        MainToolbar->setValue(QStringLiteral("Select"), 1);
    }
    if (key == QLatin1String("GoToPage")) {
        ToggleGoToPage();
    } else if (key == QLatin1String("PrintAnnotations")) {
        TogglePrintAnnotations();
    } else if (key == QLatin1String("OcrToFile")) {
        ConvertDocumentToFile();
    } else if (key == QLatin1String("OcrToClipboard")) {
        ConvertDocumentToClipboard();
    } else if (key == QLatin1String("Select")) {
        ReleaseAnnotationTools(6);
    } else if (key == QLatin1String("Rectangle")) {
        editor.setTool(QStringLiteral("default"));
        ReleaseAnnotationTools(8);
        if (OcrToolbar->value(QStringLiteral("Rectangle")) == 1) {
            qint16 kind = m_settings->readInt16(settings::RectangleKind);
            mnuRect_Click(kind);
            m_prompts->popupMenu(mnuMainRect, QCursor::pos());
        }
    } else if (key == QLatin1String("Highlight")) {
        ReleaseAnnotationTools(10);
    } else if (key == QLatin1String("Text")) {
        ReleaseAnnotationTools(12);
    } else if (key == QLatin1String("Stamp")) {
        editor.setTool(QStringLiteral("stamp"));
        ReleaseAnnotationTools(15);
        if (OcrToolbar->value(QStringLiteral("Stamp")) == 1) {
            qint16 kind = m_settings->readInt16(settings::StampKind);
            mnuStamp_Click(kind);
            m_prompts->popupMenu(mnuMainStamp, QCursor::pos());
        }
    }
}

void ViewerControl::ReleaseAnnotationTools(qint16 position) {
    for (int i = kFirstTool; i <= kLastTool; ++i) {
        if (!OcrToolbar->visible(i) || !OcrToolbar->enabled(i))
            continue;
        if (i == position) {
            if (OcrToolbar->value(i) != 1)
                ctlKTImgEdit1->setTool(QStringLiteral("default"));
        } else {
            OcrToolbar->setValue(i, 0);
        }
    }
}

void ViewerControl::TogglePrintAnnotations() {
    OcrToolbar->setImage(2, OcrToolbar->image(2) == kPrintAnnotationsOn ? kPrintAnnotationsOff
                                                                        : kPrintAnnotationsOn);
}

}  // namespace ktdv
