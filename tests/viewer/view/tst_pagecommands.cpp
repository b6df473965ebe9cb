// Zoom, the default zoom of every load, and printing, on recording doubles.
#include <QtTest>

#include "support/viewerharness.h"

using namespace ktdv;
using namespace ktdv::test;

class TestPageCommands : public QObject {
    Q_OBJECT
private slots:
    void zoom_data() {
        columns<bool, QString, QStringList, QString>("document", "key", "calls", "panel");
        addRow("zoom in", true, "ZoomIn",
               QStringList{"setZoomFactor(IN)", "refresh", "updateLayout", "syncView"}, "125 %");
        addRow("fit width", true, "FitWidth",
               QStringList{"fitWidth", "updateLayout", "refresh", "syncView"}, "Fit Width");
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
        // step: stored "gStepInOut"; "" = absent
        columns<QString, QString, QString>("step", "zoomCall", "panel");
        addRow("absent: 100", "", "zoomTo(IN,100)", "100 %");
        addRow("not a number", "abc", "", "before");
    }
    void defaultZoom() {
        auto [step, zoomCall, panel] =
            fetch<QString, QString, QString>("step", "zoomCall", "panel");
        ViewerHarness h([&](ViewerHarness& t) {
            if (!step.isEmpty())
                t.settings().setValue("gStepInOut", step);
        });
        h.w().statusBar->setText("ZoomFactor", "before");
        h.load(h.document("a.tif", 2));
        QStringList expected;
        if (!zoomCall.isEmpty())
            expected << zoomCall;
        if (step != "abc")
            expected += QStringList{"updateLayout", "refresh", "syncView"};
        if (zoomCall.startsWith("zoomTo"))
            expected << "setZoomPercent(" + zoomCall.section(',', 1).chopped(1) + ")";
        QCOMPARE(only(h.editor().calls,
                      {"zoomTo", "fit", "updateLayout", "refresh", "syncView", "setZoomPercent"}),
                 expected);
        QCOMPARE(h.panel("ZoomFactor"), panel);
        QCOMPARE(h.prompts().messages.size(), step == "abc" ? 1 : 0);
    }

    void print_data() {
        // printed: "" = nothing printed
        columns<bool, bool, int, bool, QString, QString>(
            "document", "switchEnabled", "switchClicks", "busy", "printer", "printed");
        addRow("with annotations", true, true, 0, false, "Ready", "true");
        addRow("switch off", true, true, 1, false, "Ready", "false");
        addRow("editor busy", true, true, 0, true, "Ready", "");
        addRow("printer busy", true, true, 0, false, "Busy", "");
    }
    void print() {
        auto [document, switchEnabled, switchClicks, busy, printer, printed] =
            fetch<bool, bool, int, bool, QString, QString>(
                "document", "switchEnabled", "switchClicks", "busy", "printer", "printed");
        ViewerHarness h;
        h.factory->printer->answer = printer;
        if (document)
            h.load(h.document("a.tif", 3), 1);
        h.ocr().setEnabled("PrintAnnotations", true);
        for (int i = 0; i < switchClicks; ++i)
            h.viewer->OcrToolbar_ButtonClick("PrintAnnotations");
        QCOMPARE(h.ocr().image("PrintAnnotations"), switchClicks % 2 ? 13 : 12);
        h.ocr().setEnabled("PrintAnnotations", switchEnabled);
        h.editor().isBusy = busy;
        h.editor().calls.clear();
        h.viewer->MainToolbar_ButtonClick("Print");
        QCOMPARE(only(h.editor().calls, {"printDocument"}),
                 printed.isEmpty() ? QStringList() : QStringList{"printDocument(" + printed + ")"});
        // After printing the same page is loaded again.
        QCOMPARE(h.editor().calls.contains("setPageIndex(1)"), !printed.isEmpty());
    }
};

QTEST_MAIN(TestPageCommands)
#include "tst_pagecommands.moc"
