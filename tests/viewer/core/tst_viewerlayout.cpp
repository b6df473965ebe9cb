// Placement of the panes in both view modes, on recording doubles.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QToolBar>
#include <QtTest>

#include "support/viewerharness.h"

using namespace ktdv;
using namespace ktdv::test;

class TestViewerLayout : public QObject {
    Q_OBJECT
private slots:
    void arrange_data() {
        columns<int, bool, int, bool, int, int>("width", "thumbs", "range", "scrollShown", "small",
                                                "large");

        addRow("page only, 800", 800, false, 1, false, 0, 0);
        addRow("thumbnails that fit", 800, true, 1, false, 0, 0);
        addRow("range 150: halves go to even", 800, true, 150, true, 2, 15);
        addRow("range 105: 10.5 goes to 10", 1024, true, 105, true, 1, 10);
        addRow("range 1000", 1024, true, 1000, true, 10, 100);
    }

    void arrange() {
        auto [width, thumbs, range, scrollShown, small, large] =
            fetch<int, bool, int, bool, int, int>("width", "thumbs", "range", "scrollShown",
                                                  "small", "large");

        const int H = 600;
        ViewerHarness h({}, width, H);
        ViewerControl& v = *h.viewer;
        h.thumbs().range = static_cast<qint16>(range);
        v.ctlKTImgThumbs1->widget()->setVisible(thumbs);
        v.ArrangePanes();

        const QToolBar* ocr = v.OcrToolbar->widget();
        const int TB = v.MainToolbar->widget()->height();
        const int SB = v.StatusBar->height();
        QCOMPARE(ocr->pos(), QPoint(1, H - ocr->height()));
        QCOMPARE(v.StatusBar->pos(), QPoint(ocr->width(), ocr->y() - 1));
        const int sw = width - ocr->width() - 5;
        QCOMPARE(v.StatusBar->width(), sw);
        QCOMPARE(v.StatusBar->panelWidth("ImagePath"), static_cast<int>(sw * 0.4));
        for (const char* key : {"ZoomFactor", "PageNumber", "FileAttributes"})
            QCOMPARE(v.StatusBar->panelWidth(key), static_cast<int>(sw * 0.2));

        const QWidget* page = v.ctlKTImgEdit1->widget();
        QVERIFY(!page->isHidden());
        QCOMPARE(page->y(), TB + 3);
        QCOMPARE(page->height(), H - (TB + SB) - 7);
        const int S = v.btnSplitter->x();
        QCOMPARE(S, 156);  // the designed position; the layout never moves it
        QCOMPARE(v.btnSplitter->width(), 6);
        const int vw = v.VScroll1->width();
        if (!thumbs) {
            QCOMPARE(page->x(), 1);
            QCOMPARE(page->width(), width - 3);
            QVERIFY(h.thumbs().calls.isEmpty());
            return;
        }
        const QWidget* pane = v.ctlKTImgThumbs1->widget();
        QCOMPARE(pane->x(), 1);
        QCOMPARE(pane->width(), S - vw);  // computed with the scroll bar even when it is hidden
        QCOMPARE(v.tabPages->pos(), QPoint(1, TB));
        QCOMPARE(v.tabPages->width(), S);
        QCOMPARE(v.btnSplitter->y(), TB + 3);
        QCOMPARE(v.btnSplitter->height(), H - (TB + SB) - 7);
        QCOMPARE(v.pBoxDrag->y(), v.btnSplitter->y());
        QCOMPARE(v.pBoxDrag->height(), v.btnSplitter->height());
        QCOMPARE(v.VScroll1->x(), S - vw);
        QCOMPARE(v.VScroll1->y(), TB + v.tabPages->height() + 3);
        QCOMPARE(v.VScroll1->height(), H - (v.tabPages->height() + TB + SB) - 7);
        QCOMPARE(!v.VScroll1->isHidden(), scrollShown);
        QCOMPARE(v.VScroll1->minimum(), 1);
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
        QWidget* ocr = h.viewer->OcrToolbar->widget();
        ocr->move(-50, -50);
        h.viewer->ArrangePanes();
        QCOMPARE(ocr->y() == height - ocr->height(), bottomRow);
        QCOMPARE(h.editor().calls.contains("setPageIndex(1)"), reload);
        QCOMPARE(h.editor().calls.contains("setImagePath(" + doc + ")"), reload);
    }
};

QTEST_MAIN(TestViewerLayout)
#include "tst_viewerlayout.moc"
