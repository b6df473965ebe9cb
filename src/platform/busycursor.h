#pragma once
// The application's cursor shows work under way for as long as an object of this lives:
// the wait cursor while input waits (a file being rewritten), the busy cursor while the
// user can still act (a conversion that can be cancelled). UI thread only.

#include <QCursor>
#include <QGuiApplication>

namespace ktdv {

class BusyCursor {
public:
    explicit BusyCursor(Qt::CursorShape shape = Qt::WaitCursor) {
        QGuiApplication::setOverrideCursor(QCursor(shape));
    }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace ktdv
