// Annotations drawn with the mouse on the real page view, stored in a generated G4 TIFF,
// and deleted again through the pop-up and its confirmation.
#include <QAbstractScrollArea>
#include <QDialog>
#include <QtTest>

#include "imaging/annotationstore.h"
#include "support/fixtures.h"
#include "support/realfactory.h"
#include "support/viewerharness.h"

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

    void drawStampAndDelete() {
        m_factory->settings->setValue(QStringLiteral("intRect"), QStringLiteral("2"));
        m_factory->settings->setValue(QStringLiteral("StampType"), QStringLiteral("3"));
        tool(QStringLiteral("Rectangle"));
        QTest::mousePress(page(), Qt::LeftButton, {}, QPoint(60, 60));
        QTest::mouseMove(page(), QPoint(130, 110));
        QTest::mouseMove(page(), QPoint(200, 160));
        QTest::mouseRelease(page(), Qt::LeftButton, {}, QPoint(200, 160));
        tool(QStringLiteral("Stamp"));
        QTest::mouseClick(page(), Qt::LeftButton, {}, QPoint(300, 300));

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
};

QTEST_MAIN(TestAnnotationsReal)
#include "tst_annotationsreal.moc"
