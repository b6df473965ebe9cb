// The "Manage Annotation" pop-up offered when the Select tool clicks an annotation, and
// the confirmed deletion of that annotation.
#include <QCursor>
#include <QDialog>
#include <QMenu>
#include <QPushButton>

#include <memory>

#include "viewer/annotations/annotationunits.h"
#include "viewer/annotations/confirmdeletedialog.h"
#include "interfaces/annotationrecord.h"
#include "interfaces/imageeditor.h"
#include "viewer/core/errors.h"
#include "viewer/core/viewercontrol.h"
#include "platform/promptservice.h"

namespace ktdv {

void ViewerControl::ShowAnnotationMenu(float& x, float& y) {
    ImageEditor& editor = *ctlKTImgEdit1;
    AnnotationRecord record;
    bOpResult = editor.annotationCommand(QStringLiteral("rangecheck"), record, 0, QString(), 0,
                                         annotations::wholeTwips(x), annotations::wholeTwips(y));
    // The hit rectangle decides, not the command's result.
    const std::array<qint32, 4> hit = editor.hitRect();
    if (hit[0] != 0 && hit[2] != 0)
        m_prompts->popupMenu(mnuMain, QCursor::pos());
}

void ViewerControl::mnuDelete_Click() {
    ImageEditor& editor = *ctlKTImgEdit1;
    ViewerModuleState& g = module();
    // Only the Yes button confirms: a window closed any other way answers No.
    g.gDeleteConfirmed = false;
    {
        std::unique_ptr<QDialog> dialog(annotations::createConfirmDeleteDialog(this));
        const auto button = [&dialog](const char* name) {
            return dialog->findChild<QPushButton*>(QString::fromLatin1(name));
        };
        connect(button("btnYes"), &QPushButton::clicked, dialog.get(),
                [this] { runUntrapped([this] { btnYes_Click(); }); });
        connect(button("btnNo"), &QPushButton::clicked, dialog.get(),
                [this] { runUntrapped([this] { btnNo_Click(); }); });
        frmMsgBox = dialog.get();
        struct Forget {
            QDialog*& window;
            ~Forget() { window = nullptr; }
        } forget{frmMsgBox};
        m_prompts->execDialog(dialog.get());
    }
    if (g.gDeleteConfirmed) {
        AnnotationRecord record;
        bOpResult = editor.annotationCommand(QStringLiteral("remove"), record);
        QString path = editor.imagePath();
        LoadPage(path, QStringLiteral("OpenImage"), toInt16(editor.pageIndex()));
    }
    editor.clearRubberBand();
}

void ViewerControl::btnYes_Click() {
    module().gDeleteConfirmed = true;
    if (frmMsgBox)
        frmMsgBox->accept();
}

void ViewerControl::btnNo_Click() {
    module().gDeleteConfirmed = false;
    if (frmMsgBox)
        frmMsgBox->reject();
}

}  // namespace ktdv
