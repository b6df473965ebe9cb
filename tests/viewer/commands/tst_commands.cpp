// Main toolbar, toolbar state, zoom, navigation, go-to-page, page ranges, splitter,
// printing and the annotation toolbar's switches, on recording doubles.
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QToolBar>
#include <QtTest>

#include "platform/twips.h"
#include "support/viewerharness.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {

// Enabled states of toolbar positions first..last as 0/1 text.
QString states(Toolbar& t, int first, int last) {
    QString s;
    for (int pos = first; pos <= last; ++pos)
        s += t.enabled(pos) ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

}  // namespace

class TestCommands : public QObject {
    Q_OBJECT
private slots:
    void toolbarState_data() {
        // main: positions 1 to 30; tools: annotation positions 6 to 15
        columns<bool, bool, int, QString, QString>("enable", "excludeNav", "permission", "main",
                                                   "tools");

        // Navigation (20 to 23) starts as "1010" to show what excludeNav keeps.
        addRow("disable all", false, false, 24, "100000000000000000000001101111", "0000000000");
        addRow("disable, navigation kept", false, true, 24, "100000000000000000010101101111",
               "0000000000");
        addRow("enable, all permissions", true, false, 24, "111111111111111111111111101111",
               "1111111111");
        addRow("enable, permission 0", true, false, 0, "111111111111111000111111101111",
               "0000000000");
        addRow("enable, permission 8", true, true, 8, "111111111111111111010101101111",
               "0000000000");
        addRow("enable, permission 16", true, true, 16, "111111111111111000010101101111",
               "1111111111");
    }
    void toolbarState() {
        auto [enable, excludeNav, permission, main, tools] =
            fetch<bool, bool, int, QString, QString>("enable", "excludeNav", "permission", "main",
                                                     "tools");
        ViewerHarness h;
        h.viewer->setUserPermission(permission);
        for (int pos = 20; pos <= 23; ++pos)
            h.main().setEnabled(pos, pos % 2 == 0);
        h.main().setEnabled(26, false);
        h.viewer->SetToolbarState(enable, excludeNav);
        QCOMPARE(states(h.main(), 1, 30), main);
        QCOMPARE(states(h.ocr(), 6, 15), tools);
        QCOMPARE(states(h.ocr(), 1, 4), QStringLiteral("0011"));
    }

    void preamble_data() {
        // document: "" = none; toolCalls: setTool and zoom calls, in order
        columns<QString, QString, int, int, int, QStringList, bool>(
            "document", "key", "scrollBefore", "scrollAfter", "selectAfter", "toolCalls",
            "toolsReleased");

        addRow("ZoomIn while scrolling returns to select first", "a.tif", "ZoomIn", 1, 0, 1,
               QStringList{"setTool(Default)", "setZoomFactor(IN)"}, true);
        addRow("Scroll pressed", "a.tif", "Scroll", 1, 1, 0, QStringList{"setTool(Scroll)"}, true);
        addRow("Scroll released by the click still scrolls", "a.tif", "Scroll", 0, 0, 0,
               QStringList{"setTool(Scroll)"}, true);
        addRow("Scroll without a document does nothing", "", "Scroll", 1, 1, 1, QStringList(),
               false);
        addRow("jpeg keeps annotation tools", "a.jpg", "FitWidth", 0, 0, 1,
               QStringList{"setTool(Default)"}, false);
    }
    void preamble() {
        auto [document, key, scrollBefore, scrollAfter, selectAfter, toolCalls, toolsReleased] =
            fetch<QString, QString, int, int, int, QStringList, bool>(
                "document", "key", "scrollBefore", "scrollAfter", "selectAfter", "toolCalls",
                "toolsReleased");

        ViewerHarness h;
        h.viewer->setUserPermission(24);
        if (!document.isEmpty())
            h.load(h.document(document, 3));
        h.main().setValue("Scroll", scrollBefore);
        h.main().setValue("Select", 1);
        h.ocr().setEnabled("Rectangle", true);
        h.ocr().setValue("Rectangle", 1);
        h.ocr().setEnabled("GoToPage", true);
        h.ocr().setValue("GoToPage", 1);
        h.viewer->fraGoto->show();
        h.editor().calls.clear();

        h.viewer->MainToolbar_ButtonClick(key);

        QCOMPARE(h.main().value("Scroll"), scrollAfter);
        QCOMPARE(h.main().value("Select"), selectAfter);
        QCOMPARE(only(h.editor().calls, {"setTool", "setZoomFactor"}), toolCalls);
        QCOMPARE(h.ocr().value("Rectangle"), toolsReleased ? 0 : 1);
        QCOMPARE(h.ocr().value("GoToPage"), 0);
        QVERIFY(h.viewer->fraGoto->isHidden());
    }

