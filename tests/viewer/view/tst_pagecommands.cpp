// Printing from the toolbar, on recording doubles (zooming: tst_viewerreal, tst_pageview).
#include <QtTest>

#include "support/viewerharness.h"

using namespace ktdv;
using namespace ktdv::test;

class TestPageCommands : public QObject {
    Q_OBJECT
private slots:
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
