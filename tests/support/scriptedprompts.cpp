#include "scriptedprompts.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QMenu>

namespace ktdv::test {
namespace {

// Depth-first over the menu and its submenus.
QAction* findAction(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions()) {
        if (QMenu* sub = a->menu()) {
            if (QAction* found = findAction(sub, text))
                return found;
        } else if (!a->isSeparator() && ScriptedPromptService::plainText(a->text()) == text) {
            return a;
        }
    }
    return nullptr;
}

}  // namespace

QString ScriptedPromptService::plainText(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;  // "&&" stands for one '&'
        }
        out += text.at(i);
    }
    return out;
}

void ScriptedPromptService::message(QWidget*, const QString& text) {
    messages << text;
}

bool ScriptedPromptService::question(QWidget*, const QString& title, const QString& text,
                                     bool defaultNo) {
    questions << RecordedQuestion{title, text, defaultNo};
    return questionAnswers.isEmpty() ? false : questionAnswers.takeFirst();
}

FileDialogResult ScriptedPromptService::fileDialog(QWidget*, const FileDialogRequest& request) {
    fileRequests << request;
    if (fileAnswers.isEmpty())
        return FileDialogResult{QString(), request.filterIndex};
    return fileAnswers.takeFirst();
}

void ScriptedPromptService::popupMenu(QMenu* menu, const QPoint& globalPos) {
    if (realMenus && menu)
        return void(menu->exec(globalPos));
    RecordedMenu record;
    if (!menu) {
        menus << record;
        return;
    }
    // As a real menu does: filled on aboutToShow, hidden before the chosen action runs.
    Q_EMIT menu->aboutToShow();
    for (QAction* a : menu->actions()) {
        if (a->isSeparator() || !a->isVisible())
            continue;
        const QString t = plainText(a->text());
        record.actions << t;
        if (a->isChecked())
            record.checked << t;
    }
    const QString choice = menuChoices.isEmpty() ? QString() : menuChoices.takeFirst();
    QAction* action = choice.isEmpty() ? nullptr : findAction(menu, choice);
    if (action && action->isEnabled())
        record.chosen = choice;
    Q_EMIT menu->aboutToHide();
    // Recorded before the action runs: its handler may show another menu.
    menus << record;
    if (!record.chosen.isEmpty())
        action->trigger();
}

int ScriptedPromptService::execDialog(QDialog* dialog) {
    if (!dialog)
        return QDialog::Rejected;
    dialogs << dialog->objectName();
    dialog->setResult(QDialog::Rejected);
    dialog->show();
    if (!dialogScripts.isEmpty()) {
        const auto script = dialogScripts.takeFirst();
        if (script)
            script(dialog);
    }
    if (dialog->isVisible())
        dialog->reject();
    return dialog->result();
}

bool ScriptedPromptService::clickButton(QDialog* dialog, const QString& objectName) {
    auto* button = dialog ? dialog->findChild<QAbstractButton*>(objectName) : nullptr;
    if (!button)
        return false;
    button->click();
    return true;
}

void ScriptedPromptService::clearRecords() {
    messages.clear();
    questions.clear();
    fileRequests.clear();
    menus.clear();
    dialogs.clear();
}

}  // namespace ktdv::test
