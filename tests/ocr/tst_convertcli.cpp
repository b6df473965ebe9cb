// The converter command run as a user runs it.

#include "ocrtestutil.h"
#include "support/fixtures.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include "support/rows.h"

using ktdv::test::columns;
using ktdv::test::fetch;

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
    void runs_data() {
        // arguments: split at blanks; %D = the temporary folder; outputs: files that must exist
        // afterwards, blank-separated; outputHas: text the first output holds
        columns<QString, int, QString, QString, QString>("arguments", "exitCode", "stderrHas",
                                                         "outputs", "outputHas");
        auto row = [](const char* name, const char* args, int code, const char* err,
                      const char* outs, const char* has) {
            QTest::newRow(name) << QString(args) << code << QString(err) << QString(outs)
                                << QString(has);
        };
        row("format from the extension", "%D/a.png -o %D/a.html", 0, "", "a.html", "ocrx_word");
        row("several inputs into a folder", "%D/a.png %D/b.png -f ansi -j 2 -o %D/out", 0, "",
            "out/a.txt out/b.txt", "Alpha");
        row("missing input reported, others converted", "%D/none.tif %D/b.png -o %D/out", 1,
            "ktdocview-convert: File does not exist (", "out/b.txt", "Bravo");
        row("page list", "%D/a.png -p 1,1-1 -o %D/a.txt", 0, "", "a.txt", "Alpha");
        row("bad page list", "%D/a.png -p 3-1 -o %D/x.txt", 2, "bad page list", "", "");
        row("no language data", "%D/a.png -l qqq -o %D/x.txt", 1,
            "ktdocview-convert: Failed loading library", "", "");
        row("unknown format", "%D/a.png -f doc -o %D/x.txt", 2, "unknown format", "", "");
        row("several inputs need a folder", "%D/a.png %D/b.png -o %D/x.txt", 2, "must be a folder",
            "", "");
    }
    void runs() {
        auto [arguments, exitCode, stderrHas, outputs, outputHas] =
            fetch<QString, int, QString, QString, QString>("arguments", "exitCode", "stderrHas",
                                                           "outputs", "outputHas");
        QTemporaryDir dir;
        QVERIFY(!page(dir, QStringLiteral("a.png"), QStringLiteral("Alpha page here")).isEmpty());
        QVERIFY(!page(dir, QStringLiteral("b.png"), QStringLiteral("Bravo page there")).isEmpty());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("out")));
        const test::ToolRun run =
            test::runTool(kBinary, arguments.replace("%D", dir.path()).split(QLatin1Char(' ')));
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(QString::fromLocal8Bit(run.err).contains(stderrHas), run.err.constData());
        const QStringList files = outputs.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString& out : files)
            QVERIFY2(QFile::exists(dir.filePath(out)), qPrintable(out));
        if (!files.isEmpty())
            QVERIFY(test::readAll(dir.filePath(files.first())).contains(outputHas.toUtf8()));
    }
};

QTEST_MAIN(TestConvertCli)
#include "tst_convertcli.moc"