    void tail_data() {
        columns<QString, QString, int, QString, bool, QStringList>(
            "document", "attributes", "permission", "key", "selectEnabled", "calls");

        addRow("rotate left disables the annotation select tool", "a.tif", "A", 24, "Rotate90Left",
               false, QStringList{"rotateLeft", "refresh", "updateLayout", "syncView"});
        addRow("flip keeps the page size", "a.tif", "A", 24, "Flip", false,
               QStringList{"flip", "refresh"});
        addRow("other command re-enables select", "a.tif", "A", 24, "Select", true, QStringList());
        addRow("read-only file: select stays off", "a.tif", "R", 24, "Select", false,
               QStringList());
        addRow("no annotate permission", "a.tif", "A", 8, "Select", false, QStringList());
        addRow("jpeg", "a.jpg", "A", 24, "Select", false, QStringList());
    }
    void tail() {
        auto [document, attributes, permission, key, selectEnabled, calls] =
            fetch<QString, QString, int, QString, bool, QStringList>(
                "document", "attributes", "permission", "key", "selectEnabled", "calls");
        ViewerHarness h;
        h.viewer->setUserPermission(permission);
        h.load(h.document(document, 2, attributes));
        h.ocr().setEnabled("Select", false);
        h.ocr().setValue("Select", 1);
        h.editor().calls.clear();
        h.viewer->MainToolbar_ButtonClick(key);
        QCOMPARE(h.ocr().enabled("Select"), selectEnabled);
        const bool turned = !calls.isEmpty();
        QCOMPARE(h.viewer->bPageModified, turned);
        if (turned)
            QCOMPARE(h.ocr().value("Select"), 0);
        QCOMPARE(only(h.editor().calls, {"rotate", "flip", "refresh", "updateLayout", "syncView"}),
                 calls);
    }

    void errorReport_data() {
        columns<QString, QString, QStringList>("key", "throwOn", "messages");
        addRow("failing rotation is reported, tail skipped", "Rotate90Left", "rotateLeft",
               QStringList{"MainToolbar Error(5) - Invalid procedure call or argument"});
        addRow("failing print is not reported", "Print", "printDocument", QStringList());
        addRow("non-numeric zoom answer", "ZoomIn", "",
               QStringList{"MainToolbar Error(13) - Type mismatch"});
    }
    void errorReport() {
        auto [key, throwOn, messages] =
            fetch<QString, QString, QStringList>("key", "throwOn", "messages");
        ViewerHarness h;
        h.viewer->setUserPermission(24);
        h.load(h.document("a.tif", 2));
        h.ocr().setEnabled("Select", false);
        h.editor().throwOn = throwOn;
        if (throwOn.isEmpty())
            h.editor().zoomFactorAnswer = "abc";
        const qsizetype loads = only(h.editor().calls, {"setImagePath"}).size();
        h.viewer->MainToolbar_ButtonClick(key);
        QCOMPARE(h.prompts().messages, messages);
        QVERIFY(!h.ocr().enabled("Select"));                               // the tail did not run
        QCOMPARE(only(h.editor().calls, {"setImagePath"}).size(), loads);  // nor a reload
    }

    void viewModes_data() {
        // bThumbs: afterwards; "" = never written
        columns<QString, QString, QString, bool, QStringList>("document", "key", "bThumbs",
                                                              "paneShown", "thumbCalls");
        addRow("page only, no document", "", "ShowImage", "False", false, QStringList());
        addRow("both on a TIFF", "a.tif", "ShowBoth", "True", true,
               QStringList{"clearThumbnails", "redraw", "loadDocument"});
        addRow("both on a jpeg only hides the pane", "a.jpg", "ShowBoth", "", false, QStringList());
        addRow("both without a document", "", "ShowBoth", "", true, QStringList());
    }
    void viewModes() {
        auto [document, key, bThumbs, paneShown, thumbCalls] =
            fetch<QString, QString, QString, bool, QStringList>("document", "key", "bThumbs",
                                                                "paneShown", "thumbCalls");
        ViewerHarness h;
        QString path;
        if (!document.isEmpty()) {
            path = h.document(document, 3);
            h.load(path);
        }
        h.viewer->ctlKTImgThumbs1->widget()->show();
        h.viewer->MainToolbar_ButtonClick(key);
        QCOMPARE(h.settings().contains("bThumbs"), !bThumbs.isEmpty());
        if (!bThumbs.isEmpty())
            QCOMPARE(h.settings().value("bThumbs"), bThumbs);
        QCOMPARE(!h.viewer->ctlKTImgThumbs1->widget()->isHidden(), paneShown);
        QStringList head = h.thumbs().calls.mid(0, thumbCalls.size());
        if (!thumbCalls.isEmpty())
            thumbCalls.last() += "(" + path + ")";
        QCOMPARE(head, thumbCalls);
        if (key == "ShowBoth" && paneShown && !document.isEmpty()) {
            QVERIFY(!h.viewer->tabPages->isHidden());
            QVERIFY(!h.viewer->btnSplitter->isHidden());
        }
    }

