#include "demowindow.h"

#include "ktdocview/ctlktdocview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QThread>
#include <QThreadPool>

DemoWindow::DemoWindow(QWidget* parent) : QMainWindow(parent), m_viewer(new ctlKTDocView(this)) {
    setWindowTitle(QStringLiteral("KTDocView"));
    m_viewer->setObjectName(QStringLiteral("ctlKTDocView1"));
    setCentralWidget(m_viewer);
}

bool DemoWindow::saveScreenshot(const QString& path, int timeoutMs) {
    // Decoding and thumbnails run on the global pool and report back through queued
    // signals: quiet means no pool work for a while and nothing left in the event queue.
    constexpr int kMinimumMs = 1000;
    constexpr int kQuietMs = 600;
    QElapsedTimer clock;
    clock.start();
    QElapsedTimer quiet;
    quiet.start();
    while (clock.elapsed() < timeoutMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        if (QThreadPool::globalInstance()->activeThreadCount() > 0) {
            quiet.restart();
        }
        if (clock.elapsed() >= kMinimumMs && quiet.elapsed() >= kQuietMs) {
            break;
        }
        QThread::msleep(10);
    }
    QApplication::processEvents();
    const QImage picture = grab().toImage();
    return !picture.isNull() && picture.save(path, "PNG");
}
