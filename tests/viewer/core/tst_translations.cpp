// The viewer's texts in the user's language, seen as a user meets them on the real control:
// a toolbar button's tooltip, a status panel, a pop-up menu, a message box, the
// conversion dialog and the reason the empty view gives for a file it cannot show. CMake runs this
// with LANG=C (the English texts, exactly), with LANG=de_DE.UTF-8 (German), with the language
// chosen by the host, and with automatic translation switched off; KTDV_EXPECT=de says German is
// expected.
#include <QAction>
#include <QMap>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include "support/fixtures.h"
#include "support/realfactory.h"
#include "support/rows.h"
#include "viewer/core/statusbar.h"
#include "viewer/core/translations.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"

using namespace ktdv;
using namespace ktdv::test;

class TestTranslations : public QObject {
    Q_OBJECT
    QMap<QString, QString> m_seen;

    static void click(ViewerControl& v, const char* bar, const char* key) {
        QTest::mouseClick(v.findChild<QToolBar*>(bar)->findChild<QWidget*>(key), Qt::LeftButton);
    }

private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsSet("KTDV_LANGUAGE"))
            QVERIFY(translations::setLanguage(qEnvironmentVariable("KTDV_LANGUAGE")));
        if (qEnvironmentVariable("KTDV_AUTOMATIC") == "off")
            translations::setAutomatic(false);
        QTemporaryDir dir;
        auto factory = std::make_shared<RealFactory>();
        factory->makeEngine = [] {
            auto engine = std::make_unique<RecordingEngine>();
            engine->convertResult = -14;
            return engine;
        };
        ViewerControl v(factory);
        v.resize(900, 700);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        v.setUserPermission(24);
        v.OpenImage(writeTiff(dir.filePath("two.tif"), 2));
        m_seen["tooltip"] =
            v.findChild<QToolBar*>("MainToolbar")->findChild<QWidget*>("NextPage")->toolTip();
        m_seen["page"] = v.widgets().statusBar->text("PageNumber");
        m_seen["undo"] = v.findChild<QAction*>("actUndo")->toolTip();
        click(v, "OcrToolbar", "Stamp");
        QCOMPARE(factory->prompts->menus.size(), 1);
        m_seen["menu"] = factory->prompts->menus[0].actions.join(", ");
        click(v, "OcrToolbar", "OcrToClipboard");
        QCOMPARE(factory->prompts->messages.size(), 1);
        m_seen["message"] = factory->prompts->messages[0];
        click(v, "OcrToolbar", "OcrToFile");
        QCOMPARE(factory->prompts->fileRequests.size(), 1);
        const QStringList filter = factory->prompts->fileRequests[0].filter.split('|');
        m_seen["title"] = factory->prompts->fileRequests[0].title;
        m_seen["text filter"] = filter.value(2);
        m_seen["last filter"] = filter.value(22);
        QCOMPARE(filter.value(23), "*.pdf");
        QVERIFY(!writeBytes(dir.filePath("notes.tif"), "meeting notes\n").isEmpty());
        v.OpenImage(dir.filePath("notes.tif"));
        m_seen["reason"] = factory->page->document().loadFailure();
    }

    void texts_data() {
        columns<QString, QString>("english", "german");
        addRow("tooltip", QString("Next Page"), QString("Nächste Seite"));
        addRow("page", QString("1 of 2"), QString("1 von 2"));
        addRow("undo", QString("Nothing to undo."), QString("Nichts rückgängig zu machen."));
        addRow("menu", QString("Approved, Draft, Received, Rejected"),
               QString("Genehmigt, Entwurf, Eingegangen, Abgelehnt"));
        addRow("message", QString("ZidaDodi Error (Clipboard): (-14) - Clipboard is empty"),
               QString("ZidaDodi-Fehler (Zwischenablage): (-14) - Zwischenablage ist leer"));
        addRow("title", QString("Convert Document to File"),
               QString("Dokument in Datei umwandeln"));
        addRow("text filter", QString("ANSI Text - Unformatted (*.txt)"),
               QString("ANSI-Text - unformatiert (*.txt)"));
        addRow("last filter", QString("PDF with annotations (*.pdf)"),
               QString("PDF mit Anmerkungen (*.pdf)"));
        addRow("reason", QString("notes.tif could not be shown.\nNot a picture."),
               QString("notes.tif konnte nicht angezeigt werden.\nKein Bild."));
    }
    void texts() {
        auto [english, german] = fetch<QString, QString>("english", "german");
        const bool de = qEnvironmentVariable("KTDV_EXPECT") == "de";
        QCOMPARE(m_seen.value(QTest::currentDataTag()), de ? german : english);
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
