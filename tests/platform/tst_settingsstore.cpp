#include "platform/settingsstore.h"
#include "platform/viewererror.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <optional>

using namespace ktdv;

namespace {

enum class Reader { Bool, Int16, Int32, Double };

// Reads key "k" with the given reader; the error number when the read throws.
struct Outcome {
    double value = 0;
    int error = 0;
};

Outcome readAs(const SettingsStore& s, Reader r) {
    try {
        switch (r) {
            case Reader::Bool:
                return {s.readBool(QStringLiteral("k"), false) ? 1.0 : 0.0, 0};
            case Reader::Int16:
                return {static_cast<double>(s.readInt16(QStringLiteral("k"), -7)), 0};
            case Reader::Int32:
                return {static_cast<double>(s.readInt32(QStringLiteral("k"), -7)), 0};
            case Reader::Double:
                return {s.readDouble(QStringLiteral("k"), -7.5), 0};
        }
    } catch (const ViewerError& e) {
        return {0, e.number()};
    }
    return {};
}

}  // namespace

Q_DECLARE_METATYPE(Reader)

class TestSettingsStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_home.isValid());
        // Keep the user's real settings out of reach.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_home.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_home.path());
    }

    void conversions_data() {
        QTest::addColumn<Reader>("reader");
        QTest::addColumn<QString>("stored");  // "<absent>" = key not present
        QTest::addColumn<double>("expected");
        QTest::addColumn<int>("error");

        const QString absent = QStringLiteral("<absent>");
        QTest::newRow("bool absent -> default") << Reader::Bool << absent << 0.0 << 0;
        QTest::newRow("bool True") << Reader::Bool << "True" << 1.0 << 0;
        QTest::newRow("bool false lower") << Reader::Bool << "false" << 0.0 << 0;
        QTest::newRow("bool TRUE upper, blanks") << Reader::Bool << "  TRUE " << 1.0 << 0;
        QTest::newRow("bool numeric 0") << Reader::Bool << "0" << 0.0 << 0;
        QTest::newRow("bool numeric -1") << Reader::Bool << "-1" << 1.0 << 0;
        QTest::newRow("bool numeric 0.5") << Reader::Bool << "0.5" << 1.0 << 0;
        QTest::newRow("bool yes is no bool") << Reader::Bool << "yes" << 0.0 << 13;
        QTest::newRow("bool empty text") << Reader::Bool << "" << 0.0 << 13;

        QTest::newRow("int16 absent -> default") << Reader::Int16 << absent << -7.0 << 0;
        QTest::newRow("int16 plain") << Reader::Int16 << "6" << 6.0 << 0;
        QTest::newRow("int16 negative, blanks") << Reader::Int16 << " -12 " << -12.0 << 0;
        QTest::newRow("int16 2.5 to even") << Reader::Int16 << "2.5" << 2.0 << 0;
        QTest::newRow("int16 3.5 to even") << Reader::Int16 << "3.5" << 4.0 << 0;
        QTest::newRow("int16 -2.5 to even") << Reader::Int16 << "-2.5" << -2.0 << 0;
        QTest::newRow("int16 exponent") << Reader::Int16 << "1E3" << 1000.0 << 0;
        QTest::newRow("int16 hex") << Reader::Int16 << "&H1F" << 31.0 << 0;
        QTest::newRow("int16 hex FFFF is -1") << Reader::Int16 << "&HFFFF" << -1.0 << 0;
        QTest::newRow("int16 octal") << Reader::Int16 << "&O17" << 15.0 << 0;
        QTest::newRow("int16 max") << Reader::Int16 << "32767" << 32767.0 << 0;
        QTest::newRow("int16 min") << Reader::Int16 << "-32768" << -32768.0 << 0;
        QTest::newRow("int16 32767.5 rounds over") << Reader::Int16 << "32767.5" << 0.0 << 6;
        QTest::newRow("int16 overflow") << Reader::Int16 << "32768" << 0.0 << 6;
        QTest::newRow("int16 negative overflow") << Reader::Int16 << "-32769" << 0.0 << 6;
        QTest::newRow("int16 hex long overflow") << Reader::Int16 << "&H10000" << 0.0 << 6;
        QTest::newRow("int16 text") << Reader::Int16 << "six" << 0.0 << 13;
        QTest::newRow("int16 True is no number") << Reader::Int16 << "True" << 0.0 << 13;
        QTest::newRow("int16 trailing junk") << Reader::Int16 << "6px" << 0.0 << 13;
        QTest::newRow("int16 lone sign") << Reader::Int16 << "-" << 0.0 << 13;
        QTest::newRow("int16 bad exponent") << Reader::Int16 << "1e" << 0.0 << 13;
        QTest::newRow("int16 bad hex") << Reader::Int16 << "&HXYZ" << 0.0 << 13;
        QTest::newRow("int16 arabic-indic digits")
            << Reader::Int16 << QString::fromUtf8("\u0661") << 0.0 << 13;

        QTest::newRow("int32 absent -> default") << Reader::Int32 << absent << -7.0 << 0;
        QTest::newRow("int32 colour") << Reader::Int32 << "16711680" << 16711680.0 << 0;
        QTest::newRow("int32 beyond int16") << Reader::Int32 << "40000" << 40000.0 << 0;
        QTest::newRow("int32 max") << Reader::Int32 << "2147483647" << 2147483647.0 << 0;
        QTest::newRow("int32 overflow") << Reader::Int32 << "2147483648" << 0.0 << 6;
        QTest::newRow("int32 hex 8 digits") << Reader::Int32 << "&HFFFFFFFF" << -1.0 << 0;
        QTest::newRow("int32 text") << Reader::Int32 << "red" << 0.0 << 13;

        QTest::newRow("double absent -> default") << Reader::Double << absent << -7.5 << 0;
        QTest::newRow("double one") << Reader::Double << "1" << 1.0 << 0;
        QTest::newRow("double fraction") << Reader::Double << "0.25" << 0.25 << 0;
        QTest::newRow("double leading dot") << Reader::Double << ".5" << 0.5 << 0;
        QTest::newRow("double D exponent") << Reader::Double << "2D2" << 200.0 << 0;
        QTest::newRow("double huge") << Reader::Double << "1e400" << 0.0 << 6;
        QTest::newRow("double text") << Reader::Double << "one" << 0.0 << 13;
        QTest::newRow("double nan text") << Reader::Double << "nan" << 0.0 << 13;
    }

    void conversions() {
        QFETCH(Reader, reader);
        QFETCH(QString, stored);
        QFETCH(double, expected);
        QFETCH(int, error);

        const auto store = createMemorySettingsStore();
        if (stored != QLatin1String("<absent>")) {
            store->setValue(QStringLiteral("k"), stored);
        }
        const Outcome out = readAs(*store, reader);
        QCOMPARE(out.error, error);
        if (error == 0) {
            QCOMPARE(out.value, expected);
        }
    }

    void errorCarriesDescription() {
        const auto store = createMemorySettingsStore();
        store->setValue(QStringLiteral("k"), QStringLiteral("x"));
        try {
            store->readInt16(QStringLiteral("k"), 1);
            QFAIL("no error");
        } catch (const ViewerError& e) {
            QCOMPARE(e.description(), QStringLiteral("Type mismatch"));
        }
        store->setValue(QStringLiteral("k"), QStringLiteral("99999"));
        try {
            store->readInt16(QStringLiteral("k"), 1);
            QFAIL("no error");
        } catch (const ViewerError& e) {
            QCOMPARE(e.description(), QStringLiteral("Overflow"));
        }
    }

    // Both stores: written values read back as the same text, keys stay apart, and a value
    // written as a Boolean or number is stored as the text a person would type.
    void stores_data() {
        QTest::addColumn<bool>("persistent");
        QTest::newRow("memory") << false;
        QTest::newRow("user") << true;
    }

    void stores() {
        QFETCH(bool, persistent);
        const auto store = persistent ? createUserSettingsStore() : createMemorySettingsStore();
        const QString prefix = QStringLiteral("t%1_").arg(m_round++);
        QVERIFY(!store->contains(prefix + "bThumbs"));
        QCOMPARE(store->readBool(prefix + "bReadOnly", true), true);

        store->writeBool(prefix + "bThumbs", true);
        store->writeBool(prefix + "bReadOnly", false);
        store->writeInt(prefix + "StampType", -3);
        store->setValue(prefix + "path", QStringLiteral("/a, b/c=d;e"));

        QCOMPARE(store->value(prefix + "bThumbs"), QStringLiteral("True"));
        QCOMPARE(store->value(prefix + "bReadOnly"), QStringLiteral("False"));
        QCOMPARE(store->value(prefix + "StampType"), QStringLiteral("-3"));
        QCOMPARE(store->readBool(prefix + "bReadOnly", true), false);
        QCOMPARE(store->readInt16(prefix + "StampType", 1), qint16(-3));
        QCOMPARE(store->value(prefix + "path"), QStringLiteral("/a, b/c=d;e"));

        if (persistent) {
            // A second store sees the values, in section "Common" of the user's file.
            const auto again = createUserSettingsStore();
            QCOMPARE(again->value(prefix + "bThumbs"), QStringLiteral("True"));
            QSettings raw(QSettings::UserScope, QStringLiteral("Tavrin Networks"),
                          QStringLiteral("Tavrin Networks"));
            QVERIFY(raw.fileName().startsWith(m_home.path()));
            QVERIFY(
                raw.fileName().endsWith(QStringLiteral("/Tavrin Networks/Tavrin Networks.conf")));
            QCOMPARE(raw.value("Common/" + prefix + "StampType").toString(), QStringLiteral("-3"));
        }
    }

private:
    QTemporaryDir m_home;
    int m_round = 0;
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