    void zoom_data() {
        columns<bool, QString, QStringList, QString>("document", "key", "calls", "panel");
        addRow("zoom in", true, "ZoomIn",
               QStringList{"setZoomFactor(IN)", "refresh", "updateLayout", "syncView"}, "125 %");
        addRow("zoom out", true, "ZoomOut",
               QStringList{"setZoomFactor(OUT)", "refresh", "updateLayout", "syncView"}, "75 %");
        addRow("fit width", true, "FitWidth",
               QStringList{"fitWidth", "updateLayout", "refresh", "syncView"}, "Fit Width");
        addRow("fit height", true, "FitHeight",
               QStringList{"fitHeight", "updateLayout", "refresh", "syncView"}, "Fit Height");
        addRow("actual size", true, "OneToOne",
               QStringList{"zoomTo(IN,100)", "refresh", "updateLayout", "syncView"}, "100 %");
        addRow("zoom in without a document", false, "ZoomIn", QStringList{"setZoomFactor(IN)"},
               "ZoomFactor");
        addRow("fit width without a document", false, "FitWidth", QStringList(), "ZoomFactor");
    }
    void zoom() {
        auto [document, key, calls, panel] =
            fetch<bool, QString, QStringList, QString>("document", "key", "calls", "panel");
        ViewerHarness h;
        if (document)
            h.load(h.document("a.tif", 2));
        h.editor().calls.clear();
        h.viewer->MainToolbar_ButtonClick(key);
        QCOMPARE(only(h.editor().calls,
                      {"setZoomFactor", "zoomTo", "fit", "refresh", "updateLayout", "syncView"}),
                 calls);
        QCOMPARE(h.panel("ZoomFactor"), panel);
    }

    void defaultZoom_data() {
        // step: stored "gStepInOut"; "" = absent; unreadable text counts as absent
        columns<QString, QString, QString>("step", "zoomCall", "panel");
        addRow("absent: 100", "", "zoomTo(IN,100)", "100 %");
        addRow("step 1", "1", "zoomTo(IN,25)", "25 %");
        addRow("step 6", "6", "zoomTo(IN,100)", "100 %");
        addRow("step 11", "11", "zoomTo(IN,225)", "225 %");
        addRow("step 12", "12", "fitWidth", "Fit Width");
        addRow("step 13", "13", "fitHeight", "Fit Height");
        addRow("step 14", "14", "", "before");
        addRow("step 0", "0", "", "before");
        addRow("step -1", "-1", "", "before");
        addRow("not a number: 100", "abc", "zoomTo(IN,100)", "100 %");
    }
    void defaultZoom() {
        QFETCH(QString, step);
        QFETCH(QString, zoomCall);
        QFETCH(QString, panel);
        ViewerHarness h([&](ViewerHarness& t) {
            if (!step.isEmpty())
                t.settings().setValue("gStepInOut", step);
        });
        h.viewer->StatusBar->setText("ZoomFactor", "before");
        h.load(h.document("a.tif", 2));
        QStringList expected;
        if (!zoomCall.isEmpty())
            expected << zoomCall;
        expected += QStringList{"updateLayout", "refresh", "syncView"};
        if (zoomCall.startsWith("zoomTo"))
            expected << "setZoomPercent(" + zoomCall.section(',', 1).chopped(1) + ")";
        QCOMPARE(only(h.editor().calls,
                      {"zoomTo", "fit", "updateLayout", "refresh", "syncView", "setZoomPercent"}),
                 expected);
        QCOMPARE(h.panel("ZoomFactor"), panel);
        QCOMPARE(h.prompts().messages, QStringList());
    }

