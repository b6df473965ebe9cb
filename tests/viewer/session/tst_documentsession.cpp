// The document session on recording doubles: the open dialog (what a load shows and
// enables: tst_viewerreal).
#include <QtTest>

#include "support/viewerharness.h"

using namespace ktdv;
using namespace ktdv::test;

class TestDocumentSession : public QObject {
    Q_OBJECT
private slots:
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
