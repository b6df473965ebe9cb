// The viewer control on recording doubles: start-up, the host's open and close, and the
// main toolbar's common preamble, tail and view modes.
#include <QGroupBox>
#include <QPushButton>
#include <QTabBar>
#include <QtTest>

#include "interfaces/thumbnailpane.h"
#include "support/viewerharness.h"

using namespace ktdv;
using namespace ktdv::test;

class TestViewerControl : public QObject {
    Q_OBJECT
private slots:
    void startUp_data() {
        // $T = the test folder; doZed: folders that hold a doZed entry; folder: handed to the
        // engine; conversions: the two conversion buttons usable afterwards
        columns<QString, QString, QStringList, QStringList, int, bool, QString, bool>(
            "brackwater", "selvagard", "fallbacks", "doZed", "initResult", "engineFails", "folder",
            "conversions");
        const QStringList none;
        addRow("first key with doZed", "$T/a", "$T/b", none, QStringList{"$T/a"}, 0, false, "$T/a/",
               true);
        addRow("no doZed: second fallback holds one", "$T/a", "", QStringList{"$T/f1", "$T/f2"},
               QStringList{"$T/f2"}, 0, false, "$T/f2/", true);
        addRow("engine cannot be created: toolbars keep their designed state", "$T/a", "", none,
               none, 0, true, "", false);
    }
    void startUp() {
        auto [brackwater, selvagard, fallbacks, doZed, initResult, engineFails, folder,
              conversions] =
            fetch<QString, QString, QStringList, QStringList, int, bool, QString, bool>(
                "brackwater", "selvagard", "fallbacks", "doZed", "initResult", "engineFails",
                "folder", "conversions");
        QTemporaryDir root;
        const auto at = [&root](QString s) { return s.replace(QStringLiteral("$T"), root.path()); };
        ViewerHarness h([&](ViewerHarness& t) {
            if (!brackwater.isEmpty())
                t.factory->machine->appPaths.insert("Brackwater", at(brackwater));
            if (!selvagard.isEmpty())
                t.factory->machine->appPaths.insert("Selvagard", at(selvagard));
            for (const QString& f : fallbacks)
                t.factory->machine->fallbacks.append(at(f));
            for (const QString& d : doZed)
                QDir().mkpath(at(d) + "/doZed");
            t.factory->engineInitialiseResult = initResult;
            t.factory->engineFails = engineFails;
        });
        if (!engineFails)
            QCOMPARE(h.factory->engine->receivedFolder, at(folder));
        QCOMPARE(h.ocr().enabled("OcrToFile"), conversions);
        QCOMPARE(h.ocr().enabled("OcrToClipboard"), conversions);
        QCOMPARE(h.mainStates({"Print", "NextPage", "Open", "ShowBoth"}),
                 engineFails ? QStringLiteral("1011") : QStringLiteral("0011"));
        QVERIFY(h.prompts().messages.isEmpty());
    }

    void openImage_data() {
        // name: "" = a path with no file behind it
        columns<QString, bool, bool, bool, QStringList>("name", "thumbs", "paneBefore", "paneShown",
                                                        "thumbCalls");
        addRow("missing path changes nothing", "", false, false, false, QStringList());
        addRow("upper-case .TIFF with thumbnails", "A.TIFF", true, false, true,
               QStringList{"setFirstPage", "clearThumbnails", "redraw", "loadDocument"});
        addRow("jpeg with thumbnails hides the pane", "a.jpg", true, true, false, QStringList());
    }
    void openImage() {
        auto [name, thumbs, paneBefore, paneShown, thumbCalls] =
            fetch<QString, bool, bool, bool, QStringList>("name", "thumbs", "paneBefore",
                                                          "paneShown", "thumbCalls");
        ViewerHarness h([&](ViewerHarness& t) { t.settings().writeBool("bThumbs", thumbs); });
        const QString before = h.document("before.tif", 2);
        h.load(before, 1);
        h.w().thumbs->widget()->setVisible(paneBefore);
        h.editor().calls.clear();
        h.ocr().setValue("GoToPage", 1);

        const QString path = name.isEmpty() ? h.dir.filePath("missing.tif") : h.document(name, 3);
        h.viewer->OpenImage(path);

        if (name.isEmpty()) {
            QVERIFY(h.editor().calls.isEmpty());
            QCOMPARE(h.ocr().value("GoToPage"), 1);
            return;
        }
        QCOMPARE(h.editor().imagePath(), path);
        QCOMPARE(h.panel("PageNumber").left(4), QStringLiteral("1 of"));
        QCOMPARE(h.ocr().value("GoToPage"), 0);
        QCOMPARE(!h.w().thumbs->widget()->isHidden(), paneShown);
        QCOMPARE(!h.w().btnSplitter->isHidden(), paneShown);
        QCOMPARE(!h.w().tabPages->isHidden(), paneShown);
        QStringList head = h.thumbs().calls.mid(0, thumbCalls.size());
        for (QString& c : head)
            c = c.left(c.indexOf('('));  // the names; the arguments vary with the path
        QCOMPARE(head, thumbCalls);
        QVERIFY(h.prompts().messages.isEmpty());
    }

