// Page turning and the go-to-page box, on recording doubles; the box is typed into with
// key events.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolBar>
#include <QtTest>

#include "support/viewerharness.h"
#include "viewer/layout/panelayout.h"
#include "viewer/navigation/pagenavigation.h"

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
        addRow("last", 12, 3, "LastPage", 11, "1100");
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

    void goToPageBox_data() {
        columns<bool, int, QString, bool, QString>("hScroll", "offset", "typed", "accepted",
                                                   "textAfter");
        addRow("page 5", false, 76, "5", true, "5");
        addRow("the page count loads the last page", true, 92, "12", true, "12");
        addRow("zero is replaced by the page count", false, 76, "0", false, "12");
    }
    void goToPageBox() {
        auto [hScroll, offset, typed, accepted, textAfter] =
            fetch<bool, int, QString, bool, QString>("hScroll", "offset", "typed", "accepted",
                                                     "textAfter");
        ViewerHarness h;
        const ViewerWidgets& w = h.w();
        h.load(h.document("a.tif", 12), 2);
        h.editor().horizontalScrollBar = hScroll;
        const int top = h.ocr().widget()->y();
        QAction* button = h.ocr().action(h.ocr().position("GoToPage"));

        button->trigger();
        QVERIFY(!w.fraGoto->isHidden());
        QCOMPARE(w.fraGoto->y(), top - offset);
        QCOMPARE(w.tboxPageNumber->text(), QStringLiteral("3"));
        QCOMPARE(w.vsPages->maximum(), 12);
        QCOMPARE(w.vsPages->value(), 3);

        w.tboxPageNumber->setText(typed);
        w.btnFind->click();
        QCOMPARE(w.tboxPageNumber->text(), textAfter);
        if (accepted) {
            QCOMPARE(h.editor().pageIndex(), typed.toInt() - 1);
            QCOMPARE(h.panel("PageNumber"), typed + " of 12");
            QCOMPARE(w.vsPages->value(), typed.toInt());
            QVERIFY(!w.fraGoto->isHidden());
        } else {
            QCOMPARE(h.editor().pageIndex(), 2);
            QCOMPARE(w.tboxPageNumber->selectedText(), textAfter);
        }

        button->trigger();
        QVERIFY(w.fraGoto->isHidden());
        QCOMPARE(w.fraGoto->y(), top + offset);
    }

    void goToPageTyping_data() {
        columns<QString, QString>("keys", "text");
        addRow("signs and letters are dropped", "1-2+3.a4 ", "1234");
        addRow("backspace works", "12\b3", "13");
        addRow("nine digits at most", "12345678901", "123456789");
    }
    void goToPageTyping() {
        auto [keys, text] = fetch<QString, QString>("keys", "text");
        ViewerHarness h;
        QLineEdit* box = h.w().tboxPageNumber;
        h.load(h.document("a.tif", 12));
        h.ocr().setValue("GoToPage", 1);
        h.viewer->OcrToolbar_ButtonClick("GoToPage");
        box->clear();
        for (const QChar c : keys) {
            const int key = c == '\b' ? int(Qt::Key_Backspace) : int(c.toUpper().unicode());
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box, &press);
        }
        QCOMPARE(box->text(), text);

        // A right-click empties the clipboard, so nothing but digits can be pasted.
        QApplication::clipboard()->setText("not a number");
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), b, b,
                              Qt::NoModifier);
            QApplication::sendEvent(box, &press);
            QCOMPARE(QApplication::clipboard()->text().isEmpty(), b == Qt::RightButton);
        }
    }
};

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
