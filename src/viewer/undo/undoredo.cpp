#include "viewer/undo/undoredo.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QThread>

#include "imaging/backgroundwork.h"
#include "imaging/edithistory.h"
#include "imaging/pagecache.h"
#include "interfaces/imageeditor.h"
#include "interfaces/thumbnailpane.h"
#include "platform/promptservice.h"
#include "viewer/core/errors.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/session/documentsession.h"
#include "viewer/thumbnails/thumbnailevents.h"

namespace ktdv {

UndoRedo::UndoRedo(ViewerControl& viewer)
    : m_viewer(viewer), m_history(std::make_shared<imaging::EditHistory>()) {
    m_undo = new QAction(QCoreApplication::translate("ktdv::UndoRedo", "Undo"), &viewer);
    m_undo->setObjectName(QStringLiteral("actUndo"));
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = new QAction(QCoreApplication::translate("ktdv::UndoRedo", "Redo"), &viewer);
    m_redo->setObjectName(QStringLiteral("actRedo"));
    m_redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction* action : {m_undo, m_redo}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        viewer.addAction(action);
    }
    QObject::connect(m_undo, &QAction::triggered, &viewer,
                     [this] { runUntrapped([this] { undo(); }); });
    QObject::connect(m_redo, &QAction::triggered, &viewer,
                     [this] { runUntrapped([this] { redo(); }); });

    // A change may be recorded on a worker (a page delete runs there): the actions are
    // brought up to date on the UI thread.
    QAction* context = m_undo;
    m_history->setChangedHandler([this, context] {
        if (QThread::currentThread() == context->thread())
            refreshActions();
        else
            QMetaObject::invokeMethod(
                context, [this] { refreshActions(); }, Qt::QueuedConnection);
    });
    const ViewerWidgets& w = viewer.widgets();
    w.editor->setEditHistory(m_history);
    w.thumbs->setEditHistory(m_history);
    w.thumbs->setMenuActions({m_undo, m_redo});
    refreshActions();
}

UndoRedo::~UndoRedo() {
    m_history->setChangedHandler({});
}

void UndoRedo::followDocument() {
    const QString path = m_viewer.widgets().editor->document().imagePath();
    m_history->setDocument(unavailableReason().isEmpty() ? path : QString());
    refreshActions();
}

void UndoRedo::forget() {
    m_history->setDocument(QString());
    refreshActions();
}

QString UndoRedo::unavailableReason() const {
    const DocumentSession& session = m_viewer.session();
    if (m_viewer.widgets().editor->document().imagePath().isEmpty())
        return QCoreApplication::translate("ktdv::UndoRedo", "No document is open.");
    if (session.pdf())
        return DocumentSession::pdfReadOnlyReason();
    if (!session.tiff())
        return QCoreApplication::translate(
            "ktdv::UndoRedo",
            "Undo and redo are not available: the document has no TIFF pages to change.");
    if (session.readOnly())
        return QCoreApplication::translate(
            "ktdv::UndoRedo", "Undo and redo are not available: the document is read-only.");
    return {};
}

void UndoRedo::refreshActions() {
    const QString undoName = m_history->undoName();
    const QString redoName = m_history->redoName();
    const QString reason = unavailableReason();
    const auto set = [&reason](QAction* action, const QString& verb, const QString& named,
                               const QString& name, const QString& nothing) {
        action->setText(name.isEmpty() ? verb : named.arg(name));
        action->setEnabled(reason.isEmpty() && !name.isEmpty());
        action->setToolTip(!reason.isEmpty() ? reason : name.isEmpty() ? nothing : action->text());
    };
    set(m_undo, QCoreApplication::translate("ktdv::UndoRedo", "Undo"),
        QCoreApplication::translate("ktdv::UndoRedo", "Undo %1"), undoName,
        QCoreApplication::translate("ktdv::UndoRedo", "Nothing to undo."));
    set(m_redo, QCoreApplication::translate("ktdv::UndoRedo", "Redo"),
        QCoreApplication::translate("ktdv::UndoRedo", "Redo %1"), redoName,
        QCoreApplication::translate("ktdv::UndoRedo", "Nothing to redo."));
}

void UndoRedo::undo() {
    run(true);
}

void UndoRedo::redo() {
    run(false);
}

void UndoRedo::run(bool undoing) {
    ImageEditor& editor = *m_viewer.widgets().editor;
    if (editor.document().busy())
        return;  // the text of a new frame is being typed
    // A turned page is saved first, as whenever the user leaves it.
    m_viewer.session().leavePage();
    refreshActions();
    if (!(undoing ? m_undo : m_redo)->isEnabled())
        return;
    const QString path = editor.document().imagePath();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const imaging::EditHistory::Outcome outcome = imaging::runHoldingInput(
        [history = m_history, undoing] { return undoing ? history->undo() : history->redo(); });
    QGuiApplication::restoreOverrideCursor();
    if (outcome.changedOutside) {
        m_viewer.prompts().message(
            &m_viewer,
            undoing ? QCoreApplication::translate(
                          "ktdv::UndoRedo",
                          "Undo is not possible: the document was changed by another program "
                          "since its last change here. Its earlier changes can no longer be "
                          "undone or redone.")
                    : QCoreApplication::translate(
                          "ktdv::UndoRedo",
                          "Redo is not possible: the document was changed by another program "
                          "since its last change here. Its earlier changes can no longer be "
                          "undone or redone."));
    } else if (!outcome.ok) {
        m_viewer.prompts().message(
            &m_viewer, (undoing ? QCoreApplication::translate("ktdv::UndoRedo",
                                                              "The change could not be undone: %1")
                                : QCoreApplication::translate("ktdv::UndoRedo",
                                                              "The change could not be redone: %1"))
                           .arg(outcome.error));
    }
    // Whatever happened, the view, the thumbnails and the tabs show the file as it is.
    imaging::PageCache::shared().removeFile(path);
    const int shown = editor.document().pageIndex();
    m_viewer.thumbnails().showRewrittenDocument(outcome.ok ? outcome.page : shown);
    editor.pointer().clearRubberBand();
    refreshActions();
}

}  // namespace ktdv