    void navigation_data() {
        // pages: 0 = no document; nav: FirstPage PreviousPage NextPage LastPage
        columns<int, int, QString, int, QString>("pages", "page", "key", "target", "nav");

        addRow("next from the first", 12, 0, "NextPage", 1, "1111");
        addRow("next on the last", 12, 11, "NextPage", 11, "1100");
        addRow("previous to the first", 12, 1, "PreviousPage", 0, "0011");
        addRow("last", 12, 3, "LastPage", 11, "1100");
        addRow("first", 12, 5, "FirstPage", 0, "0011");
        addRow("only page: first rule wins", 1, 0, "NextPage", 0, "0011");
        addRow("no document", 0, 0, "NextPage", 0, "0011");
    }
    void navigation() {
        auto [pages, page, key, target, nav] =
            fetch<int, int, QString, int, QString>("pages", "page", "key", "target", "nav");
        ViewerHarness h;
        h.viewer->setUserPermission(24);
        h.viewer->ArrangePanes();
        if (pages > 0)
            h.load(h.document("a.tif", pages), page);
        h.ocr().setEnabled("GoToPage", true);
        h.ocr().setValue("GoToPage", 1);
        h.viewer->fraGoto->show();
        h.viewer->bPageModified = true;
        h.viewer->MainToolbar_ButtonClick(key);

        QCOMPARE(h.editor().pageIndex(), target);
        QCOMPARE(h.mainStates({"FirstPage", "PreviousPage", "NextPage", "LastPage"}), nav);
        QVERIFY(h.viewer->fraGoto->isHidden());
        QCOMPARE(h.ocr().value("GoToPage"), 0);
        // Only a navigation with a document clears the turned-page flag.
        QCOMPARE(h.viewer->bPageModified, pages == 0);
        if (pages > 0) {
            QCOMPARE(h.panel("PageNumber"), QString("%1 of %2").arg(target + 1).arg(pages));
        } else {
            QVERIFY(!h.ocr().enabled("GoToPage"));
            QCOMPARE(h.viewer->fraGoto->y(), h.viewer->OcrToolbar->widget()->y() + 1400);
            QCOMPARE(h.mainStates({"Print", "ZoomIn", "Rotate90Right", "Open"}),
                     QStringLiteral("0001"));
        }
    }

    void goToPageBox_data() {
        columns<bool, int, QString, bool, QString>("hScroll", "offset", "typed", "accepted",
                                                   "textAfter");
        addRow("page 5", false, 76, "5", true, "5");
        addRow("the page count loads the last page", true, 92, "12", true, "12");
        addRow("zero is replaced by the page count", false, 76, "0", false, "12");
        addRow("empty", false, 76, "", false, "12");
    }
    void goToPageBox() {
        auto [hScroll, offset, typed, accepted, textAfter] =
            fetch<bool, int, QString, bool, QString>("hScroll", "offset", "typed", "accepted",
                                                     "textAfter");
        ViewerHarness h;
        ViewerControl& v = *h.viewer;
        v.ArrangePanes();
        h.load(h.document("a.tif", 12), 2);
        h.editor().horizontalScrollBar = hScroll;
        const int top = v.OcrToolbar->widget()->y();

        h.ocr().setValue("GoToPage", 1);
        v.OcrToolbar_ButtonClick("GoToPage");
        QVERIFY(!v.fraGoto->isHidden());
        QCOMPARE(v.fraGoto->y(), top - offset);
        QCOMPARE(v.tboxPageNumber->text(), QStringLiteral("3"));
        QCOMPARE(v.tboxPageNumber->maxLength(), 9);
        QCOMPARE(v.vsPages->maximum(), 12);
        QCOMPARE(v.vsPages->value(), 3);
        QCOMPARE(moduleState().gGotoPageCount, 12);

        v.tboxPageNumber->setText(typed);
        v.btnFind_Click();
        QCOMPARE(v.tboxPageNumber->text(), textAfter);
        if (accepted) {
            QCOMPARE(h.editor().pageIndex(), typed.toInt() - 1);
            QCOMPARE(h.panel("PageNumber"), typed + " of 12");
            QCOMPARE(v.vsPages->value(), typed.toInt());
            QVERIFY(!v.fraGoto->isHidden());
        } else {
            QCOMPARE(h.editor().pageIndex(), 2);
            QCOMPARE(v.tboxPageNumber->selectedText(), textAfter);
        }

        h.ocr().setValue("GoToPage", 0);
        v.OcrToolbar_ButtonClick("GoToPage");
        QVERIFY(v.fraGoto->isHidden());
        QCOMPARE(v.fraGoto->y(), top + offset);
    }

