// Every failure the recognition engine can detect, each caused for real. Runs without a
// QGuiApplication, as a command-line host would.

#include "ocr/tesseractengine.h"
#include "imaging/safefilewriter.h"
#include "support/fixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include "support/rows.h"

using ktdv::test::columns;
using ktdv::test::fetch;

using namespace ktdv;

namespace {

const QString kSystemData = QStringLiteral("/usr/share/tesseract-ocr/5/tessdata");

QString blankPage(const QString& path, QSize size) {
    QImage page(size, QImage::Format_Mono);
    page.fill(1);
    page.setDotsPerMeterX(11811);
    page.setDotsPerMeterY(11811);
    return test::writeImage(path, page, "png");
}

// A TIFF whose only strip lies beyond the end of the file.
QString tiffWithMissingStrip(const QString& path) {
    QByteArray b("II*\0\x08\0\0\0", 8);
    auto u16 = [&b](int v) {
        b.append(char(v & 0xFF));
        b.append(char((v >> 8) & 0xFF));
    };
    auto u32 = [&](quint32 v) {
        u16(int(v & 0xFFFF));
        u16(int(v >> 16));
    };
    auto entry = [&](int tag, int type, quint32 count, quint32 value) {
        u16(tag);
        u16(type);
        u32(count);
        u32(value);
    };
    u16(8);
    entry(256, 3, 1, 64);          // width
    entry(257, 3, 1, 64);          // height
    entry(258, 3, 1, 1);           // bits per sample
    entry(259, 3, 1, 1);           // no compression
    entry(262, 3, 1, 0);           // white is zero
    entry(273, 4, 1, 0x00100000);  // strip offset past the end
    entry(278, 3, 1, 64);          // rows per strip
    entry(279, 4, 1, 512);         // strip bytes
    u32(0);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(b) != b.size())
        return {};
    return path;
}

}  // namespace

class TestOcrEngineErrors : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { imaging::faults::reset(); }

    void initialiseFindsLanguageData_data() {
        // doZedContent: "" none, "copy", "garbage"
        columns<QString, bool, QString, int, bool>("doZedContent", "systemData", "language",
                                                   "expected", "fromDoZed");
        QTest::newRow("system data") << "" << true << "eng" << 0 << false;
        QTest::newRow("doZed data preferred") << "copy" << true << "eng" << 0 << true;
        QTest::newRow("no data anywhere") << "" << false << "eng" << -2 << false;
        QTest::newRow("language not installed") << "" << true << "xyz" << -3 << false;
        QTest::newRow("corrupt language data") << "garbage" << true << "eng" << -4 << false;
    }
    void initialiseFindsLanguageData() {
        auto [doZedContent, systemData, language, expected, fromDoZed] =
            fetch<QString, bool, QString, int, bool>("doZedContent", "systemData", "language",
                                                     "expected", "fromDoZed");
        QTemporaryDir app;
        const QString doZed = app.filePath(QStringLiteral("doZed"));
        if (!doZedContent.isEmpty())
            QVERIFY(QDir().mkpath(doZed));
        if (doZedContent == QLatin1String("copy")) {
            QVERIFY(QFile::copy(kSystemData + QStringLiteral("/eng.traineddata"),
                                doZed + QStringLiteral("/eng.traineddata")));
        } else if (doZedContent == QLatin1String("garbage")) {
            QFile f(doZed + QStringLiteral("/eng.traineddata"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'x'));
        }
        TesseractEngine engine;
        engine.setLanguage(language);
        engine.setSystemDataFolders(systemData ? QStringList{kSystemData} : QStringList{});
        QString folder = app.path() + QLatin1Char('/');
        QCOMPARE(engine.initialise(folder), expected);
        if (expected == 0)
            QCOMPARE(QDir(engine.dataFolder()) == QDir(doZed), fromDoZed);
    }

    void convertFailures_data() {
        columns<QString, int, int, int>("situation", "destination", "format", "expected");
        QTest::newRow("not initialised") << "uninitialised" << 0 << 2 << -4;
        QTest::newRow("missing source") << "missing" << 0 << 2 << -5;
        QTest::newRow("not a document") << "garbage" << 0 << 2 << -6;
        QTest::newRow("page data missing") << "missing strip" << 0 << 2 << -7;
        QTest::newRow("page too wide to analyse") << "too wide" << 0 << 2 << -8;
        QTest::newRow("format without a writer") << "blank" << 0 << 8 << -10;
        QTest::newRow("no clipboard without a GUI") << "blank" << 1 << 2 << -11;
        QTest::newRow("output file read-only") << "read-only" << 0 << 2 << -12;
        QTest::newRow("write fails") << "write fails" << 0 << 12 << -13;
        QTest::newRow("blank page to a file") << "blank" << 0 << 2 << 0;
    }
    void convertFailures() {
        auto [situation, destination, format, expected] =
            fetch<QString, int, int, int>("situation", "destination", "format", "expected");
        QTemporaryDir dir;
        QString source = blankPage(dir.filePath(QStringLiteral("blank.png")), QSize(600, 400));
        QString target = dir.filePath(QStringLiteral("out.txt"));
        TesseractEngine engine;
        engine.setSystemDataFolders({kSystemData});
        QString folder = dir.path() + QLatin1Char('/');
        if (situation != QLatin1String("uninitialised"))
            QCOMPARE(engine.initialise(folder), 0);
        if (situation == QLatin1String("missing")) {
            source = dir.filePath(QStringLiteral("nothing.tif"));
        } else if (situation == QLatin1String("garbage")) {
            source = dir.filePath(QStringLiteral("text.tif"));
            QFile f(source);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("this is not an image at all\n");
        } else if (situation == QLatin1String("missing strip")) {
            source = tiffWithMissingStrip(dir.filePath(QStringLiteral("strip.tif")));
        } else if (situation == QLatin1String("too wide")) {
            source = blankPage(dir.filePath(QStringLiteral("wide.png")), QSize(40000, 60));
        } else if (situation == QLatin1String("write fails")) {
            imaging::faults::failAt(imaging::faults::Step::Write);
        }
        QVERIFY(!source.isEmpty());
        const QByteArray before = QByteArrayLiteral("the user's earlier file\n");
        {
            QFile f(target);
            if (f.open(QIODevice::WriteOnly))
                f.write(before);
        }
        if (situation == QLatin1String("read-only"))
            QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup));
        const int code = engine.convert(
            source, destination == 1 ? QStringLiteral("notused") : target, destination, format);
        QCOMPARE(code, expected);
        if (expected != 0 && QFile::exists(target)) {
            // A failed conversion leaves an existing file as it was.
            QCOMPARE(test::readAll(target), before);
        }
    }
};

QTEST_GUILESS_MAIN(TestOcrEngineErrors)
#include "tst_ocrengine_errors.moc"
