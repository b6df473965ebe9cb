#pragma once
// State shared by every viewer on one UI thread: the current document path, the
// permission mask, the go-to-page values, the splitter drag, the drag rectangle of the
// page view, the delete confirmation and the progress counters. Each concern changes it
// through its own members only.

#include <QString>
#include <QtGlobal>

namespace ktdv {

// Bits of the permission mask.
inline constexpr int kMayRotate = 8;
inline constexpr int kMayAnnotate = 16;

// A drag over the page view, in twips relative to it.
struct DragRectangle {
    float anchorX = 0, anchorY = 0;  // where the button went down
    float endX = 0, endY = 0;        // where the drag ended
    bool dragged = false;            // the pointer left the anchor with the button held
};

class ViewerModuleState {
public:
    // The current document ("" when none) and the permission mask the host gave.
    const QString& imagePath() const { return m_imagePath; }
    void setImagePath(const QString& path) { m_imagePath = path; }
    qint32 userPermission() const { return m_userPermission; }
    void setUserPermission(qint32 mask) { m_userPermission = mask; }
    bool mayAnnotate() const { return (m_userPermission & kMayAnnotate) != 0; }

    // The go-to-page box: the page it starts from and the count it checks against.
    qint32 gotoPage() const { return m_gotoPage; }
    qint32 gotoPageCount() const { return m_gotoPageCount; }
    void setGotoPage(qint32 page) { m_gotoPage = page; }
    void setGotoPage(qint32 page, qint32 count) {
        m_gotoPage = page;
        m_gotoPageCount = count;
    }

    // The splitter: whether it is being dragged, and the pointer to restore after it.
    bool splitterDrag() const { return m_splitterDrag; }
    void setSplitterDrag(bool dragging) { m_splitterDrag = dragging; }
    qint16 savedPointer() const { return m_savedPointer; }
    void savePointer(qint16 pointer) { m_savedPointer = pointer; }

    // The drag rectangle: a press anchors it, a move away from the anchor marks it dragged
    // (and it stays so, even back on the anchor), a release ends it.
    const DragRectangle& drag() const { return m_drag; }
    void startDrag(float x, float y) { m_drag = {x, y, m_drag.endX, m_drag.endY, false}; }
    void dragTo(float x, float y) {
        if (x != m_drag.anchorX || y != m_drag.anchorY)
            m_drag.dragged = true;
    }
    void endDrag(float x, float y) {
        m_drag.endX = x;
        m_drag.endY = y;
    }

    // The answer of the delete confirmation window.
    bool deleteConfirmed() const { return m_deleteConfirmed; }
    void setDeleteConfirmed(bool yes) { m_deleteConfirmed = yes; }

    // Progress of a document conversion: one step per page.
    void startProgress(double step) {
        m_progressStep = step;
        m_progressPosition = 0.0;
    }
    double advanceProgress() { return m_progressPosition += m_progressStep; }

private:
    QString m_imagePath;
    qint32 m_userPermission = 0;
    qint32 m_gotoPage = 0;
    qint32 m_gotoPageCount = 0;
    bool m_splitterDrag = false;
    qint16 m_savedPointer = 0;
    DragRectangle m_drag;
    bool m_deleteConfirmed = false;
    double m_progressStep = 0;
    double m_progressPosition = 0;
};

// The calling thread's instance.
ViewerModuleState& moduleState();

}  // namespace ktdv