    void goToPageTyping_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        addRow("signs and letters are dropped", "1-2+3.a4 ", "1234");
        addRow("backspace works", "12\b3", "13");
        addRow("nine digits at most", "12345678901", "123456789");
    }
    void goToPageTyping() {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        ViewerHarness h;
        ViewerControl& v = *h.viewer;
        h.load(h.document("a.tif", 12));
        h.ocr().setValue("GoToPage", 1);
        v.OcrToolbar_ButtonClick("GoToPage");
        v.tboxPageNumber->clear();
        for (const QChar c : keys) {
            const int key = c == '\b' ? int(Qt::Key_Backspace) : int(c.toUpper().unicode());
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
            QApplication::sendEvent(v.tboxPageNumber, &press);
        }
        QCOMPARE(v.tboxPageNumber->text(), text);

        // A right-click empties the clipboard, so nothing but digits can be pasted.
        QApplication::clipboard()->setText("not a number");
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), b, b,
                              Qt::NoModifier);
            QApplication::sendEvent(v.tboxPageNumber, &press);
            QCOMPARE(QApplication::clipboard()->text().isEmpty(), b == Qt::RightButton);
        }
    }

    void pageRanges_data() {
        // first: pages of a first document; 0 = none
        columns<int, int, QStringList>("first", "pages", "captions");
        const QStringList one{"1...50"};
        addRow("0 pages", 0, 0, one);
        addRow("50 pages", 0, 50, one);
        addRow("120 pages", 0, 120, QStringList{"1...50", "51...100", "101...150"});
        addRow("30 pages after 120", 120, 30, one);
    }
    void pageRanges() {
        auto [first, pages, captions] = fetch<int, int, QStringList>("first", "pages", "captions");
        ViewerHarness h([](ViewerHarness& t) { t.settings().writeBool("bThumbs", true); });
        ViewerControl& v = *h.viewer;
        if (first > 0) {
            v.OpenImage(h.document("long.tif", first));
            v.tabPages->setCurrentIndex(v.tabPages->count() - 1);
        }
        if (pages > 0) {
            v.OpenImage(h.document("doc.tif", pages));
        } else {
            v.ResetPageRanges();
            v.BuildPageRanges();
        }
        QCOMPARE(h.tabs(), captions);
        QVERIFY(!v.bTabsRebuilding);

        if (captions.size() < 2)
            return;
        // A click on the second range shows its thumbnails and loads its first page.
        h.thumbs().calls.clear();
        h.thumbs().selected = 0;
        v.tabPages->setCurrentIndex(1);
        QCOMPARE(v.RangeStart, 50);
        QCOMPARE(h.thumbs().calls.mid(0, 4), QStringList({"setFirstPage(50)", "clearThumbnails",
                                                          "reloadThumbnails", "redraw"}));
        QCOMPARE(h.editor().pageIndex(), 50);
        QCOMPARE(h.panel("PageNumber"), QString("51 of %1").arg(pages));
        QCOMPARE(v.VScroll1->value(), 1);
    }

    void splitter_data() {
        // over: where the pointer moves after the release; moves: x of each move (pane: pixels;
        // page: pixels); splitter: left edge afterwards
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
        v.ctlKTImgThumbs1->widget()->show();
        v.btnSplitter->show();
        v.ArrangePanes();
        const double tpp = twips::perPixelX();

        // Hovering shows the resize pointer; the background restores the old one.
        v.setMousePointer(2);
        v.btnSplitter_MouseMove(0, 0, 0, 0);
        QCOMPARE(v.mousePointer(), qint16(9));
        QCOMPARE(v.cursor().shape(), Qt::SizeHorCursor);
        v.UserControl_MouseMove();
        QCOMPARE(v.mousePointer(), qint16(2));

        v.btnSplitter_MouseDown(2, 0, 0, 0);
        QVERIFY(!moduleState().gSplitterDrag);
        QVERIFY(v.pBoxDrag->isHidden());
        v.btnSplitter_MouseDown(1, 0, 0, 0);
        QVERIFY(moduleState().gSplitterDrag);
        QVERIFY(!v.pBoxDrag->isHidden());
        v.btnSplitter_MouseMove(1, 0, static_cast<float>(40 * tpp), 0);
        QCOMPARE(v.pBoxDrag->x(), 156 + 40);
        QCOMPARE(v.btnSplitter->x(), 156);
        v.btnSplitter_MouseUp(1, 0, 0, 0);
        QVERIFY(v.pBoxDrag->isHidden());
        QVERIFY(moduleState().gSplitterDrag);

        for (int x : moves) {
            int button = 0, shift = 0;
            float fy = 10;
            if (over == "thumbs") {
                float fx = static_cast<float>(x);
                v.ctlKTImgThumbs1_MouseMove(button, shift, fx, fy);
            } else {
                float fx = static_cast<float>(x * tpp);
                v.ctlKTImgEdit1_MouseMove(button, shift, fx, fy);
            }
        }
        QCOMPARE(v.btnSplitter->x(), splitter);
        QCOMPARE(moduleState().gSplitterDrag, pending);
        if (!pending)
            QCOMPARE(v.tabPages->width(), splitter);  // re-laid with the new position
    }

    void print_data() {
        // printed: "" = nothing printed
        columns<bool, bool, int, bool, QString, QString>(
            "document", "switchEnabled", "switchClicks", "busy", "printer", "printed");
        addRow("with annotations", true, true, 0, false, "Ready", "true");
        addRow("switch off", true, true, 1, false, "Ready", "false");
        addRow("switch disabled", true, false, 0, false, "Ready", "false");
        addRow("editor busy", true, true, 0, true, "Ready", "");
        addRow("printer busy", true, true, 0, false, "Busy", "");
        addRow("no document", false, true, 0, false, "Ready", "");
    }
    void print() {
        auto [document, switchEnabled, switchClicks, busy, printer, printed] =
            fetch<bool, bool, int, bool, QString, QString>(
                "document", "switchEnabled", "switchClicks", "busy", "printer", "printed");
        ViewerHarness h;
        h.factory->printer->answer = printer;
        if (document)
            h.load(h.document("a.tif", 3), 1);
        h.ocr().setEnabled(2, true);
        for (int i = 0; i < switchClicks; ++i)
            h.viewer->OcrToolbar_ButtonClick("PrintAnnotations");
        QCOMPARE(h.ocr().image(2), switchClicks % 2 ? 13 : 12);
        h.ocr().setEnabled(2, switchEnabled);
        h.editor().isBusy = busy;
        h.editor().calls.clear();
        h.viewer->MainToolbar_ButtonClick("Print");
        const QStringList prints = only(h.editor().calls, {"printDocument"});
        QCOMPARE(prints,
                 printed.isEmpty() ? QStringList() : QStringList{"printDocument(" + printed + ")"});
        // After printing the same page is loaded again.
        QCOMPARE(h.editor().calls.contains("setPageIndex(1)"), !printed.isEmpty());
    }

    void annotationTools_data() {
        // pressed: values of positions 6, 8, 10, 12, 15; tool: the editor's tool afterwards
        columns<QStringList, QString, QString>("clicks", "pressed", "tool");
        addRow("rectangle", QStringList{"Rectangle"}, "01000", "default");
        addRow("stamp after rectangle", QStringList{"Rectangle", "Stamp"}, "00001", "stamp");
        addRow("second click releases", QStringList{"Text", "Text"}, "00000", "default");
        addRow("select then highlight", QStringList{"Select", "Highlight"}, "00100", "default");
    }
    void annotationTools() {
        auto [clicks, pressed, tool] =
            fetch<QStringList, QString, QString>("clicks", "pressed", "tool");
        ViewerHarness h;
        h.viewer->setUserPermission(24);
        h.load(h.document("a.tif", 2));
        h.main().setValue("Scroll", 1);
        h.main().setValue("Select", 0);
        for (const QString& key : clicks) {
            // The toolbar toggles a check button before its handler runs.
            h.ocr().setValue(key, h.ocr().value(key) ? 0 : 1);
            h.viewer->OcrToolbar_ButtonClick(key);
        }
        QString values;
        for (int pos : {6, 8, 10, 12, 15})
            values += QString::number(h.ocr().value(pos));
        QCOMPARE(values, pressed);
        QCOMPARE(h.editor().tool(), tool);
        QCOMPARE(h.main().value("Scroll"), 0);
        QCOMPARE(h.main().value("Select"), 1);

        // While the editor is busy a click only flips the button back.
        h.editor().isBusy = true;
        h.ocr().setValue("Rectangle", 1);
        h.viewer->OcrToolbar_ButtonClick("Rectangle");
        QCOMPARE(h.ocr().value("Rectangle"), 0);
        QCOMPARE(h.editor().tool(), tool);
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
