#pragma once
// A prompt service for tests: answers come from queues the test fills beforehand, and
// everything asked is recorded. Nothing is shown to a person and nothing waits.
//   - message: the text is recorded;
//   - question: answered from questionAnswers (No when the queue is empty);
//   - fileDialog: answered from fileAnswers (cancelled when empty);
//   - popupMenu: triggers the action named by the next menuChoices entry (its text without
//     '&'; "" = close the menu without a choice; none when the queue is empty), or, with
//     realMenus, the menu itself, for a test that works it with window events;
//   - execDialog: the dialog is shown, the next dialogScripts entry runs on it (for
//     example clickButton(dialog, "btnYes")), the dialog is closed if the script left it
//     open (rejected) and its result returned.

#include "platform/promptservice.h"

#include <QList>
#include <QPoint>
#include <QStringList>

#include <functional>

namespace ktdv::test {

struct RecordedQuestion {
    QString title;
    QString text;
    bool defaultNo = false;
};

struct RecordedMenu {
    QStringList actions;  // texts without '&' of the visible, non-separator actions
    QStringList checked;  // those of them that were checked
    QString chosen;       // "" when nothing was triggered
};

class ScriptedPromptService final : public PromptService {
public:
    void message(QWidget* parent, const QString& text) override;
    bool question(QWidget* parent, const QString& title, const QString& text,
                  bool defaultNo) override;
    FileDialogResult fileDialog(QWidget* parent, const FileDialogRequest& request) override;
    void popupMenu(QMenu* menu, const QPoint& globalPos) override;
    int execDialog(QDialog* dialog) override;

    // Clicks the button with that objectName inside the dialog; false when there is none.
    static bool clickButton(QDialog* dialog, const QString& objectName);
    // An action's text as a person reads it: without the '&' mnemonic markers.
    static QString plainText(const QString& text);

    // Scripted answers, consumed front first.
    QList<bool> questionAnswers;
    QList<FileDialogResult> fileAnswers;
    QStringList menuChoices;
    bool realMenus = false;
    QList<std::function<void(QDialog*)>> dialogScripts;

    // What was asked, in order.
    QStringList messages;
    QList<RecordedQuestion> questions;
    QList<FileDialogRequest> fileRequests;
    QList<RecordedMenu> menus;
    QStringList dialogs;  // objectName of each dialog shown

    // Forget all recordings (answers still queued are kept).
    void clearRecords();
};

}  // namespace ktdv::test
