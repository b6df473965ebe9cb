// Every failure the recognition engine can detect, each caused for real. Runs without a
// QGuiApplication, as a command-line host would.

#include "imaging/safefilewriter.h"
#include "ocr/tesseractengine.h"
#include "support/fixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include "support/rows.h"

using ktdv::test::addRow;
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

// A 64 x 64 bilevel TIFF whose only strip lies beyond the end of the file.
const QByteArray kMissingStripTiff = QByteArray::fromHex(
    "49492a000800000008000001030001000000400000000101030001000000400000000201"
    "030001000000010000000301030001000000010000000601030001000000000000001101"
    "040001000000000010001601030001000000400000001701040001000000000200000000"
    "0000");

}  // namespace

class TestOcrEngineErrors : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { imaging::faults::reset(); }

    void initialiseFindsLanguageData_data() {
        // doZedContent: "" none, "copy", "garbage"
        columns<QString, bool, QString, int, bool>("doZedContent", "systemData", "language",
                                                   "expected", "fromDoZed");
        addRow("system data", "", true, "eng", 0, false);
        addRow("doZed data preferred", "copy", true, "eng", 0, true);
        addRow("no data anywhere", "", false, "eng", -2, false);
        addRow("language not installed", "", true, "xyz", -3, false);
        addRow("corrupt language data", "garbage", true, "eng", -4, false);
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
            QVERIFY(!test::writeBytes(doZed + "/eng.traineddata", QByteArray(4096, 'x')).isEmpty());
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
        addRow("not initialised", "uninitialised", 0, 2, -4);
        addRow("missing source", "missing", 0, 2, -5);
        addRow("not a document", "garbage", 0, 2, -6);
        addRow("page data missing", "missing strip", 0, 2, -7);
        addRow("page too wide to analyse", "too wide", 0, 2, -8);
        addRow("format without a writer", "blank", 0, 8, -10);
        addRow("no clipboard without a GUI", "blank", 1, 2, -11);
        addRow("output file read-only", "read-only", 0, 2, -12);
        addRow("write fails", "write fails", 0, 12, -13);
        addRow("blank page to a file", "blank", 0, 2, 0);
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
            source = test::writeBytes(dir.filePath(QStringLiteral("text.tif")), "not an image\n");
        } else if (situation == QLatin1String("missing strip")) {
            source = test::writeBytes(dir.filePath(QStringLiteral("strip.tif")), kMissingStripTiff);
        } else if (situation == QLatin1String("too wide")) {
            source = blankPage(dir.filePath(QStringLiteral("wide.png")), QSize(40000, 60));
        } else if (situation == QLatin1String("write fails")) {
            imaging::faults::failAt(imaging::faults::Step::Write);
        }
        QVERIFY(!source.isEmpty());
        const QByteArray before = QByteArrayLiteral("the user's earlier file\n");
        QVERIFY(!test::writeBytes(target, before).isEmpty());
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
