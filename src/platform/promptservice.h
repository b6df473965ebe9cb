#pragma once
// Every message box, file dialog, pop-up menu and modal window of the viewer and its
// components goes through this service: real Qt in production (QtPromptService),
// scripted in tests. UI thread only.

#include <QPoint>
#include <QString>

class QWidget;
class QMenu;
class QAction;
class QDialog;
class QPrinter;

namespace ktdv {

struct FileDialogRequest {
    bool save = false;
    QString title;        // "" = the platform's default title
    QString filter;       // "Name|*.a;*.b|Name2|*.*" as the viewer writes it
    int filterIndex = 1;  // 1-based
    QString fileName;     // initial file name
    int maxFileNameLength = 260;
    int flags = 0;  // 4096 file must exist, 4 hide read-only box
};

struct FileDialogResult {
    QString fileName;  // "" when cancelled
    int filterIndex = 1;
};

class PromptService {
public:
    virtual ~PromptService() = default;
    // OK-only message box with the default title.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // Yes/No question; returns true for Yes. defaultNo puts the focus on No.
    virtual bool question(QWidget* parent, const QString& title, const QString& text,
                          bool defaultNo) = 0;
    virtual FileDialogResult fileDialog(QWidget* parent, const FileDialogRequest& request) = 0;
    // Shows a pop-up menu at globalPos; the chosen action is triggered before this returns.
    virtual void popupMenu(QMenu* menu, const QPoint& globalPos) = 0;
    // Shows a modal window; returns its result code.
    virtual int execDialog(QDialog* dialog) = 0;
    // The print dialog: dialog is a print dialog made for printer. Returns true when the
    // user chose to print; printer then holds the choices (printer, pages, paper, copies).
    // By default the dialog is shown with execDialog.
    virtual bool printDialog(QDialog* dialog, QPrinter& printer);
    // Asks for a password: text says what it opens. Returns true with *password set when
    // the user chose OK. By default a dialog (objectName "dlgPassword", its line edit
    // "txtPassword", buttons "btnOk" and "btnCancel") is shown with execDialog.
    virtual bool password(QWidget* parent, const QString& text, QString* password);
};

// Converts the viewer's "Name|pattern|Name|pattern" filter to Qt's "Name (pattern);;..." form.
QString toQtFilter(const QString& filter);

}  // namespace ktdv
