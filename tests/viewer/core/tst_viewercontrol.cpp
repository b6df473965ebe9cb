// The viewer control's start-up, public members and page loading, on recording doubles.
#include <QPushButton>
#include <QTabBar>
#include <QtTest>

#include "support/viewerharness.h"

using namespace ktdv;
using namespace ktdv::test;

class TestViewerControl : public QObject {
    Q_OBJECT
private slots:
    void startUp_data() {
        // brackwater: "" = absent; $T = the test folder; doZed: folders that hold a doZed entry;
        // folder: expected folder handed to the engine
        columns<QString, QString, QStringList, QStringList, int, bool, QString, bool, bool>(
            "brackwater", "selvagard", "fallbacks", "doZed", "initResult", "engineFails", "folder",
            "conversions", "printEnabled");

        const QStringList none;
        addRow("first key with doZed", "$T/a", "$T/b", none, QStringList{"$T/a"}, 0, false, "$T/a/",
               true, false);
        addRow("second key when the first is missing", "", "$T/b", none, QStringList{"$T/b"}, 0,
               false, "$T/b/", true, false);
        addRow("no doZed: second fallback holds one", "$T/a", "", QStringList{"$T/f1", "$T/f2"},
               QStringList{"$T/f2"}, 0, false, "$T/f2/", true, false);
        addRow("nothing at all", "", "", QStringList{"$T/f1"}, none, 0, false, "ERROR/", true,
               false);
        addRow("separator not doubled", "$T/a/", "", none, QStringList{"$T/a"}, 0, false, "$T/a/",
               true, false);
        addRow("engine start-up fails", "$T/a", "", none, QStringList{"$T/a"}, -4, false, "$T/a/",
               false, false);
        addRow("engine cannot be created: toolbars keep their designed state", "$T/a", "", none,
               none, 0, true, "", false, true);
    }
    void startUp() {
        QFETCH(QString, brackwater);
        QFETCH(QString, selvagard);
        QFETCH(QStringList, fallbacks);
        QFETCH(QStringList, doZed);
        QFETCH(int, initResult);
        QFETCH(bool, engineFails);
        QFETCH(QString, folder);
        QFETCH(bool, conversions);
        QFETCH(bool, printEnabled);

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
        QCOMPARE(h.main().enabled("Print"), printEnabled);
        QCOMPARE(h.main().enabled("NextPage"), false);
        QVERIFY(h.main().enabled("Open"));
        QVERIFY(h.main().enabled("ShowBoth"));
        QVERIFY(h.prompts().messages.isEmpty());
    }

