#pragma once
// Undo and redo of the changes made to the shown document: the edit history the page view
// and the thumbnail pane record their changes in, and the two actions a user or a host
// works it with ("actUndo", "actRedo"; Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y; also offered on the
// thumbnail pane's and the annotation pop-up menus). The history lasts while the same
// document stays loaded; a writable TIFF or fax document has one, any other none, and the
// actions then say why they are off. UI thread only.

#include <QString>

#include <memory>

class QAction;

namespace ktdv {

class ViewerControl;
namespace imaging {
class EditHistory;
}

class UndoRedo {
public:
    explicit UndoRedo(ViewerControl& viewer);
    ~UndoRedo();
    UndoRedo(const UndoRedo&) = delete;
    UndoRedo& operator=(const UndoRedo&) = delete;

    QAction* undoAction() const { return m_undo; }
    QAction* redoAction() const { return m_redo; }
    const std::shared_ptr<imaging::EditHistory>& history() const { return m_history; }

    // A page was loaded: the history follows the document now shown (kept for the same
    // one, dropped for another or for one that cannot be changed).
    void followDocument();
    // The document was closed or opened afresh: its history goes.
    void forget();
    void undo();
    void redo();
    // The actions' texts, states and tooltips as the history and the document stand.
    void refreshActions();

private:
    void run(bool undoing);
    QString unavailableReason() const;

    ViewerControl& m_viewer;
    std::shared_ptr<imaging::EditHistory> m_history;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
};

}  // namespace ktdv
