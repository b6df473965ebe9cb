#pragma once
// The small modal window that asks before an annotation is deleted: a frame with the
// question and the buttons "&Yes" and "&No", sized to its texts (at least its designed
// size in twips).
// No holds the first tab position, so it has the focus and answers Enter.
// UI thread only.

class QDialog;
class QWidget;

namespace ktdv::annotations {

// Builds the window (objectName "frmMsgBox", children "fraMain", "Label1", "btnYes",
// "btnNo"); the caller connects the buttons and owns the window.
QDialog* createConfirmDeleteDialog(QWidget* parent);

}  // namespace ktdv::annotations
