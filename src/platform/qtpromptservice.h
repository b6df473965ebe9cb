#pragma once
// The prompt service on real Qt widgets: QMessageBox, QFileDialog, QMenu::exec and
// QDialog::exec, each modal with its own nested event loop. UI thread only.

#include "promptservice.h"

#include <QStringList>

namespace ktdv {

class QtPromptService final : public PromptService {
public:
    void message(QWidget* parent, const QString& text) override;
    bool question(QWidget* parent, const QString& title, const QString& text,
                  bool defaultNo) override;
    FileDialogResult fileDialog(QWidget* parent, const FileDialogRequest& request) override;
    void popupMenu(QMenu* menu, const QPoint& globalPos) override;
    int execDialog(QDialog* dialog) override;

    // The title of message boxes that name none: the application's display name.
    static QString defaultTitle();
};

// Qt's name filters for the viewer's "Name|pattern|..." text, one entry per pair.
QStringList qtNameFilters(const QString& filter);
// 1-based index of qtFilter among the entries of qtNameFilters(filter); 1 when absent.
int filterIndexOf(const QString& filter, const QString& qtFilter);

}  // namespace ktdv
