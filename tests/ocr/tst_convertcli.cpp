// The converter command: its option parsing and the program run as a user runs it.

#include "ocrtestutil.h"
#include "options.h"
#include "support/fixtures.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace ktdv;

namespace {

const QString kBinary = QStringLiteral(KTDV_CONVERT_BINARY);

QString page(const QTemporaryDir& dir, const QString& name, const QString& text) {
    return test::writeImage(
        dir.filePath(name),
        test::renderTextPage({text}, QSize(1800, 500), 300, 14, QStringLiteral("DejaVu Sans")),
        "png");
}

}  // namespace

class TestConvertCli : public QObject {
    Q_OBJECT

private slots:
    void pageLists_data();
    void pageLists();
    void runs_data();
    void runs();
};

void TestConvertCli::pageLists_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QVector<int>>("pages");
    QTest::newRow("ranges and singles") << "1-3,5" << true << QVector<int>{1, 2, 3, 5};
    QTest::newRow("spaces") << " 7 , 2-2" << true << QVector<int>{7, 2};
    QTest::newRow("reversed range") << "3-1" << false << QVector<int>{};
    QTest::newRow("page zero") << "0" << false << QVector<int>{};
    QTest::newRow("empty item") << "1,,2" << false << QVector<int>{};
    QTest::newRow("not a number") << "a-b" << false << QVector<int>{};
}

void TestConvertCli::pageLists() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QVector<int>, pages);
    const auto parsed = convert::parsePages(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid) {
        QCOMPARE(*parsed, pages);
    }
}

void TestConvertCli::runs_data() {
    QTest::addColumn<QStringList>("arguments");  // %D = the temporary folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stderrHas");
    QTest::addColumn<QStringList>("outputs");  // files that must exist afterwards
    QTest::addColumn<QString>("outputHas");    // text the first output holds
    QTest::newRow("format from the extension")
        << QStringList{QStringLiteral("%D/a.png"), QStringLiteral("-o"),
                       QStringLiteral("%D/a.html")}
        << 0 << "" << QStringList{QStringLiteral("a.html")} << "ocrx_word";
    QTest::newRow("several inputs into a folder")
        << QStringList{QStringLiteral("%D/a.png"), QStringLiteral("%D/b.png"), QStringLiteral("-f"),
                       QStringLiteral("ansi"),     QStringLiteral("-j"),       QStringLiteral("2"),
                       QStringLiteral("-o"),       QStringLiteral("%D/out")}
        << 0 << "" << QStringList{QStringLiteral("out/a.txt"), QStringLiteral("out/b.txt")}
        << "Alpha";
    QTest::newRow("missing input reported, others converted")
        << QStringList{QStringLiteral("%D/none.tif"), QStringLiteral("%D/b.png"),
                       QStringLiteral("-o"), QStringLiteral("%D/out")}
        << 1 << "ktdocview-convert: File does not exist ("
        << QStringList{QStringLiteral("out/b.txt")} << "Bravo";
    QTest::newRow("output folder missing")
        << QStringList{QStringLiteral("%D/a.png"), QStringLiteral("-o"),
                       QStringLiteral("%D/no/x.txt")}
        << 1 << "ktdocview-convert: Failed to open export file" << QStringList{} << "";
    QTest::newRow("no language data")
        << QStringList{QStringLiteral("%D/a.png"), QStringLiteral("-l"), QStringLiteral("qqq"),
                       QStringLiteral("-o"), QStringLiteral("%D/x.txt")}
        << 1 << "ktdocview-convert: Failed loading library" << QStringList{} << "";
    QTest::newRow("unknown format")
        << QStringList{QStringLiteral("%D/a.png"), QStringLiteral("-f"), QStringLiteral("doc"),
                       QStringLiteral("-o"), QStringLiteral("%D/x.txt")}
        << 2 << "unknown format" << QStringList{} << "";
    QTest::newRow("several inputs need a folder")
        << QStringList{QStringLiteral("%D/a.png"), QStringLiteral("%D/b.png"), QStringLiteral("-o"),
                       QStringLiteral("%D/x.txt")}
        << 2 << "must be a folder" << QStringList{} << "";
}

void TestConvertCli::runs() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, stderrHas);
    QFETCH(QStringList, outputs);
    QFETCH(QString, outputHas);
    QTemporaryDir dir;
    QVERIFY(!page(dir, QStringLiteral("a.png"), QStringLiteral("Alpha page here")).isEmpty());
    QVERIFY(!page(dir, QStringLiteral("b.png"), QStringLiteral("Bravo page there")).isEmpty());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("out")));
    for (QString& a : arguments) {
        a.replace(QStringLiteral("%D"), dir.path());
    }
    const test::ToolRun run = test::runTool(kBinary, arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(QString::fromLocal8Bit(run.err).contains(stderrHas), run.err.constData());
    for (const QString& out : outputs) {
        QVERIFY2(QFile::exists(dir.filePath(out)), qPrintable(out));
    }
    if (!outputs.isEmpty()) {
        QVERIFY(test::readAll(dir.filePath(outputs.first())).contains(outputHas.toUtf8()));
    }
}

QTEST_MAIN(TestConvertCli)
#include "tst_convertcli.moc"
