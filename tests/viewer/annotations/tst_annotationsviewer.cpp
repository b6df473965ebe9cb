// The viewer's annotation handling on recording doubles: stamp dates and the Properties
// pop-up (drawing, style menus, saving and deleting with the mouse on a real file:
// tst_annotationsreal).
#include <QtTest>

#include "support/viewerharness.h"
#include "viewer/annotations/annotationinteraction.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {

struct Annotating : ViewerHarness {
    QString path;
    // A three-page TIFF with page 2 (index 1) shown, annotation allowed, Select mode.
    Annotating() {
        viewer->setUserPermission(24);
        path = document(QStringLiteral("doc.tif"), 3);
        load(path, 1);
        editor().calls.clear();
        editor().annotationCalls.clear();
        prompts().clearRecords();
    }
};

}  // namespace

class TestAnnotationsViewer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // The date of a stamp follows the locale's month names and date separator.
    void stampDate() {
        QCOMPARE(AnnotationInteraction::StampText(1, QDate(2026, 12, 5), QLocale(QLocale::Swedish)),
                 QStringLiteral("Approved 05-dec.-2026"));
        // An abbreviation ending in the separator does not double it.
        QCOMPARE(AnnotationInteraction::StampText(3, QDate(2026, 12, 5), QLocale(QLocale::German)),
                 QStringLiteral("Received 05.Dez.2026"));
    }

    // Releases over the annotation toolbar: other buttons than the left over Rectangle,
    // Highlight or Stamp offer "Properties", which opens that tool's style dialog.
    void properties_data() {
        columns<Qt::MouseButton, QString, QString>("button", "over", "dialog");
        addRow("right over Highlight", Qt::RightButton, "Highlight", "highlightProperties");
        addRow("right over Text", Qt::RightButton, "Text", "");
    }
    void properties() {
        auto [button, over, dialog] =
            fetch<Qt::MouseButton, QString, QString>("button", "over", "dialog");
        Annotating t;
        t.viewer->show();
        QVERIFY(QTest::qWaitForWindowExposed(t.viewer.get()));
        t.prompts().menuChoices << QStringLiteral("Properties");
        QTest::mouseClick(t.ocr().buttonWidget(t.ocr().position(over)), button, {}, QPoint(4, 4));
        QCOMPARE(only(t.editor().calls,
                      {"rectangleProperties", "highlightProperties", "stampProperties"})
                     .join(' '),
                 dialog);
        QCOMPARE(t.prompts().menus.size(), dialog.isEmpty() ? 0 : 1);
    }
};

QTEST_MAIN(TestAnnotationsViewer)
#include "tst_annotationsviewer.moc"
