#pragma once
// KTDocView: an embeddable document-viewer control.
//
//   auto* viewer = new ctlKTDocView(window);
//   viewer->setUserPermission(24);          // 8 = rotate and flip, 16 = annotate
//   viewer->OpenImage("/path/to/fax.tif");
//
// Every member is called on the UI thread (the thread of QApplication). No member throws:
// a failure inside the viewer is shown to the user in a message box, or, where a member says
// so, ignored. The control raises no signals of its own; the user works inside it.

#include <QWidget>

#include <ktdocview/version.h>

#if defined(KTDOCVIEW_BUILDING)
#define KTDOCVIEW_EXPORT __attribute__((visibility("default")))
#else
#define KTDOCVIEW_EXPORT
#endif

class QAction;

namespace ktdv {
class ViewerControl;
}

class KTDOCVIEW_EXPORT ctlKTDocView : public QWidget {
    Q_OBJECT
    // Permission bits, the same as setUserPermission(). The property exists to be written
    // (from a form, a script or QObject::setProperty); Qt needs a way to read a property, so
    // reading it gives back the last value written to this control, 0 before any.
    Q_PROPERTY(qint32 UserPermission READ lastUserPermission WRITE setUserPermission)
public:
    // Builds the viewer with its toolbars, page view and thumbnail pane, and reads the user's
    // viewer settings. Shows no document and writes nothing.
    explicit ctlKTDocView(QWidget* parent = nullptr);
    // Lets go of the open document without saving it. Writes nothing.
    ~ctlKTDocView() override;

    // Repaints the page shown, from memory. Never reads or writes a file and never blocks; a
    // failure is ignored.
    void Refresh();

    // Opens the document at strImagePath and shows its first page; with thumbnails switched on
    // in the settings, the thumbnail pane fills from background threads. An empty path or one
    // with no file behind it is ignored, silently. The first page is read and decoded on the
    // calling thread, so the call lasts as long as that takes; it never waits for the
    // thumbnails. A file that cannot be read is reported in a modal message box, which waits
    // for the user. Writes nothing to the document; it records in the user's viewer settings
    // whether the file is read-only. A turned page of the document shown before is saved
    // first, as CloseImage() saves it.
    void OpenImage(const QString& strImagePath);

    // Closes the document shown and clears the page view and thumbnails; nothing when none is
    // open. When the settings ask for turned pages to be saved, the document is writable and
    // the page shown was rotated or flipped, that page is first written into the document:
    // the file is replaced whole or left as it was, never half written. Asks no questions. The
    // document stays closed (a resize does not show it again) until one is opened.
    void CloseImage();

    // Permission bits: 8 = may rotate and flip pages, 16 = may annotate; other bits are kept
    // but unused. They hold for every viewer on the UI thread and are read when a document or
    // page is loaded, so set them before OpenImage(). Never blocks, writes nothing and cannot
    // fail.
    void setUserPermission(qint32 lngUserPermission);

    // Undo and Redo of the changes made to the document shown (pages deleted or moved, turned
    // pages saved, annotations added, changed or deleted), for the host's own menus and
    // toolbars; also found by object name ("actUndo", "actRedo"). Their text says what they
    // would do ("Undo Delete Page 4"); they are disabled, with a tooltip saying why, when
    // there is nothing to undo or redo or the document cannot be changed. Each undo or redo
    // is a safe write of the document; one that finds the file changed by another program
    // refuses, says so and forgets the earlier changes. The history lasts until the document
    // is closed or another one is opened. The control owns both actions.
    QAction* undoAction() const;
    QAction* redoAction() const;

    // The language of the viewer's texts (tooltips, menus, messages, dialogs). By default the
    // first viewer made installs the viewer's translation for the system locale
    // (QLocale::system(), from LANG and LANGUAGE on Unix) on the application, together with
    // Qt's own translation of that language for the buttons of standard dialogs; with no
    // translation for the locale the texts stay English. A viewer keeps the language it
    // was made with, so call these before creating one.
    //
    // setLanguage() installs the translation for code ("de", "de_DE"; "" for the system
    // locale) in place of the one installed before, and stamps take their dates in that
    // language; "en" gives the English texts. Returns false when there is no translation
    // for that language (the texts are then English).
    static bool setLanguage(const QString& code);
    // Off: the viewer installs no translation and removes the one it installed, for a host
    // that loads translations itself (the files are installed as
    // share/ktdocview/translations/ktdocview_<language>.qm). On by default.
    static void setAutomaticTranslation(bool on);

private:
    qint32 lastUserPermission() const { return m_userPermission; }

    ktdv::ViewerControl* m_control;
    qint32 m_userPermission = 0;
};
