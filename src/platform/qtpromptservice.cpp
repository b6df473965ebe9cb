#include "qtpromptservice.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>

namespace ktdv {

QString QtPromptService::defaultTitle() {
    const QString name = QGuiApplication::applicationDisplayName();
    return name.isEmpty() ? QCoreApplication::applicationName() : name;
}

void QtPromptService::message(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, defaultTitle(), text, QMessageBox::Ok, parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

bool QtPromptService::question(QWidget* parent, const QString& title, const QString& text,
                               bool defaultNo) {
    QMessageBox box(QMessageBox::Question, title.isEmpty() ? defaultTitle() : title, text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    const QMessageBox::StandardButton focused = defaultNo ? QMessageBox::No : QMessageBox::Yes;
    box.setDefaultButton(focused);
    if (QAbstractButton* b = box.button(focused)) {
        b->setFocus();
    }
    // Closing the box with Escape or its frame answers No.
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

FileDialogResult QtPromptService::fileDialog(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    constexpr int kFileMustExist = 4096;
    if (request.save) {
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setFileMode((request.flags & kFileMustExist) ? QFileDialog::ExistingFile
                                                            : QFileDialog::AnyFile);
    }
    const QStringList filters = qtNameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = request.filterIndex >= 1 && request.filterIndex <= filters.size()
                              ? request.filterIndex
                              : 1;
        dialog.selectNameFilter(filters.at(index - 1));
    }
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }

    FileDialogResult result;
    result.filterIndex = request.filterIndex;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return result;
    }
    const QString chosen = dialog.selectedFiles().constFirst();
    // A name longer than the caller can take counts as no choice.
    if (request.maxFileNameLength > 0 && chosen.size() > request.maxFileNameLength) {
        return result;
    }
    result.fileName = chosen;
    if (!filters.isEmpty()) {
        result.filterIndex = filterIndexOf(request.filter, dialog.selectedNameFilter());
    }
    return result;
}

void QtPromptService::popupMenu(QMenu* menu, const QPoint& globalPos) {
    if (menu) {
        menu->exec(globalPos);
    }
}

int QtPromptService::execDialog(QDialog* dialog) {
    return dialog ? dialog->exec() : 0;
}

}  // namespace ktdv
