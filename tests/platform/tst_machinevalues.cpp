#include "platform/inimachinevalues.h"

#include <QDir>
#include <QFile>
#include <QRect>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace ktdv;

class TestMachineValues : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void appPath_data() {
        QTest::addColumn<QVariant>("stored");  // invalid = no value written
        QTest::addColumn<QString>("rawLine");  // written verbatim instead when not empty
        QTest::addColumn<QString>("expected");

        QTest::newRow("text as is") << QVariant(QStringLiteral("/srv/ocr/")) << ""
                                    << "/srv/ocr/";
        QTest::newRow("text with blanks kept") << QVariant(QStringLiteral(" /srv/ocr ")) << ""
                                               << " /srv/ocr ";
        QTest::newRow("text with comma") << QVariant(QStringLiteral("/srv/a,b")) << ""
                                         << "/srv/a,b";
        QTest::newRow("empty text") << QVariant(QString()) << ""
                                    << "";
        QTest::newRow("written integer") << QVariant(42) << ""
                                         << "42";
        QTest::newRow("typed 16-bit integer") << QVariant::fromValue<qint16>(-5) << ""
                                              << "-5";
        QTest::newRow("typed unsigned") << QVariant::fromValue<quint16>(65535) << ""
                                        << "65535";
        QTest::newRow("byte array") << QVariant(QByteArray("\x01\x02", 2)) << ""
                                    << "ERROR";
        QTest::newRow("list") << QVariant(QStringList{"a", "b"}) << ""
                              << "ERROR";
        QTest::newRow("rectangle") << QVariant(QRect(1, 2, 3, 4)) << ""
                                   << "ERROR";
        QTest::newRow("no value") << QVariant() << ""
                                  << "ERROR";
        QTest::newRow("other key only") << QVariant() << "Path=/srv"
                                        << "ERROR";
        QTest::newRow("in a section, not top level") << QVariant() << "[X]\nAppPath=/srv"
                                                     << "ERROR";
        QTest::newRow("raw text line") << QVariant() << "AppPath=/opt/raw dir"
                                       << "/opt/raw dir";
    }

    void appPath() {
        QFETCH(QVariant, stored);
        QFETCH(QString, rawLine);
        QFETCH(QString, expected);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        IniMachineValues values(dir.path(), {});
        const QString file = values.fileFor(QStringLiteral("Brackwater"));
        QCOMPARE(file, dir.filePath(QStringLiteral("Brackwater.conf")));
        if (!rawLine.isEmpty()) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(rawLine.toUtf8() + "\n");
        } else if (stored.isValid()) {
            QSettings s(file, QSettings::IniFormat);
            s.setValue(QStringLiteral("AppPath"), stored);
        }
        QCOMPARE(values.appPath(QStringLiteral("Brackwater")), expected);
        // The other product has no file at all.
        QCOMPARE(values.appPath(QStringLiteral("Selvagard")), QStringLiteral("ERROR"));
    }

    void missingFolderAndProduct() {
        IniMachineValues values(QStringLiteral("/nonexistent/ktdv"), {"/x", "/y"});
        QCOMPARE(values.appPath(QStringLiteral("Brackwater")), QStringLiteral("ERROR"));
        QCOMPARE(values.appPath(QString()), QStringLiteral("ERROR"));
        QCOMPARE(values.fallbackFolders(), QStringList({"/x", "/y"}));
    }

    void systemValues() {
        const auto values = createSystemMachineValues();
        QCOMPARE(values->fallbackFolders(), QStringList({"/opt/Brackwater", "/opt/Selvagard"}));
        QCOMPARE(values->separator(), QStringLiteral("/"));
        // Whatever this machine holds, the answer is a text, never empty for a missing key.
        QVERIFY(!values->appPath(QStringLiteral("NoSuchProduct")).isEmpty());
        auto* ini = dynamic_cast<IniMachineValues*>(values.get());
        QVERIFY(ini);
        QVERIFY(ini->fileFor(QStringLiteral("Brackwater"))
                    .endsWith(QStringLiteral("/Tavrin Networks/Brackwater.conf")));
    }
};

QTEST_GUILESS_MAIN(TestMachineValues)
#include "tst_machinevalues.moc"
