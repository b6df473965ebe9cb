// PDF documents in the viewer on its real components: paged and zoomed with keys and
// clicks, read-only tools saying why, their text found, and locked documents asking for their
// password.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include "support/pdffixtures.h"
#include "support/realfactory.h"
#include "support/rows.h"
#include "support/viewerharness.h"
#include "viewer/undo/undoredo.h"

using namespace ktdv;
using namespace ktdv::test;

class TestViewerPdf : public QObject {
    Q_OBJECT

private slots:
    void pagedZoomedAndReadOnly() {
        QTemporaryDir dir;
        const QString path = writePdf(dir.filePath("three.pdf"), 3, QSizeF(8.27, 11.69), true);
        moduleState() = ViewerModuleState();
        auto factory = std::make_shared<RealFactory>();
        factory->settings->writeBool("bThumbs", true);
        ViewerControl v(factory);
        const ViewerWidgets& w = v.widgets();
        v.resize(900, 700);
        v.show();
        QVERIFY(QTest::qWaitForWindowActive(&v));
        v.setUserPermission(24);
        v.OpenImage(path);
        QCOMPARE(w.statusBar->text("PageNumber"), QString("1 of 3"));
        QCOMPARE(w.thumbs->widget()->isVisible(), true);
        QTest::keyClick(&v, Qt::Key_PageDown);
        QCOMPARE(w.statusBar->text("PageNumber"), QString("2 of 3"));
        QTest::mouseClick(w.mainToolbar->buttonWidget(w.mainToolbar->position("NextPage")),
                          Qt::LeftButton);
        QCOMPARE(w.statusBar->text("PageNumber"), QString("3 of 3"));
        const QString zoom = w.statusBar->text("ZoomFactor");
        QTest::keyClick(&v, Qt::Key_Plus, Qt::ControlModifier);
        QVERIFY(w.statusBar->text("ZoomFactor") != zoom);
        // The page is drawn where it is seen: white paper, not the grey around the page.
        const QImage shown = factory->page->viewport()->grab().toImage();
        QCOMPARE(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::white));
        // Nothing may change the document, and each tool says why.
        const QString why = "Not available: PDF documents are read-only in this viewer.";
        for (int pos : w.ocrToolbar->positions(AnnotationTools)) {
            QVERIFY(!w.ocrToolbar->enabled(pos));
            QCOMPARE(w.ocrToolbar->action(pos)->toolTip(), why);
        }
        QAction* undo = v.findChild<QAction*>("actUndo");
        QVERIFY(undo && !undo->isEnabled());
        QCOMPARE(undo->toolTip(), why);
        // The pages' text layer is searched: "Page N" on each of them.
        QTest::keyClick(&v, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), "page");
        QTRY_VERIFY_WITH_TIMEOUT(
            v.findChild<QLabel*>("findStatus")->text().endsWith(" of 3 on 3 pages"), 10000);
    }

    void lockedDocuments_data() {
        columns<QString, QString>("answer", "shown");
        addRow("right password", "secret", "1 of 2");
        addRow("wrong password", "guess", "");
        addRow("cancelled", "", "");
    }

    void lockedDocuments() {
        auto [answer, shown] = fetch<QString, QString>("answer", "shown");
        QTemporaryDir dir;
        const QString plain = writePdf(dir.filePath("plain.pdf"), 2, QSizeF(4, 4), false);
        const QString path = dir.filePath("locked-" + answer + ".pdf");
        QVERIFY(qpdf({"--encrypt", "secret", "owner", "256", "--", plain, path}));
        moduleState() = ViewerModuleState();
        auto factory = std::make_shared<RealFactory>();
        factory->prompts->dialogScripts << [answer](QDialog* dialog) {
            dialog->findChild<QLineEdit*>("txtPassword")->setText(answer);
            if (!answer.isEmpty())
                ScriptedPromptService::clickButton(dialog, "btnOk");
        };
        ViewerControl v(factory);
        v.resize(900, 700);
        v.show();
        v.OpenImage(path);
        QCOMPARE(factory->prompts->dialogs, QStringList{"dlgPassword"});
        QCOMPARE(v.widgets().statusBar->text("PageNumber"), shown);
        QCOMPARE(v.widgets().editor->document().imagePath().isEmpty(), shown.isEmpty());
        QCOMPARE(v.widgets().mainToolbar->enabled("Print"), !shown.isEmpty());
    }
};

QTEST_MAIN(TestViewerPdf)
#include "tst_viewerpdf.moc"
