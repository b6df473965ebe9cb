// Placement of the panes in both view modes and the splitter between thumbnails and
// page, on recording doubles.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QToolBar>
#include <QtTest>

#include "platform/twips.h"
#include "support/viewerharness.h"
#include "viewer/layout/panelayout.h"

using namespace ktdv;
using namespace ktdv::test;

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void arrange_data() {
        // range: the pane's scroll range; small, large: the scroll bar's steps (0: hidden)
        columns<int, bool, int, int, int>("width", "thumbs", "range", "small", "large");
        addRow("page only", 800, false, 1, 0, 0);
        addRow("thumbnails that fit: no scroll bar", 800, true, 1, 0, 0);
        addRow("range 150: halves go to even", 800, true, 150, 2, 15);
    }
    void arrange() {
        auto [width, thumbs, range, small, large] =
            fetch<int, bool, int, int, int>("width", "thumbs", "range", "small", "large");
        ViewerHarness h({}, width, 600);
        const ViewerWidgets& v = h.w();
        h.thumbs().range = static_cast<qint16>(range);
        v.thumbs->widget()->setVisible(thumbs);
        h.viewer->layout().ArrangePanes();

        // The bottom row: annotation toolbar at the left, status bar beside it.
        const QToolBar* ocr = v.ocrToolbar->widget();
        QCOMPARE(ocr->geometry().bottomLeft(), QPoint(1, 599));
        QCOMPARE(v.statusBar->x(), ocr->width());
        // The page lies below the main toolbar, 4 pixels above the status bar, right of the
        // thumbnails, their scroll bar and the splitter; its width is the control's less 3
        // and less the thumbnails' (which the splitter is not counted in).
        const QWidget* page = v.editor->widget();
        QCOMPARE(page->y(), v.mainToolbar->widget()->height() + 3);
        QCOMPARE(page->geometry().bottom() + 5, v.statusBar->y());
        QCOMPARE(page->geometry().right(), thumbs ? width + 3 : width - 3);
        QCOMPARE(v.VScroll1->isVisibleTo(h.viewer.get()), small > 0);
        if (!thumbs) {
            QCOMPARE(page->x(), 1);
            return;
        }
        const QWidget* pane = v.thumbs->widget();
        const int scroll = small > 0 ? v.VScroll1->width() : 0;
        QCOMPARE(page->x(), pane->geometry().right() + 1 + scroll + v.btnSplitter->width());
        QCOMPARE(v.btnSplitter->x(), 156);  // the designed position; the layout never moves it
        QCOMPARE(v.tabPages->width(), 156);
        QCOMPARE(QPoint(v.VScroll1->singleStep(), v.VScroll1->pageStep()),
                 small > 0 ? QPoint(small, large) : QPoint(1, 10));
    }

    void belowMinimum_data() {
        columns<int, int, bool, bool>("width", "height", "bottomRow", "reload");
        addRow("99 wide: nothing", 99, 600, false, false);
        addRow("101 wide: everything", 101, 600, true, true);
    }

    void belowMinimum() {
        auto [width, height, bottomRow, reload] =
            fetch<int, int, bool, bool>("width", "height", "bottomRow", "reload");
        ViewerHarness h({}, width, height);
        const QString doc = h.document("a.tif", 2);
        h.load(doc, 1);
        h.editor().calls.clear();
        QWidget* ocr = h.ocr().widget();
        ocr->move(-50, -50);
        h.viewer->layout().ArrangePanes();
        QCOMPARE(ocr->y() == height - ocr->height(), bottomRow);
        QCOMPARE(h.editor().calls.contains("setPageIndex(1)"), reload);
        QCOMPARE(h.editor().calls.contains("setImagePath(" + doc + ")"), reload);
    }
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
        QCOMPARE(ViewerControl::module().gSplitterDrag, pending);
        if (!pending)
            QCOMPARE(h.w().tabPages->width(), splitter);  // re-laid with the new position
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
