// The toolbar tables and the toolbar states the viewer's commands rely on, on recording
// doubles.
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

    void annotationTools_data() {
        // pressed: Select Rectangle Highlight Text Stamp; tool: the editor's tool afterwards
        columns<QStringList, QString, QString>("clicks", "pressed", "tool");
        addRow("rectangle", QStringList{"Rectangle"}, "01000", "default");
        addRow("stamp after rectangle", QStringList{"Rectangle", "Stamp"}, "00001", "stamp");
        addRow("second click releases", QStringList{"Text", "Text"}, "00000", "default");
    }
    void annotationTools() {
        auto [clicks, pressed, tool] =
            fetch<QStringList, QString, QString>("clicks", "pressed", "tool");
        ViewerHarness h;
        h.viewer->setUserPermission(24);
        h.load(h.document("a.tif", 2));
        h.main().setValue("Scroll", 1);
        h.main().setValue("Select", 0);
        for (const QString& key : clicks)  // as the toolbar delivers a click
            h.ocr().action(h.ocr().position(key))->trigger();
        QString values;
        for (const char* key : {"Select", "Rectangle", "Highlight", "Text", "Stamp"})
            values += QString::number(h.ocr().value(key));
        QCOMPARE(values, pressed);
        QCOMPARE(h.editor().tool(), tool);
        QCOMPARE(h.main().value("Scroll"), 0);
        QCOMPARE(h.main().value("Select"), 1);

        // While the editor is busy a click only flips the button back.
        h.editor().isBusy = true;
        h.ocr().action(h.ocr().position("Rectangle"))->trigger();
        QCOMPARE(h.ocr().value("Rectangle"), pressed[1] == '1' ? 1 : 0);
        QCOMPARE(h.editor().tool(), tool);
    }
};

QTEST_MAIN(TestToolbars)
#include "tst_toolbars.moc"
