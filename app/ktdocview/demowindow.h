#pragma once
// The demo host's main window: one viewer control filling it, as a host application
// would place it.

#include <QMainWindow>

class ctlKTDocView;

class DemoWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit DemoWindow(QWidget* parent = nullptr);
    ctlKTDocView* viewer() const { return m_viewer; }

    // Waits until the window is shown and background page work has gone quiet (at most
    // timeoutMs), then writes the window's picture to path. Returns false when the file
    // could not be written.
    bool saveScreenshot(const QString& path, int timeoutMs = 15000);

private:
    ctlKTDocView* m_viewer;
};