    // A turned page is written back on close when chkSaveTIF asks for it, unless read-only.
    void closeImage_data() {
        columns<QString, QString, bool>("name", "attributes", "saved");
        addRow("rotated fax saved when asked", "a.fax", "A", true);
        addRow("read-only file never written", "a.tif", "RA", false);
    }
    void closeImage() {
        auto [name, attributes, saved] =
            fetch<QString, QString, bool>("name", "attributes", "saved");
        ViewerHarness h([](ViewerHarness& t) { t.settings().setValue("chkSaveTIF", "1"); });
        h.viewer->setUserPermission(24);
        h.load(h.document(name, 4, attributes), 2);
        h.viewer->MainToolbar_ButtonClick("Rotate90Right");
        h.editor().calls.clear();
        h.viewer->CloseImage();
        QStringList expected{"clearImage", "syncView", "resetDocument(0)", "releaseImage"};
        if (saved)
            expected.prepend("savePageChanges(2,4)");
        QCOMPARE(h.editor().calls, expected);
        for (const char* key : {"ImagePath", "ZoomFactor", "PageNumber", "FileAttributes"})
            QCOMPARE(h.panel(key), QString());
        QCOMPARE(h.mainStates({"Print", "ZoomIn", "Flip", "FirstPage", "LastPage", "Open"}),
                 QStringLiteral("000001"));
        QVERIFY(!h.ocr().enabled("Rectangle"));
    }

    void preamble_data() {
        columns<QString, QString, int, int, int, bool>(
            "document", "key", "scrollBefore", "scrollAfter", "selectAfter", "toolsReleased");
        addRow("ZoomIn while scrolling returns to select first", "a.tif", "ZoomIn", 1, 0, 1, true);
        addRow("Scroll pressed", "a.tif", "Scroll", 1, 1, 0, true);
        addRow("Scroll without a document does nothing", "", "Scroll", 1, 1, 1, false);
        addRow("NextPage keeps the tool", "a.tif", "NextPage", 0, 0, 1, false);
        addRow("rotating drops the tool", "a.tif", "Rotate90Left", 0, 0, 1, true);
    }
    void preamble() {
        auto [document, key, scrollBefore, scrollAfter, selectAfter, toolsReleased] =
            fetch<QString, QString, int, int, int, bool>(
                "document", "key", "scrollBefore", "scrollAfter", "selectAfter", "toolsReleased");
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
        h.w().fraGoto->show();
        h.viewer->MainToolbar_ButtonClick(key);

        QCOMPARE(h.main().value("Scroll"), scrollAfter);
        QCOMPARE(h.main().value("Select"), selectAfter);
        QCOMPARE(h.editor().tool(), key == "Scroll" && !document.isEmpty() ? "Scroll" : "Default");
        QCOMPARE(h.ocr().value("Rectangle"), toolsReleased ? 0 : 1);
        QCOMPARE(h.ocr().value("GoToPage"), 0);
        QVERIFY(h.w().fraGoto->isHidden());
    }

    void tail_data() {
        columns<QString, QString, int, QString, bool>("document", "attributes", "permission", "key",
                                                      "selectEnabled");
        addRow("rotation disables the annotation select tool", "a.tif", "A", 24, "Rotate90Left",
               false);
        addRow("other command re-enables select", "a.tif", "A", 24, "Select", true);
        addRow("read-only file: select stays off", "a.tif", "R", 24, "Select", false);
    }
    void tail() {
        auto [document, attributes, permission, key, selectEnabled] =
            fetch<QString, QString, int, QString, bool>("document", "attributes", "permission",
                                                        "key", "selectEnabled");
        ViewerHarness h;
        h.viewer->setUserPermission(permission);
        h.load(h.document(document, 2, attributes));
        h.ocr().setEnabled("Select", false);
        h.ocr().setValue("Select", 1);
        h.viewer->MainToolbar_ButtonClick(key);
        QCOMPARE(h.ocr().enabled("Select"), selectEnabled);
        const bool turned = key.startsWith("Rotate");
        QCOMPARE(h.viewer->session().pageModified(), turned);
        QCOMPARE(h.ocr().value("Select"), turned ? 0 : 1);
    }

    // ShowBoth on a TIFF shows and loads the pane and stores the choice; ShowImage hides it.
    void viewModes() {
        ViewerHarness h;
        const QString path = h.document("a.tif", 3);
        h.load(path);
        h.viewer->MainToolbar_ButtonClick("ShowBoth");
        QCOMPARE(h.settings().value("bThumbs"), QStringLiteral("True"));
        QCOMPARE(h.w().thumbs->widget()->isHidden(), false);
        QVERIFY(!h.w().tabPages->isHidden() && !h.w().btnSplitter->isHidden());
        QCOMPARE(h.thumbs().calls.mid(0, 3),
                 (QStringList{"clearThumbnails", "redraw", "loadDocument(" + path + ")"}));
        h.viewer->MainToolbar_ButtonClick("ShowImage");
        QCOMPARE(h.settings().value("bThumbs"), QStringLiteral("False"));
        QCOMPARE(h.w().thumbs->widget()->isHidden(), true);
    }
};

QTEST_MAIN(TestViewerControl)
#include "tst_viewercontrol.moc"
