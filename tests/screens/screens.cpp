// Takes screenshots of the control as a user sees it: the thumbnail pane scrolled at three
// window sizes, the go-to-page box, the annotation delete confirmation and the range tabs of
// a 1000-page document. Usage: ktdv_screens <folder> (on a real or virtual X display).
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <cstdio>

#include "support/fixtures.h"
#include "support/realfactory.h"
#include "viewer/annotations/confirmdeletedialog.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/toolbars/toolbar.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {

// Lets decoding and thumbnails finish and the window paint.
void settle() {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1500) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        if (QThreadPool::globalInstance()->activeThreadCount() == 0 && clock.elapsed() > 600)
            break;
        QThread::msleep(10);
    }
    QApplication::processEvents();
}

bool save(QWidget* widget, const QDir& out, const QString& name) {
    settle();
    const bool ok = widget->grab().save(out.filePath(name + ".png"), "PNG");
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(out.filePath(name + ".png")));
    return ok;
}

struct Shown {
    std::shared_ptr<RealFactory> factory = std::make_shared<RealFactory>();
    std::unique_ptr<ViewerControl> v;
    Shown(const QString& path, QSize size, bool thumbs) {
        factory->settings->writeBool("bThumbs", thumbs);
        v = std::make_unique<ViewerControl>(factory);
        v->resize(size);
        v->setUserPermission(24);
        v->show();
        settle();
        v->OpenImage(path);
    }
    const ViewerWidgets& w() const { return v->widgets(); }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QDir().mkpath(out.path());
    QTemporaryDir dir;
    TiffPage letter;
    letter.size = QSize(850, 1100);
    const QString fifty = writeTiff(dir.filePath("fifty.tif"), 50, letter);
    TiffPage tiny;
    tiny.size = QSize(40, 52);
    const QString thousand = writeTiff(dir.filePath("thousand.fax"), 1000, tiny);
    bool ok = !fifty.isEmpty() && !thousand.isEmpty();

    for (QSize size : {QSize(800, 600), QSize(1024, 768), QSize(1400, 1000)}) {
        Shown s(fifty, size, true);
        settle();
        QScrollBar* bar = s.w().VScroll1;
        bar->setSliderPosition(bar->minimum() + (bar->maximum() - bar->minimum()) * 2 / 3);
        bar->setValue(bar->sliderPosition());
        ok &= save(s.v.get(), out,
                   QStringLiteral("thumbs-scrolled-%1x%2").arg(size.width()).arg(size.height()));
    }
    {
        Shown s(fifty, QSize(800, 600), false);
        Toolbar& ocr = *s.w().ocrToolbar;
        QTest::mouseClick(ocr.buttonWidget(ocr.position("GoToPage")), Qt::LeftButton);
        ok &= save(s.v.get(), out, QStringLiteral("goto-box"));
        ok &= save(s.w().fraGoto, out, QStringLiteral("goto-box-close"));
        QDialog* confirm = annotations::createConfirmDeleteDialog(s.v.get());
        confirm->show();
        ok &= save(confirm, out, QStringLiteral("confirm-delete"));
        confirm->hide();
    }
    {
        Shown s(thousand, QSize(1024, 768), true);
        ok &= save(s.v.get(), out, QStringLiteral("tabs-1000-pages"));
    }
    return ok ? 0 : 1;
}
