#pragma once
// Annotation interaction on the page: drawing rectangles, highlights and text frames with
// the mouse, placing stamps, the style pop-ups of the annotation toolbar, the Properties
// pop-up, and the "Manage Annotation" pop-up with its confirmed deletion. Mouse positions
// are in twips. UI thread only.

#include <QString>
#include <QtGlobal>

#include <array>

class QAction;
class QDate;
class QDialog;
class QLocale;
class QMenu;

namespace ktdv {

struct AnnotationRecord;
class ViewerControl;

class AnnotationInteraction {
public:
    explicit AnnotationInteraction(ViewerControl& viewer);

    // Builds the pop-up menus and wires the annotation toolbar's right-button releases.
    void connectEvents();

    // The page view's mouse, in selection or scroll mode (annotations/annotationmouse.cpp).
    void pageMouseDown(int& button, int& shift, float& x, float& y);
    void pageMouseMove(int& button, int& shift, float& x, float& y);
    void pageMouseUp(int& button, int& shift, float& x, float& y);

    // A pressed "Rectangle" or "Stamp" button offers its kinds, the stored one checked.
    void offerStyles(const QString& key);
    // Stamp and rectangle kinds chosen from their pop-ups (annotations/stamps.cpp).
    void mnuStamp_Click(qint16& index);
    void mnuRect_Click(qint16& index);
    // The stamp text of a stamp kind on a date, as the locale writes "dd/MMM/yyyy".
    static QString StampText(qint16 stampType, const QDate& date, const QLocale& locale);

    // Releases over the annotation toolbar: other buttons than the left over Rectangle,
    // Highlight or Stamp offer "Properties", which opens that tool's style dialog.
    void OcrToolbar_MouseUp(qint16 button, qint16 shift, float& x, float& y);
    void mnuProperties_Click();

    // "Delete Annotation" asks for confirmation in frmMsgBox (annotations/annotationmenus.cpp).
    void mnuDelete_Click();
    void btnYes_Click();
    void btnNo_Click();
    // The confirmation while it is shown.
    QDialog* confirmWindow() const { return m_confirm; }

    QMenu* stampMenu() const { return m_stampMenu; }
    QMenu* rectangleMenu() const { return m_rectMenu; }

private:
    // The drag rectangle in whole twips.
    struct DragRect {
        qint32 left = 0, top = 0, right = 0, bottom = 0;
    };
    void finishAnnotation(float& x, float& y);
    DragRect dragRect() const;
    void addTextAnnotation();
    void addShapeAnnotation(qint16 annotationType, bool highlight);
    // After a successful add: the default zoom, the page's annotations saved, and in any
    // case the page reloaded as stored.
    void saveAddedAnnotation(bool added, AnnotationRecord& record);
    void clickAnnotation(float& x, float& y);
    void placeStamp(float& x, float& y);
    void showAnnotationMenu(float& x, float& y);

    ViewerControl& m_viewer;
    // Annotation colours, read from the settings at each press that starts a drag.
    qint32 m_rectFillColor = 0;
    qint32 m_rectBorderColor = 0;
    qint32 m_highlightColor = 0;
    // Key of the tool button last right-clicked ("Rectangle", "Highlight" or "Stamp").
    QString m_propertiesTool;
    QMenu* m_mainMenu = nullptr;
    QMenu* m_stampMenu = nullptr;
    std::array<QAction*, 5> m_stamps = {};  // indexed from 1
    QMenu* m_rectMenu = nullptr;
    std::array<QAction*, 3> m_rects = {};  // indexed from 1
    QMenu* m_propertiesMenu = nullptr;
    QDialog* m_confirm = nullptr;
};

}  // namespace ktdv
