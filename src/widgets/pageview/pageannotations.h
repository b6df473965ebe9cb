#pragma once
// The annotation editing of the page view: the shown page's annotations, read from the
// page's tag when first needed, the one chosen by the last range check and its hit
// rectangle, and adding, saving and removing. Records arrive in twips relative to the
// widget and are kept in pixels of the page as stored, so the view never changes what is
// stored. UI thread only.

#include <QList>
#include <QSizeF>
#include <QString>
#include <QTransform>

#include <array>
#include <functional>
#include <memory>

#include "imaging/annotationstore.h"
#include "imaging/pagecache.h"
#include "interfaces/annotationrecord.h"

namespace ktdv {

class SettingsStore;
namespace imaging {
class Document;
class EditHistory;
}  // namespace imaging
namespace settings {
struct Setting;
}

// What the annotations need of the page the view shows.
struct PageInView {
    const imaging::Document* doc = nullptr;  // null when no document is open
    QString path;
    int index = 0;
    bool hasImage = false;                    // a page is decoded and shown
    QSizeF size;                              // of the stored page, in pixels
    QSizeF dpi;                               // of the stored page
    QTransform toWidget;                      // stored page pixels to widget pixels
    double scale = 1;                         // screen pixels per page pixel
    imaging::EditHistory* history = nullptr;  // where changes are recorded; null: nowhere
};

// Writes a page's annotations with `write`, recorded as `name` ("Add Annotation") in the
// history when there is one.
imaging::WriteResult recordAnnotationChange(imaging::EditHistory* history, const QString& path,
                                            int page, const QString& name,
                                            const std::function<imaging::WriteResult()>& write);

class PageAnnotations {
public:
    explicit PageAnnotations(std::shared_ptr<SettingsStore> settings);

    // The page's annotations, unsaved additions included, and what reading them found.
    const QList<imaging::Annotation>& list(const PageInView& page) const;
    imaging::AnnotationStatus status(const PageInView& page) const;
    // Reads the page's annotations again; unsaved additions are dropped. False when they
    // could not be read.
    bool reload(const PageInView& page);

    // Adds the annotation the record describes, in memory until saved; styles come from the
    // settings. False, with nothing added, for a type that is not added, a page that cannot
    // take annotations or a place outside the page.
    bool add(const PageInView& page, const AnnotationRecord& record, bool highlight,
             imaging::Annotation* added);
    // Writes the list, less leaveOut when given, as the page's annotations; the file is not
    // touched when it holds them already, or when what the page holds could not be read
    // (refused).
    bool save(const PageInView& page, const imaging::Annotation* leaveOut = nullptr);
    // Removes the current annotation; the removal is written at once to what the file
    // holds, so additions not saved yet stay unsaved. *rewritten: the file changed.
    bool removeCurrent(const PageInView& page, bool* rewritten);
    // Makes the topmost annotation at (x, y), twips relative to the widget, the current one.
    bool rangeCheck(const PageInView& page, int x, int y);
    void forgetCurrent();
    // Left, top, right, bottom in twips relative to the widget, as the current annotation
    // was shown when it was found; all zero without one.
    std::array<qint32, 4> hitRect() const { return m_hitRect; }

    // The file was rewritten with only its tags changed: annotations read from oldDoc are
    // still those of newDoc.
    void followRewrite(const imaging::Document& oldDoc, const imaging::Document& newDoc, int page);
    // The text typed into a frame was stored; the shown copy of the frame takes it too.
    void setFrameText(const PageInView& page, const imaging::Annotation& frame,
                      const QString& text);
    // A frame whose text is being typed is shown, not stored, until the typing ends; it
    // goes again when it is left empty.
    void showUnstored(const PageInView& page, const imaging::Annotation& frame);
    void dropUnstored(const PageInView& page, const imaging::Annotation& frame);

private:
    void ensure(const PageInView& page) const;
    bool read(const PageInView& page) const;
    bool editable(const PageInView& page) const;
    qint32 settingOr(const settings::Setting& setting) const;

    std::shared_ptr<SettingsStore> m_settings;
    // Read when first needed, for the file and page in m_key.
    mutable QList<imaging::Annotation> m_list;
    mutable imaging::AnnotationStatus m_status = imaging::AnnotationStatus::Absent;
    mutable imaging::PageKey m_key;
    int m_current = -1;  // chosen by the last range check
    std::array<qint32, 4> m_hitRect{};
};

}  // namespace ktdv
