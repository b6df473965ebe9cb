#pragma once
// KTDocView: an embeddable document-viewer control.
//
//   auto* viewer = new ctlKTDocView(window);
//   viewer->setUserPermission(24);          // 8 = rotate and flip, 16 = annotate
//   viewer->OpenImage("/path/to/fax.tif");
//
// All members are called on the UI thread.

#include <QWidget>

#include <memory>

#if defined(KTDOCVIEW_BUILDING)
#define KTDOCVIEW_EXPORT __attribute__((visibility("default")))
#else
#define KTDOCVIEW_EXPORT
#endif

namespace ktdv {
class ViewerControl;
}

class KTDOCVIEW_EXPORT ctlKTDocView : public QWidget {
    Q_OBJECT
public:
    explicit ctlKTDocView(QWidget* parent = nullptr);
    ~ctlKTDocView() override;

    // Repaints the page.
    void Refresh();
    // Opens the document at strImagePath; a path with no file behind it is ignored.
    void OpenImage(const QString& strImagePath);
    // Closes the current document, saving a turned page when the settings ask for it.
    void CloseImage();
    // Permission bits: 8 = may rotate and flip pages, 16 = may annotate.
    void setUserPermission(qint32 lngUserPermission);

    // The control's implementation, for tests and tools built with the library's sources.
    ktdv::ViewerControl* control() const { return m_control; }

private:
    ktdv::ViewerControl* m_control;
};
