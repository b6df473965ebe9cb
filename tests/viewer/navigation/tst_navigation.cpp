// Page turning from the main toolbar, on recording doubles.
#include <QGroupBox>
#include <QToolBar>
#include <QtTest>

#include "support/viewerharness.h"

using namespace ktdv;
using namespace ktdv::test;

class TestNavigation : public QObject {
    Q_OBJECT
private slots:
    void navigation_data() {
        // pages: 0 = no document; nav: FirstPage PreviousPage NextPage LastPage
        columns<int, int, QString, int, QString>("pages", "page", "key", "target", "nav");
        addRow("next from the first", 12, 0, "NextPage", 1, "1111");
        addRow("next on the last", 12, 11, "NextPage", 11, "1100");
        addRow("only page: first rule wins", 1, 0, "NextPage", 0, "0011");
        addRow("no document", 0, 0, "NextPage", 0, "0011");
    }
    void navigation() {
        auto [pages, page, key, target, nav] =
            fetch<int, int, QString, int, QString>("pages", "page", "key", "target", "nav");
        ViewerHarness h;
        h.viewer->setUserPermission(24);
        if (pages > 0)
            h.load(h.document("a.tif", pages), page);
        h.ocr().setEnabled("GoToPage", true);
        h.ocr().setValue("GoToPage", 1);
        h.w().fraGoto->show();
        h.viewer->session().setPageModified(true);
        h.viewer->MainToolbar_ButtonClick(key);

        QCOMPARE(h.editor().pageIndex(), target);
        QCOMPARE(h.mainStates({"FirstPage", "PreviousPage", "NextPage", "LastPage"}), nav);
        QVERIFY(h.w().fraGoto->isHidden());
        QCOMPARE(h.ocr().value("GoToPage"), 0);
        // Only a navigation with a document clears the turned-page flag.
        QCOMPARE(h.viewer->session().pageModified(), pages == 0);
        if (pages > 0) {
            QCOMPARE(h.panel("PageNumber"), QString("%1 of %2").arg(target + 1).arg(pages));
        } else {
            QVERIFY(!h.ocr().enabled("GoToPage"));
            QCOMPARE(h.w().fraGoto->y(), h.ocr().widget()->y() + 1400);
            QCOMPARE(h.mainStates({"Print", "ZoomIn", "Rotate90Right", "Open"}),
                     QStringLiteral("0001"));
        }
    }
};

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
