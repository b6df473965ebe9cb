// Annotations drawn with the mouse on the real page view, their styles chosen from the
// toolbar's menus, stored in a generated G4 TIFF, and deleted again through the pop-up and
// its confirmation; the Properties pop-up and stamp dates.
#include <QAbstractScrollArea>
#include <QAction>
#include <QDialog>
#include <QPlainTextEdit>
#include <QtTest>

#include "imaging/annotationstore.h"
#include "support/fixtures.h"
#include "support/realfactory.h"
#include "support/viewerharness.h"
#include "viewer/annotations/annotationinteraction.h"

using namespace ktdv;
using namespace ktdv::test;
using imaging::Annotation;

class TestAnnotationsReal : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::shared_ptr<RealFactory> m_factory;
    std::unique_ptr<ViewerControl> m_viewer;
    QString m_path;

    QWidget* page() {
        return static_cast<QAbstractScrollArea*>(m_viewer->widgets().editor->widget())->viewport();
    }
    void tool(const QString& key) {
        Toolbar& ocr = *m_viewer->widgets().ocrToolbar;
        for (int pos : ocr.positions(AnnotationTools))
            ocr.setValue(pos, 0);
        ocr.setValue(key, 1);
    }
    QList<Annotation> stored(int index = 1) {
        return imaging::AnnotationStore::load(m_path, index).annotations;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // Page 2 of a two-page G4 TIFF shown at full size, annotation allowed.
    void init() {
        moduleState() = ViewerModuleState();
        m_factory = std::make_shared<RealFactory>();
        m_path = writeTiff(m_dir.filePath(QStringLiteral("doc.tif")), 2);
        m_viewer = std::make_unique<ViewerControl>(m_factory);
        m_viewer->setUserPermission(24);
        m_viewer->resize(800, 600);
        m_viewer->show();
        m_viewer->OpenImage(m_path);
        m_viewer->MainToolbar_ButtonClick(QStringLiteral("NextPage"));
        QVERIFY(QTest::qWaitForWindowExposed(m_viewer.get()));
    }
    void cleanup() { m_viewer.reset(); }

    // A drag with a tool (or in scroll mode) from `from` to the opposite corner of
    // (60,60)..(200,160); a press and release at one point is a click. A text frame gets
    // `typed` and Enter, or Escape when nothing is typed.
    void dragShapes_data() {
        columns<QString, QPoint, int, QString>("tool", "from", "kind", "typed");  // kind -1: none
        addRow("rectangle, kind unset: filled", QString("Rectangle"), QPoint(60, 60),
               int(Annotation::FilledRect), QString());
        addRow("highlight dragged up and to the left", QString("Highlight"), QPoint(200, 160),
               int(Annotation::Highlight), QString());
        addRow("click without movement: nothing", QString("Rectangle"), QPoint(130, 110), -1,
               QString());
        addRow("scroll mode pans, adds nothing", QString("Scroll"), QPoint(60, 60), -1, QString());
        addRow("text frame typed", QString("Text"), QPoint(60, 60), int(Annotation::Text),
               QString("Seen"));
        addRow("text frame left with Escape", QString("Text"), QPoint(60, 60), -1, QString());
    }
    void dragShapes() {
        auto [key, from, kind, typed] =
            fetch<QString, QPoint, int, QString>("tool", "from", "kind", "typed");
        const QByteArray before = readAll(m_path);
        if (key == QLatin1String("Scroll"))
            m_viewer->MainToolbar_ButtonClick(key);
        else
            tool(key);
        const QPoint to = QPoint(260, 220) - from;  // from (130,110): a click
        QTest::mousePress(page(), Qt::LeftButton, {}, from);
        QTest::mouseMove(page(), (from + to) / 2);
        QTest::mouseMove(page(), to);
        QTest::mouseRelease(page(), Qt::LeftButton, {}, to);
        if (key == QLatin1String("Text")) {
            auto* frame = page()->findChild<QPlainTextEdit*>("textFrameEditor");
            QVERIFY(frame && stored().isEmpty());  // stored only once typed
            QTest::keyClicks(frame, typed);
            QTest::keyClick(frame, typed.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
        }
        const QList<Annotation> list = stored();
        QCOMPARE(list.size(), kind < 0 ? 0 : 1);
        // Taken back with Undo.
        auto* undo = m_viewer->findChild<QAction*>("actUndo");
        QCOMPARE(undo->text(), kind < 0 ? "Undo" : "Undo Add Annotation");
        undo->trigger();
        QVERIFY(stored().isEmpty());
        QCOMPARE(m_viewer->widgets().statusBar->text("PageNumber"), QString("2 of 2"));
        if (kind < 0)
            QCOMPARE(readAll(m_path), before);  // the file as it was
        if (kind >= 0) {
            QCOMPARE(list[0].text, typed);
            QCOMPARE(int(list[0].kind), kind);
            QVERIFY((list[0].rect.topLeft() - QPointF(60, 60)).manhattanLength() <= 2);
            QVERIFY((list[0].rect.bottomRight() - QPointF(200, 160)).manhattanLength() <= 2);
        }
    }

    void drawStampAndDelete() {
        // Each tool's style is chosen from the menu its button offers.
        Toolbar& ocr = *m_viewer->widgets().ocrToolbar;
        m_factory->prompts->menuChoices << QStringLiteral("Hollow Rectangle")
                                        << QStringLiteral("Received");
        QTest::mouseClick(ocr.buttonWidget(ocr.position(QStringLiteral("Rectangle"))),
                          Qt::LeftButton);
        QTest::mousePress(page(), Qt::LeftButton, {}, QPoint(60, 60));
        QTest::mouseMove(page(), QPoint(130, 110));
        QTest::mouseMove(page(), QPoint(200, 160));
        QTest::mouseRelease(page(), Qt::LeftButton, {}, QPoint(200, 160));
        QTest::mouseClick(ocr.buttonWidget(ocr.position(QStringLiteral("Stamp"))), Qt::LeftButton);
        QTest::mouseClick(page(), Qt::LeftButton, {}, QPoint(300, 300));
        QCOMPARE(m_factory->prompts->menus.size(), 2);

        QList<Annotation> list = stored();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[0].kind, Annotation::HollowRect);
        QCOMPARE(list[1].kind, Annotation::Stamp);
        QCOMPARE(list[1].text,
                 "Received " + QLocale().toString(QDate::currentDate(), "dd/MMM/yyyy"));
        QVERIFY(stored(0).isEmpty());
        QCOMPARE(m_viewer->widgets().editor->document().pageIndex(), 1);  // reloaded where it was

        // No keeps the rectangle, Yes deletes it; a click beside it offers no menu.
        tool(QStringLiteral("Select"));
        for (const char* answer : {"btnNo", "btnYes"}) {
            m_factory->prompts->menuChoices << QStringLiteral("Delete Annotation");
            m_factory->prompts->dialogScripts
                << [answer](QDialog* d) { ScriptedPromptService::clickButton(d, answer); };
            QTest::mouseClick(page(), Qt::LeftButton, {}, QPoint(120, 100));
        }
        QCOMPARE(m_factory->prompts->dialogs, (QStringList{"frmMsgBox", "frmMsgBox"}));
        list = stored();
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0].kind, Annotation::Stamp);
        m_factory->prompts->clearRecords();
        QTest::mouseClick(page(), Qt::LeftButton, {}, QPoint(120, 100));
        QCOMPARE(m_factory->prompts->menus.size(), 0);
    }

    // A right-click over Highlight offers "Properties", which opens the highlight's style
    // dialog; over Text nothing is offered.
    void properties() {
        Toolbar& ocr = *m_viewer->widgets().ocrToolbar;
        QStringList titles;
        m_factory->prompts->menuChoices << QStringLiteral("Properties");
        m_factory->prompts->dialogScripts << [&titles](QDialog* d) { titles << d->windowTitle(); };
        for (const char* key : {"Text", "Highlight"})
            QTest::mouseClick(ocr.buttonWidget(ocr.position(QLatin1String(key))), Qt::RightButton,
                              {}, QPoint(4, 4));
        QCOMPARE(titles, QStringList{QStringLiteral("Highlight Properties")});
        QCOMPARE(m_factory->prompts->menus.size(), 1);
    }

    // The date of a stamp follows the locale's month names and date separator.
    void stampDate() {
        QCOMPARE(AnnotationInteraction::StampText(1, QDate(2026, 12, 5), QLocale(QLocale::Swedish)),
                 QStringLiteral("Approved 05-dec.-2026"));
        // An abbreviation ending in the separator does not double it.
        QCOMPARE(AnnotationInteraction::StampText(3, QDate(2026, 12, 5), QLocale(QLocale::German)),
                 QStringLiteral("Received 05.Dez.2026"));
    }
};

QTEST_MAIN(TestAnnotationsReal)
#include "tst_annotationsreal.moc"