    void extension_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("ext");
        addRow("upper-case TIFF cut to three", "/d/Fax.TIFF", "tif");
        addRow("jpeg", "/d/photo.jpeg", "jpe");
        addRow("no dot", "/d/README", "error");
        addRow("dot only in folder", "/d.old/README", "old");
        addRow("trailing dot", "/d/file.", "");
    }
    void extension() {
        QFETCH(QString, path);
        QFETCH(QString, ext);
        QCOMPARE(ViewerControl::GetExtension(path), ext);
    }

    void loadStates_data() {
        // storedReadOnly: "" = key absent
        columns<QString, int, int, QString, int, QString, bool, QString>(
            "name", "pages", "page", "attributes", "permission", "storedReadOnly",
            "annotationsLoad", "pageNumber");
        // Enabled: navigation, GoToPage and PrintAnnotations, turning, annotation tools.
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QString>("readOnly");  // "bReadOnly" afterwards

        addRow("jpeg image", "a.jpg", 1, 0, "A", 24, "False", true, "1 of 1", "0000 00 111 00000",
               "False");
        addRow("read-only jpeg still writes bReadOnly", "a.jpg", 1, 0, "AR", 24, "False", true,
               "1 of 1", "0000 00 111 00000", "True");
        addRow("one-page .TIF", "one.TIF", 1, 0, "A", 24, "False", true, "1 of 1",
               "0000 01 111 11111", "False");
        addRow("12 pages, first", "m.tif", 12, 0, "A", 24, "False", true, "1 of 12",
               "0011 11 111 11111", "False");
        addRow("12-page fax, last", "m.fax", 12, 11, "A", 24, "False", true, "12 of 12",
               "1100 11 111 11111", "False");
        addRow("read-only TIFF keeps turning", "r.tif", 2, 0, "RA", 24, "False", true, "1 of 2",
               "0011 11 111 00000", "True");
        addRow("annotation load failed", "m.tif", 2, 0, "A", 24, "False", false, "1 of 2",
               "0011 10 111 11111", "False");
        addRow("permission 0", "m.tif", 2, 0, "A", 0, "False", true, "1 of 2", "0011 11 000 00000",
               "False");
        addRow("permission 8", "m.tif", 2, 0, "A", 8, "False", true, "1 of 2", "0011 11 111 00000",
               "False");
        addRow("permission 16", "m.tif", 2, 0, "A", 16, "False", true, "1 of 2",
               "0011 11 000 11111", "False");
        addRow("lowercase r is not read-only", "m.tif", 1, 0, "ra", 24, "True", true, "1 of 1",
               "0000 01 111 11111", "False");
    }
    void loadStates() {
        QFETCH(QString, name);
        QFETCH(int, pages);
        QFETCH(int, page);
        QFETCH(QString, attributes);
        QFETCH(int, permission);
        QFETCH(QString, storedReadOnly);
        QFETCH(bool, annotationsLoad);
        QFETCH(QString, pageNumber);
        QFETCH(QString, buttons);
        QFETCH(QString, readOnly);

        ViewerHarness h([&](ViewerHarness& t) {
            if (!storedReadOnly.isEmpty())
                t.settings().setValue("bReadOnly", storedReadOnly);
        });
        const QString path = h.document(name, pages, attributes);
        h.editor().annotationLoadResult = annotationsLoad;
        h.viewer->setUserPermission(permission);
        h.load(path, page);

        QCOMPARE(moduleState().gImagePath, path);
        QCOMPARE(h.panel("ImagePath"), path);
        QCOMPARE(h.panel("PageNumber"), pageNumber);
        QCOMPARE(h.panel("FileAttributes"), attributes);
        QCOMPARE(h.panel("ZoomFactor"), QStringLiteral("100 %"));
        auto of = &ViewerHarness::states;
        QCOMPARE(of(h.main(), {"FirstPage", "PreviousPage", "NextPage", "LastPage"}) + ' ' +
                     of(h.ocr(), {"GoToPage", "PrintAnnotations"}) + ' ' +
                     of(h.main(), {"Rotate90Left", "Flip", "Rotate90Right"}) + ' ' +
                     of(h.ocr(), {"Select", "Rectangle", "Highlight", "Text", "Stamp"}),
                 buttons);
        QCOMPARE(h.mainStates({"Print", "ZoomIn", "FitWidth", "OneToOne"}), QStringLiteral("1111"));
        QCOMPARE(h.settings().value("bReadOnly"), readOnly);
        QCOMPARE(h.editor().pageIndex(), page);
        QVERIFY(!h.viewer->bPageModified);
        QVERIFY(h.prompts().messages.isEmpty());
    }

    void loadFailures_data() {
        // throwOn: "" = the editor cannot read the file; pageNumber: what the status bar shows
        // afterwards
        columns<QString, int, QStringList, bool, QString>("throwOn", "number", "messages",
                                                          "noDocumentState", "pageNumber");

        addRow("unreadable file: silent, toolbars reset", "", 0, QStringList(), true, "2 of 3");
        addRow("component failure is reported, later steps skipped", "getFileAttributes", 70,
               QStringList{"LoadImage: Error (70) - Invalid procedure call or argument"}, false,
               "1 of 3");
        addRow("failure 480 is silent", "zoomTo", 480, QStringList(), false, "2 of 3");
    }
    void loadFailures() {
        auto [throwOn, number, messages, noDocumentState, pageNumber] =
            fetch<QString, int, QStringList, bool, QString>("throwOn", "number", "messages",
                                                            "noDocumentState", "pageNumber");

        ViewerHarness h;
        h.viewer->setUserPermission(24);
        const QString good = h.document("good.tif", 3);
        h.load(good, 1);
        QVERIFY(h.main().enabled("Print"));

        QString path = good;
        if (throwOn.isEmpty()) {
            path = h.dir.filePath("broken.tif");
        } else {
            h.editor().throwOn = throwOn;
            h.editor().throwNumber = number;
        }
        h.editor().calls.clear();
        h.load(path, 0);
        QCOMPARE(h.prompts().messages, messages);
        QCOMPARE(moduleState().gImagePath, path);
        if (noDocumentState) {
            QCOMPARE(only(h.editor().calls, {"clearImage", "syncView"}),
                     QStringList({"clearImage", "clearImage", "syncView"}));
            QCOMPARE(h.mainStates({"Print", "Rotate90Left", "NextPage", "Open", "ShowBoth"}),
                     QStringLiteral("00011"));
            QVERIFY(!h.ocr().enabled("Select"));
        } else {
            // The navigation step after the failure did not run.
            QCOMPARE(h.mainStates({"FirstPage", "NextPage"}), QStringLiteral("11"));
        }
        QCOMPARE(h.panel("PageNumber"), pageNumber);
    }

    void openDialog_data() {
        QTest::addColumn<bool>("cancel");
        addRow("file chosen", false);
        addRow("cancelled", true);
    }
    void openDialog() {
        QFETCH(bool, cancel);
        ViewerHarness h;
        const QString chosen = h.document("chosen.bmp");
        moduleState().gImagePath = "/before.tif";
        FileDialogResult answer;
        answer.fileName = cancel ? QString() : chosen;
        h.prompts().fileAnswers.append(answer);
        QString path = "nopath";
        h.viewer->LoadPage(path, "OpenImage", 0);

        QCOMPARE(h.prompts().fileRequests.size(), 1);
        const FileDialogRequest& r = h.prompts().fileRequests.first();
        QVERIFY(!r.save);
        QCOMPARE(r.filter,
                 QStringLiteral(
                     "Image Files |*.bmp;*.gif;*.jpg;*.jpeg;*.tif;*.tiff;*.fax|All files |*.*"));
        QCOMPARE(r.flags, 4100);
        QCOMPARE(r.maxFileNameLength, 260);
        QCOMPARE(r.fileName, QString());
        QCOMPARE(moduleState().gImagePath, answer.fileName);
        QCOMPARE(h.editor().imagePath(), answer.fileName);
        QCOMPARE(h.editor().calls.first(), QStringLiteral("setPageIndex(0)"));
        QCOMPARE(h.editor().calls.size() == 1, cancel);
    }

    void openImage_data() {
        // name: "" = a path with no file behind it
        columns<QString, bool, bool, bool, QStringList>("name", "thumbs", "paneBefore", "paneShown",
                                                        "thumbCalls");

        addRow("missing path changes nothing", "", false, false, false, QStringList());
        addRow("TIFF, page only", "a.tif", false, false, false, QStringList());
        addRow("upper-case .TIFF with thumbnails", "A.TIFF", true, false, true,
               QStringList{"setFirstPage", "clearThumbnails", "redraw", "loadDocument"});
        addRow("jpeg with thumbnails hides the pane", "a.jpg", true, true, false, QStringList());
    }
    void openImage() {
        QFETCH(QString, name);
        QFETCH(bool, thumbs);
        QFETCH(bool, paneBefore);
        QFETCH(bool, paneShown);
        QFETCH(QStringList, thumbCalls);

        ViewerHarness h([&](ViewerHarness& t) { t.settings().writeBool("bThumbs", thumbs); });
        const QString before = h.document("before.tif", 2);
        h.load(before, 1);
        h.viewer->ctlKTImgThumbs1->widget()->setVisible(paneBefore);
        h.editor().calls.clear();
        h.ocr().setValue("GoToPage", 1);

        const QString path = name.isEmpty() ? h.dir.filePath("missing.tif") : h.document(name, 3);
        h.viewer->OpenImage(path);

        if (name.isEmpty()) {
            QVERIFY(h.editor().calls.isEmpty());
            QCOMPARE(moduleState().gImagePath, before);
            QCOMPARE(h.ocr().value("GoToPage"), 1);
            return;
        }
        QCOMPARE(moduleState().gImagePath, path);
        QCOMPARE(h.editor().imagePath(), path);
        QCOMPARE(h.panel("PageNumber").left(4), QStringLiteral("1 of"));
        QCOMPARE(h.ocr().value("GoToPage"), 0);
        QCOMPARE(!h.viewer->ctlKTImgThumbs1->widget()->isHidden(), paneShown);
        QCOMPARE(!h.viewer->btnSplitter->isHidden(), paneShown);
        QCOMPARE(!h.viewer->tabPages->isHidden(), paneShown);
        // The document is loaded exactly once by OpenImage or by the layout's reload, and
        // once more by each later layout pass.
        QVERIFY(h.editor().calls.count("setImagePath(" + path + ")") >= 1);
        QStringList head = h.thumbs().calls.mid(0, thumbCalls.size());
        for (QString& c : head)
            c = c.left(c.indexOf('('));  // the names; the arguments vary with the path
        QCOMPARE(head, thumbCalls);
        QVERIFY(h.prompts().messages.isEmpty());
    }

    void openImageReportsFailure() {
        ViewerHarness h;
        const QString path = h.document("a.tif", 2);
        h.editor().throwOn = "setPageIndex";
        h.editor().throwNumber = 9;
        h.editor().throwText = "Subscript out of range";
        h.viewer->OpenImage(path);
        QCOMPARE(h.prompts().messages,
                 QStringList{"OpenImage: Error (9) - Subscript out of range"});
    }

    void closeImage_data() {
        // name: "" = nothing open; chkSaveTIF: "" = absent
        columns<QString, QString, QString, bool, bool>("name", "chkSaveTIF", "attributes", "rotate",
                                                       "saved");

        addRow("nothing open does nothing", "", "1", "A", true, false);
        addRow("rotated TIFF saved when asked", "a.tif", "1", "A", true, true);
        addRow("rotated fax saved", "a.fax", "1", "A", true, true);
        addRow("not rotated", "a.tif", "1", "A", false, false);
        addRow("chkSaveTIF absent", "a.tif", "", "A", true, false);
        addRow("read-only file never written", "a.tif", "1", "RA", true, false);
        addRow("rotated jpeg never saved", "a.jpg", "1", "A", true, false);
    }
    void closeImage() {
        QFETCH(QString, name);
        QFETCH(QString, chkSaveTIF);
        QFETCH(QString, attributes);
        QFETCH(bool, rotate);
        QFETCH(bool, saved);

        ViewerHarness h([&](ViewerHarness& t) {
            if (!chkSaveTIF.isEmpty())
                t.settings().setValue("chkSaveTIF", chkSaveTIF);
        });
        h.viewer->setUserPermission(24);
        if (!name.isEmpty()) {
            h.load(h.document(name, 4, attributes), 2);
            if (rotate)
                h.viewer->MainToolbar_ButtonClick("Rotate90Right");
        }
        const QString pathBefore = moduleState().gImagePath;
        h.editor().calls.clear();
        h.viewer->CloseImage();

        if (name.isEmpty()) {
            QVERIFY(h.editor().calls.isEmpty());
            return;
        }
        QStringList expected{"clearImage", "syncView", "resetDocument(0)", "releaseImage"};
        if (saved)
            expected.prepend("savePageChanges(2,4)");
        QCOMPARE(h.editor().calls, expected);
        for (const char* key : {"ImagePath", "ZoomFactor", "PageNumber", "FileAttributes"})
            QCOMPARE(h.panel(key), QString());
        QCOMPARE(h.mainStates({"Print", "ZoomIn", "Flip", "FirstPage", "LastPage", "Open"}),
                 QStringLiteral("000001"));
        QVERIFY(!h.ocr().enabled("Rectangle"));
        QCOMPARE(moduleState().gImagePath, pathBefore);
    }
};

QTEST_MAIN(TestViewerControl)
#include "tst_viewercontrol.moc"
