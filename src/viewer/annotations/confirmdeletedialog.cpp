#include "viewer/annotations/confirmdeletedialog.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "platform/twips.h"

namespace ktdv::annotations {

namespace {

// A rectangle given in twips, in pixels.
QRect pixels(int left, int top, int width, int height) {
    return {static_cast<int>(twips::toPixelX(left)), static_cast<int>(twips::toPixelY(top)),
            static_cast<int>(twips::toPixelX(width)), static_cast<int>(twips::toPixelY(height))};
}

}  // namespace

QDialog* createConfirmDeleteDialog(QWidget* parent) {
    auto* dialog = new QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                           Qt::WindowCloseButtonHint);
    dialog->setObjectName(QStringLiteral("frmMsgBox"));
    dialog->setWindowTitle(QStringLiteral("Confirm Delete"));
    dialog->setModal(true);
    const QRect client = pixels(0, 0, 2685, 1125);
    dialog->setFixedSize(client.size());

    auto* frame = new QGroupBox(dialog);
    frame->setObjectName(QStringLiteral("fraMain"));
    frame->setGeometry(pixels(90, -30, 2460, 555));

    auto* label = new QLabel(QStringLiteral("Delete Annotation ?"), frame);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(pixels(120, 210, 1410, 195));

    // Created in tab order: No first, so it holds the focus when the window opens.
    auto* no = new QPushButton(QStringLiteral("&No"), dialog);
    no->setObjectName(QStringLiteral("btnNo"));
    no->setGeometry(pixels(1455, 645, 1095, 375));
    auto* yes = new QPushButton(QStringLiteral("&Yes"), dialog);
    yes->setObjectName(QStringLiteral("btnYes"));
    yes->setGeometry(pixels(90, 645, 1095, 375));
    QWidget::setTabOrder(no, yes);
    no->setDefault(true);
    no->setFocus();
    return dialog;
}

}  // namespace ktdv::annotations
