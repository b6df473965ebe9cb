// The document session on recording doubles: what a page load shows and enables, what
// it decides about the document, its failures and the open dialog.
#include <QtTest>

#include "support/viewerharness.h"

using namespace ktdv;
using namespace ktdv::test;

class TestDocumentSession : public QObject {
    Q_OBJECT
private slots:
    void loadStates_data() {
        // buttons: enabled navigation, GoToPage and PrintAnnotations, turning, annotation tools
        columns<QString, int, int, QString, int, bool, QString, QString>(
            "name", "pages", "page", "attributes", "permission", "annotationsLoad", "pageNumber",
            "buttons");
        addRow("jpeg image", "a.jpg", 1, 0, "A", 24, true, "1 of 1", "0000 00 111 00000");
        addRow("one-page .TIF", "one.TIF", 1, 0, "A", 24, true, "1 of 1", "0000 01 111 11111");
        addRow("12 pages, first", "m.tif", 12, 0, "A", 24, true, "1 of 12", "0011 11 111 11111");
        addRow("read-only TIFF keeps turning", "r.tif", 2, 0, "RA", 24, true, "1 of 2",
               "0011 11 111 00000");
        addRow("annotation load failed", "m.tif", 2, 0, "A", 24, false, "1 of 2",
               "0011 10 111 11111");
        addRow("permission 8", "m.tif", 2, 0, "A", 8, true, "1 of 2", "0011 11 111 00000");
        addRow("permission 16", "m.tif", 2, 0, "A", 16, true, "1 of 2", "0011 11 000 11111");
    }
    void loadStates() {
        auto [name, pages, page, attributes, permission, annotationsLoad, pageNumber, buttons] =
            fetch<QString, int, int, QString, int, bool, QString, QString>(
                "name", "pages", "page", "attributes", "permission", "annotationsLoad",
                "pageNumber", "buttons");
        // A stored read-only state is overwritten, never consulted.
        ViewerHarness h([](ViewerHarness& t) { t.settings().setValue("bReadOnly", "True"); });
        const QString path = h.document(name, pages, attributes);
        h.editor().annotationLoadResult = annotationsLoad;
        h.viewer->setUserPermission(permission);
        h.load(path, page);

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
        const bool readOnly = attributes.contains('R');
        QCOMPARE(h.settings().value("bReadOnly"), readOnly ? "True" : "False");
        QCOMPARE(h.viewer->session().readOnly(), readOnly);
        QCOMPARE(h.viewer->session().tiff(), !name.endsWith(".jpg"));
        QCOMPARE(h.viewer->session().pageCount(), pages);
        QCOMPARE(h.editor().pageIndex(), page);
        QVERIFY(h.prompts().messages.isEmpty());
    }

    void loadFailures_data() {
        // throwOn: "" = the editor cannot read the file
        columns<QString, int, QStringList, QString>("throwOn", "number", "messages", "pageNumber");
        addRow("unreadable file: silent, toolbars reset", "", 0, QStringList(), "2 of 3");
        addRow("component failure is reported, later steps skipped", "getFileAttributes", 70,
               QStringList{"LoadImage: Error (70) - Invalid procedure call or argument"}, "1 of 3");
    }
    void loadFailures() {
        auto [throwOn, number, messages, pageNumber] = fetch<QString, int, QStringList, QString>(
            "throwOn", "number", "messages", "pageNumber");
        ViewerHarness h;
        h.viewer->setUserPermission(24);
        const QString good = h.document("good.tif", 3);
        h.load(good, 1);
        QString path = good;
        if (throwOn.isEmpty()) {
            path = h.dir.filePath("broken.tif");
        } else {
            h.editor().throwOn = throwOn;
            h.editor().throwNumber = number;
        }
        h.load(path, 0);
        QCOMPARE(h.prompts().messages, messages);
        if (throwOn.isEmpty()) {
            QVERIFY(h.editor().imagePath().isEmpty());
            QCOMPARE(h.mainStates({"Print", "Rotate90Left", "NextPage", "Open", "ShowBoth"}),
                     QStringLiteral("00011"));
            QVERIFY(!h.ocr().enabled("Select"));
            QVERIFY(!h.viewer->session().tiff());
        } else {
            // The navigation step after the failure did not run.
            QCOMPARE(h.mainStates({"FirstPage", "NextPage"}), QStringLiteral("11"));
        }
        QCOMPARE(h.panel("PageNumber"), pageNumber);
    }

    void openDialog_data() {
        columns<bool>("cancel");
        addRow("file chosen", false);
        addRow("cancelled", true);
    }
    void openDialog() {
        auto [cancel] = fetch<bool>("cancel");
        ViewerHarness h;
        const QString chosen = h.document("chosen.bmp");
        FileDialogResult answer;
        answer.fileName = cancel ? QString() : chosen;
        h.prompts().fileAnswers.append(answer);
        h.viewer->MainToolbar_ButtonClick("Open");

        QCOMPARE(h.prompts().fileRequests.size(), 1);
        const FileDialogRequest& r = h.prompts().fileRequests.first();
        QVERIFY(!r.save && r.filter.startsWith("Image Files |*.bmp;"));
        QCOMPARE(h.editor().imagePath(), answer.fileName);
        QCOMPARE(h.panel("ImagePath"), cancel ? QStringLiteral("ImagePath") : chosen);
    }
};

QTEST_MAIN(TestDocumentSession)
#include "tst_documentsession.moc"
