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
        columns<int, bool, int, bool, int, int>("width", "thumbs", "range", "scrollShown", "small",
                                                "large");

        addRow("page only, 800", 800, false, 1, false, 0, 0);
        addRow("thumbnails that fit", 800, true, 1, false, 0, 0);
        addRow("range 150: halves go to even", 800, true, 150, true, 2, 15);
        addRow("range 105: 10.5 goes to 10", 1024, true, 105, true, 1, 10);
    }

    void arrange() {
        auto [width, thumbs, range, scrollShown, small, large] =
            fetch<int, bool, int, bool, int, int>("width", "thumbs", "range", "scrollShown",
                                                  "small", "large");

        const int H = 600;
        ViewerHarness h({}, width, H);
        const ViewerWidgets& v = h.w();
        h.thumbs().range = static_cast<qint16>(range);
        v.thumbs->widget()->setVisible(thumbs);
        h.viewer->layout().ArrangePanes();

        const QToolBar* ocr = v.ocrToolbar->widget();
        const int TB = v.mainToolbar->widget()->height();
        const int SB = v.statusBar->height();
        QCOMPARE(ocr->pos(), QPoint(1, H - ocr->height()));
        QCOMPARE(v.statusBar->pos(), QPoint(ocr->width(), ocr->y() - 1));
        QCOMPARE(v.statusBar->width(), width - ocr->width() - 5);

        const QWidget* page = v.editor->widget();
        QVERIFY(!page->isHidden());
        QCOMPARE(page->y(), TB + 3);
        QCOMPARE(page->height(), H - (TB + SB) - 7);
        const int S = v.btnSplitter->x();
        QCOMPARE(S, 156);  // the designed position; the layout never moves it
        const int vw = v.VScroll1->width();
        if (!thumbs) {
            QCOMPARE(page->x(), 1);
            QCOMPARE(page->width(), width - 3);
            QVERIFY(h.thumbs().calls.isEmpty());
            return;
        }
        const QWidget* pane = v.thumbs->widget();
        QCOMPARE(pane->x(), 1);
        QCOMPARE(pane->width(), S - vw);  // computed with the scroll bar even when it is hidden
        QCOMPARE(v.tabPages->width(), S);
        QCOMPARE(!v.VScroll1->isHidden(), scrollShown);
        QCOMPARE(v.VScroll1->maximum(), range);
        if (scrollShown) {
            QCOMPARE(v.VScroll1->singleStep(), small);
            QCOMPARE(v.VScroll1->pageStep(), large);
            QCOMPARE(page->x(), (S - vw) + 1 + vw + 6);
            QCOMPARE(page->width(), width - 3 - S);
        } else {
            QCOMPARE(page->x(), (S - vw) + 1 + 6);
            QCOMPARE(page->width(), width - 3 - (S - vw));
        }
        // The thumbnails were refreshed in the documented order before the reload.
        QCOMPARE(h.thumbs().calls.mid(0, 6),
                 QStringList({"reloadThumbnails", "redraw", "setScrollPosition(1)",
                              "setViewHeight(600)", "arrange(true)", "redraw"}));
    }

    void belowMinimum_data() {
        columns<int, int, bool, bool>("width", "height", "bottomRow", "reload");
        addRow("99 wide: nothing", 99, 600, false, false);
        addRow("100 wide: bottom row only", 100, 600, true, false);
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
        addRow("refused, then 150", "thumbs", QList<int>{80, 150}, 150, false);
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
