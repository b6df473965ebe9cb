// The control through its public members only, as a host drives it: a settings file edited
// by hand into text that reads as no value still lets documents open and close, with no
// member throwing and no message shown.
#include "ktdocview/ctlktdocview.h"
#include "platform/settingskeys.h"
#include "support/fixtures.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace ktdv;

class TestCtlKTDocView : public QObject {
    Q_OBJECT
    QTemporaryDir m_home;

private slots:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.path());
    }

    void unreadableSettings() {
        {
            QSettings file(QSettings::UserScope, QStringLiteral("Tavrin Networks"),
                           QStringLiteral("Tavrin Networks"));
            for (const settings::Setting& s : settings::all)
                file.setValue(QStringLiteral("Common/") + QLatin1String(s.key),
                              QStringLiteral("7e9999 not a value"));
        }
        const QString path = test::writeTiff(m_home.filePath(QStringLiteral("two.tif")), 2, {});
        QVERIFY(!path.isEmpty());
        // Any message box is recorded and closed, so nothing waits for a person.
        QStringList messages;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&messages] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages << box->text();
                box->reject();
            }
        });
        answer.start(10);

        ctlKTDocView viewer;
        viewer.resize(900, 650);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        const auto panel = [&viewer](const char* key) {
            const auto* label = viewer.findChild<QLabel*>(QLatin1String(key));
            return label ? label->text() : QStringLiteral("(no panel)");
        };
        // Undo and Redo for the host's menus, also found by name; nothing to undo yet.
        QCOMPARE(viewer.findChild<QAction*>(QStringLiteral("actUndo")), viewer.undoAction());
        QVERIFY(viewer.redoAction()->objectName() == "actRedo" &&
                !viewer.redoAction()->isEnabled());
        for (int round = 0; round < 2; ++round) {
            viewer.setUserPermission(24);
            viewer.OpenImage(path);
            QCOMPARE(panel("PageNumber"), QStringLiteral("1 of 2"));
            viewer.Refresh();
            viewer.CloseImage();
            QCOMPARE(panel("PageNumber"), QString());
        }
        QCOMPARE(messages, QStringList());
    }
};

QTEST_MAIN(TestCtlKTDocView)
#include "tst_ctlktdocview.moc"
