#include "viewer/toolbars/toolbarstates.h"

#include "interfaces/imageeditor.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/toolbars/toolbar.h"

namespace ktdv {

namespace {
constexpr int kPrintAnnotationsOn = 12;
constexpr int kPrintAnnotationsOff = 13;
const QString kPrintAnnotations = QStringLiteral("PrintAnnotations");
}  // namespace

ToolbarStates::ToolbarStates(ViewerControl& viewer) : m_viewer(viewer) {}

Toolbar& ToolbarStates::main() const {
    return *m_viewer.widgets().mainToolbar;
}
Toolbar& ToolbarStates::annotation() const {
    return *m_viewer.widgets().ocrToolbar;
}
Toolbar& ToolbarStates::selection() const {
    return *m_viewer.widgets().selectionToolbar;
}

void ToolbarStates::SetToolbarState(bool enable, bool excludeNav) {
    const qint32 permission = moduleState().userPermission();
    main().setGroupEnabled(DocumentButtons, enable);
    if (!excludeNav)
        main().setGroupEnabled(NavigationButtons, enable);
    if (enable && !(permission & kMayRotate))
        main().setGroupEnabled(RotateAndFlip, false);
    annotation().setGroupEnabled(AnnotationTools, enable && (permission & kMayAnnotate));
}

void ToolbarStates::setNavigation(bool backward, bool forward) {
    main().setEnabled(QStringLiteral("FirstPage"), backward);
    main().setEnabled(QStringLiteral("PreviousPage"), backward);
    main().setEnabled(QStringLiteral("NextPage"), forward);
    main().setEnabled(QStringLiteral("LastPage"), forward);
}

void ToolbarStates::SetNavigationButtons() {
    const EditorDocument& document = m_viewer.widgets().editor->document();
    const int i = document.pageIndex();
    // The first-page rule wins on a one-page document.
    setNavigation(i != 0, i == 0 || i + 1 != document.pageCount());
}

void ToolbarStates::ReleaseAnnotationTools(const QString& keep) {
    Toolbar& bar = annotation();
    const int kept = keep.isEmpty() ? 0 : bar.position(keep);
    for (int pos : bar.positions(AnnotationTools)) {
        if (!bar.visible(pos) || !bar.enabled(pos))
            continue;
        if (pos == kept) {
            if (bar.value(pos) != 1)
                m_viewer.widgets().editor->view().setTool(QStringLiteral("default"));
        } else {
            bar.setValue(pos, 0);
        }
    }
}

void ToolbarStates::disableAnnotationTools(const QString& why) {
    Toolbar& bar = annotation();
    bar.setGroupEnabled(AnnotationTools, false);
    for (int pos : bar.positions(AnnotationTools))
        bar.setReason(pos, why);
}

void ToolbarStates::releaseAndDisable(std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        const int pos = annotation().position(QString::fromLatin1(key));
        annotation().setValue(pos, 0);
        annotation().setEnabled(pos, false);
    }
}

void ToolbarStates::TogglePrintAnnotations() {
    Toolbar& bar = annotation();
    const int pos = bar.position(kPrintAnnotations);
    bar.setImage(
        pos, bar.image(pos) == kPrintAnnotationsOn ? kPrintAnnotationsOff : kPrintAnnotationsOn);
}

bool ToolbarStates::printAnnotations() const {
    return annotation().enabled(kPrintAnnotations) &&
           annotation().image(kPrintAnnotations) != kPrintAnnotationsOff;
}

bool ToolbarStates::selectionModeOn() const {
    return main().enabled(QStringLiteral("Select")) && main().value(QStringLiteral("Select")) == 1;
}

bool ToolbarStates::scrollModeOn() const {
    return main().enabled(QStringLiteral("Scroll")) && main().value(QStringLiteral("Scroll")) == 1;
}

void ToolbarStates::leaveScrollMode() {
    if (main().value(QStringLiteral("Scroll")) == 1) {
        main().setValue(QStringLiteral("Scroll"), 0);
        main().setValue(QStringLiteral("Select"), 1);
    }
}

bool ToolbarStates::toolPressed(const char* key) const {
    return annotation().value(QString::fromLatin1(key)) == 1;
}

}  // namespace ktdv
