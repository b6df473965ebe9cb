#include "viewer/annotations/confirmdeletedialog.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "platform/twips.h"

namespace ktdv::annotations {

namespace {

// A size given in twips, in pixels.
QSize pixels(int width, int height) {
    return {static_cast<int>(twips::toPixelX(width)), static_cast<int>(twips::toPixelY(height))};
}

}  // namespace

// The window takes the size its texts need in the user's font, never less than designed.
QDialog* createConfirmDeleteDialog(QWidget* parent) {
    auto* dialog = new QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                           Qt::WindowCloseButtonHint);
    dialog->setObjectName(QStringLiteral("frmMsgBox"));
    dialog->setWindowTitle(
        QCoreApplication::translate("ktdv::AnnotationInteraction", "Confirm Delete"));
    dialog->setModal(true);
    dialog->setMinimumSize(pixels(2685, 1125));

    auto* frame = new QGroupBox(dialog);
    frame->setObjectName(QStringLiteral("fraMain"));
    auto* label = new QLabel(
        QCoreApplication::translate("ktdv::AnnotationInteraction", "Delete Annotation ?"), frame);
    label->setObjectName(QStringLiteral("Label1"));
    (new QVBoxLayout(frame))->addWidget(label);

    // Created in tab order: No first, so it holds the focus when the window opens.
    auto* no =
        new QPushButton(QCoreApplication::translate("ktdv::AnnotationInteraction", "&No"), dialog);
    no->setObjectName(QStringLiteral("btnNo"));
    auto* yes =
        new QPushButton(QCoreApplication::translate("ktdv::AnnotationInteraction", "&Yes"), dialog);
    yes->setObjectName(QStringLiteral("btnYes"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {yes, no}) {
        button->setMinimumSize(pixels(1095, 375));
        buttons->addWidget(button);
    }
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    QWidget::setTabOrder(no, yes);
    no->setDefault(true);
    no->setFocus();
    return dialog;
}

}  // namespace ktdv::annotations
