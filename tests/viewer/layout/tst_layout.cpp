// The splitter between thumbnails and page, dragged with the mouse, on recording doubles.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QtTest>

#include "platform/twips.h"
#include "support/viewerharness.h"
#include "viewer/layout/panelayout.h"

using namespace ktdv;
using namespace ktdv::test;

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void splitter_data() {
        // over: where the pointer moves after the release; moves: x of each move in pixels;
        // splitter: left edge afterwards
        columns<QString, QList<int>, int, bool>("over", "moves", "splitter", "pending");
        addRow("thumbnails at 250", "thumbs", QList<int>{250}, 250, false);
        addRow("thumbnails at 80: refused", "thumbs", QList<int>{80}, 156, true);
        addRow("page 60 to the right", "page", QList<int>{60}, 216, false);
        addRow("page too close to its right edge", "page", QList<int>{10000}, 156, true);
    }
    void splitter() {
        auto [over, moves, splitter, pending] =
            fetch<QString, QList<int>, int, bool>("over", "moves", "splitter", "pending");
        ViewerHarness h;
        ViewerControl& v = *h.viewer;
        PaneLayout& layout = v.layout();
        h.w().thumbs->widget()->show();
        h.w().btnSplitter->show();
        layout.ArrangePanes();
        const double tpp = twips::perPixelX();
        QPushButton* button = h.w().btnSplitter;
        QLabel* bar = h.w().pBoxDrag;

        const auto send = [](QWidget* w, QEvent::Type type, Qt::MouseButton b, int x = 2) {
            const Qt::MouseButtons held = type == QEvent::MouseMove ? Qt::MouseButtons(b) : b;
            QMouseEvent e(type, QPointF(x, 2), QPointF(x, 2),
                          type == QEvent::MouseMove ? Qt::NoButton : b, held, Qt::NoModifier);
            QApplication::sendEvent(w, &e);
        };
        // Hovering shows the resize pointer; the background restores the old one.
        layout.setMousePointer(2);
        layout.btnSplitter_MouseMove(0, 0, 0, 0);
        QCOMPARE(v.cursor().shape(), Qt::SizeHorCursor);
        send(&v, QEvent::MouseMove, Qt::NoButton);
        QCOMPARE(layout.mousePointer(), qint16(2));

        send(button, QEvent::MouseButtonPress, Qt::RightButton);
        QVERIFY(bar->isHidden());
        send(button, QEvent::MouseButtonPress, Qt::LeftButton);
        QVERIFY(!bar->isHidden());
        send(button, QEvent::MouseMove, Qt::LeftButton, 40);
        QCOMPARE(bar->x(), 156 + 40);
        QCOMPARE(button->x(), 156);
        send(button, QEvent::MouseButtonRelease, Qt::LeftButton);
        QVERIFY(bar->isHidden());

        for (int x : moves) {
            int b = 0, shift = 0;
            float fy = 10;
            float fx = over == "thumbs" ? static_cast<float>(x) : static_cast<float>(x * tpp);
            if (over == "thumbs")
                layout.ctlKTImgThumbs1_MouseMove(b, shift, fx, fy);
            else
                v.ctlKTImgEdit1_MouseMove(b, shift, fx, fy);
        }
        QCOMPARE(button->x(), splitter);
        QCOMPARE(ViewerControl::module().splitterDrag(), pending);
        if (!pending)
            QCOMPARE(h.w().tabPages->width(), splitter);  // re-laid with the new position
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
