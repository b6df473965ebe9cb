// The toolbar tables and the toolbar states the viewer's commands rely on, on recording
// doubles (tool buttons clicked on the real control: tst_annotationsreal).
#include <QtTest>

#include "support/viewerharness.h"
#include "viewer/toolbars/toolbarstates.h"
#include "viewer/toolbars/toolbartables.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {
QString keys(std::span<const ButtonEntry> table) {
    QStringList list;
    for (const ButtonEntry& e : table)
        list << QString::fromLatin1(e.key);
    return list.join('|');
}
}  // namespace

class TestToolbars : public QObject {
    Q_OBJECT
private slots:
    // Buttons are also addressed by position: every key keeps its place.
    void keysByPosition() {
        QCOMPARE(keys(mainToolbarButtons()),
                 "Open|Print||Select|Scroll||Annotation||ZoomIn|ZoomOut||FitWidth|FitHeight|"
                 "OneToOne||Rotate90Left|Flip|Rotate90Right||FirstPage|PreviousPage|NextPage|"
                 "LastPage||ShowImage|ShowThumbnails|ShowBoth|||Viewer Settings");
        QCOMPARE(keys(ocrToolbarButtons()),
                 "GoToPage|PrintAnnotations|OcrToFile|OcrToClipboard||Select|Freehand|Rectangle|"
                 "Line|Highlight|TextFromFile|Text|Note||Stamp");
        QCOMPARE(keys(selectionToolbarButtons()), "Copy|Zoom|OCR");
    }

    void toolbarState_data() {
        // main: Print ZoomIn Rotate90Left Flip, FirstPage NextPage (before: 1 and 0), Open
        // ShowBoth; tools: Select Rectangle Highlight Text Stamp
        columns<bool, bool, int, QString, QString>("enable", "excludeNav", "permission", "main",
                                                   "tools");
        addRow("disable all", false, false, 24, "0000 00 11", "00000");
        addRow("disable, navigation kept", false, true, 24, "0000 10 11", "00000");
        addRow("enable, all permissions", true, false, 24, "1111 11 11", "11111");
        addRow("enable, permission 0", true, false, 0, "1100 11 11", "00000");
        addRow("enable, permission 8", true, true, 8, "1111 10 11", "00000");
    }
    void toolbarState() {
        auto [enable, excludeNav, permission, main, tools] =
            fetch<bool, bool, int, QString, QString>("enable", "excludeNav", "permission", "main",
                                                     "tools");
        ViewerHarness h;
        h.viewer->setUserPermission(permission);
        h.main().setEnabled("FirstPage", true);
        h.main().setEnabled("NextPage", false);
        h.viewer->toolbars().SetToolbarState(enable, excludeNav);
        QCOMPARE(h.mainStates({"Print", "ZoomIn", "Rotate90Left", "Flip"}) + ' ' +
                     h.mainStates({"FirstPage", "NextPage"}) + ' ' +
                     h.mainStates({"Open", "ShowBoth"}),
                 main);
        QCOMPARE(
            ViewerHarness::states(h.ocr(), {"Select", "Rectangle", "Highlight", "Text", "Stamp"}),
            tools);
        QCOMPARE(ViewerHarness::states(h.ocr(), {"GoToPage", "OcrToFile"}), QStringLiteral("01"));
    }
};

QTEST_MAIN(TestToolbars)
#include "tst_toolbars.moc"
