// The converter command run as a user runs it.

#include "ocrtestutil.h"
#include "support/fixtures.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include "support/rows.h"

#include <signal.h>
#include <algorithm>

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

// A document of `pages` pages of one line of text each.
QString document(const QTemporaryDir& dir, const QString& name, const QString& text, int pages) {
    QList<QImage> images;
    for (int p = 0; p < pages; ++p)
        images.append(
            test::renderTextPage({text}, QSize(1800, 400), 300, 14, QStringLiteral("DejaVu Sans")));
    return test::writeMultiPageTiff(dir.filePath(name), images) ? dir.filePath(name) : QString();
}

// Runs the converter with "NAME=value" settings in its environment ("cpus=0": bound to
// the first core).
test::ToolRun convert(const QStringList& arguments, const QStringList& environment = {}) {
    QStringList args = arguments;
    QString program = kBinary;
    for (const QString& setting : environment) {
        const QString name = setting.section(QLatin1Char('='), 0, 0);
        if (name == QLatin1String("cpus"))
            args =
                QStringList{QStringLiteral("-c"), setting.section(QLatin1Char('='), 1), program} +
                args,
            program = QStringLiteral("taskset");
        else
            qputenv(name.toLatin1(), setting.section(QLatin1Char('='), 1).toLatin1());
    }
    const test::ToolRun run = test::runTool(program, args);
    for (const QString& setting : environment)
        qunsetenv(setting.section(QLatin1Char('='), 0, 0).toLatin1());
    return run;
}

// Input -> page count of each dry-run line.
QMap<QString, int> plan(const QByteArray& dryRun) {
    QMap<QString, int> items;
    for (const QByteArray& line : dryRun.split('\n'))
        if (!line.isEmpty())
            items.insert(QString::fromUtf8(line.split('\t').first()),
                         line.split('\t').last().toInt());
    return items;
}

}  // namespace

class TestConvertCli : public QObject {
    Q_OBJECT
private slots:
    void runs_data() {
        // arguments: split at blanks; %D = the temporary folder; outputs: files that must exist
        // afterwards, blank-separated; outputHas: text the first output holds
        // environment: "NAME=value" settings for the converter, blank-separated
        columns<QString, int, QString, QString, QString, QString>(
            "arguments", "exitCode", "stderrHas", "outputs", "outputHas", "environment");
        auto row = [](const char* name, const char* args, int code, const char* err,
                      const char* outs, const char* has, const char* env = "") {
            QTest::newRow(name) << QString(args) << code << QString(err) << QString(outs)
                                << QString(has) << QString(env);
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
        row("one input into a folder", "%D/a.png -f html -o %D/out", 0, "",
            "out/a.html out/report-0.jsonl", "ocrx_word");
        const char* two = "%D/a.png %D/b.png -n -o %D/out";
        row("array task counted from its first id", two, 0, "shard 1 of 2", "", "",
            "SLURM_ARRAY_TASK_ID=3 SLURM_ARRAY_TASK_MIN=2 SLURM_ARRAY_TASK_COUNT=2");
        row("array task in steps", two, 0, "shard 2 of 3", "", "",
            "SLURM_ARRAY_TASK_ID=5 SLURM_ARRAY_TASK_MIN=1 SLURM_ARRAY_TASK_STEP=2 "
            "SLURM_ARRAY_TASK_COUNT=3");
        row("resubmitted array task with --shards", "%D/a.png %D/b.png --shards 4 -n -o %D/out", 0,
            "shard 2 of 4", "", "",
            "SLURM_ARRAY_TASK_ID=2 SLURM_ARRAY_TASK_MIN=2 SLURM_ARRAY_TASK_COUNT=1");
        row("array task beyond --shards", "%D/a.png %D/b.png --shards 4 -n -o %D/out", 2,
            "outside the shards 0 to 3", "", "", "SLURM_ARRAY_TASK_ID=4");
        row("indexed job", "%D/a.png %D/b.png --shards 4 -n -o %D/out", 0, "shard 3 of 4", "", "",
            "JOB_COMPLETION_INDEX=3");
        row("indexed job needs --shards", two, 2, "needs --shards N", "", "",
            "JOB_COMPLETION_INDEX=3");
        row("--shard wins over the scheduler", "%D/a.png %D/b.png --shard 1/2 -n -o %D/out", 0,
            "shard 1 of 2", "", "",
            "SLURM_ARRAY_TASK_ID=0 SLURM_ARRAY_TASK_MIN=0 SLURM_ARRAY_TASK_COUNT=1");
        row("bad shard", "%D/a.png %D/b.png --shard 2/2 -o %D/out", 2, "bad shard: 2/2", "", "");
        row("jobs from the task's cpus", two, 0, "3 pages at once", "", "",
            "SLURM_CPUS_PER_TASK=3");
        row("jobs from the cpu affinity", two, 0, "1 pages at once", "", "", "cpus=0");
        row("--jobs wins", "%D/a.png %D/b.png -j 2 -n -o %D/out", 0, "2 pages at once", "", "",
            "SLURM_CPUS_PER_TASK=3");
    }
    void runs() {
        auto [arguments, exitCode, stderrHas, outputs, outputHas, environment] =
            fetch<QString, int, QString, QString, QString, QString>(
                "arguments", "exitCode", "stderrHas", "outputs", "outputHas", "environment");
        QTemporaryDir dir;
        QVERIFY(!page(dir, QStringLiteral("a.png"), QStringLiteral("Alpha page here")).isEmpty());
        QVERIFY(!page(dir, QStringLiteral("b.png"), QStringLiteral("Bravo page there")).isEmpty());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("out")));
        const test::ToolRun run =
            convert(arguments.replace("%D", dir.path()).split(QLatin1Char(' ')),
                    environment.split(QLatin1Char(' '), Qt::SkipEmptyParts));
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(QString::fromLocal8Bit(run.err).contains(stderrHas), run.err.constData());
        const QStringList files = outputs.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString& out : files)
            QVERIFY2(QFile::exists(dir.filePath(out)), qPrintable(out));
        if (!files.isEmpty())
            QVERIFY(test::readAll(dir.filePath(files.first())).contains(outputHas.toUtf8()));
    }

    // Every input in exactly one shard, the shards' pages within one document of each other,
    // and the same shards from the list in another order.
    void shards_data() {
        columns<QString, int>("pages", "shards");
        QTest::newRow("page counts known") << "9,1,4,4,2,7,3,3,1,8,2,5,6" << 4;
        QTest::newRow("page counts unknown") << "0,0,0,0,0,0,0,0,0,0,0" << 3;
        QTest::newRow("more shards than inputs") << "3,0,2" << 5;
    }
    void shards() {
        auto [pages, shards] = fetch<QString, int>("pages", "shards");
        QTemporaryDir dir;
        QStringList lines;
        int largest = 1;
        for (const QString& p : pages.split(QLatin1Char(','))) {
            lines.append(dir.filePath(QStringLiteral("f%1.tif").arg(lines.size())) +
                         (p == QLatin1String("0") ? QString() : QLatin1Char('\t') + p));
            largest = std::max(largest, p.toInt());
        }
        QMap<QString, int> all;
        QList<int> loads;
        for (int k = 0; k < shards; ++k) {
            const QString spec = QStringLiteral("%1/%2").arg(k).arg(shards);
            QMap<QString, int> part[2];
            for (int order = 0; order < 2; ++order) {
                std::reverse(lines.begin(), lines.end());
                QFile list(dir.filePath(QStringLiteral("list")));
                QVERIFY(list.open(QIODevice::WriteOnly) &&
                        list.write(lines.join('\n').toUtf8()) > 0);
                list.close();
                const test::ToolRun run =
                    convert({QStringLiteral("--from-list"), list.fileName(),
                             QStringLiteral("--shard"), spec, QStringLiteral("-n"),
                             QStringLiteral("-o"), dir.filePath(QStringLiteral("out"))});
                QCOMPARE(run.exitCode, 0);
                part[order] = plan(run.out);
            }
            QCOMPARE(part[0], part[1]);
            int load = 0;
            for (auto it = part[0].cbegin(); it != part[0].cend(); ++it) {
                QVERIFY2(!all.contains(it.key()), qPrintable(it.key()));
                all.insert(it.key(), it.value());
                load += std::max(1, it.value());
            }
            loads.append(load);
        }
        QCOMPARE(all.size(), lines.size());
        QVERIFY2(*std::max_element(loads.begin(), loads.end()) -
                         *std::min_element(loads.begin(), loads.end()) <=
                     largest,
                 qPrintable(QString::number(loads.size())));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out"))));  // a dry run writes nothing
    }

    // A converter killed mid-document leaves whole outputs only; run again, it converts the
    // rest, skips what is up to date and reports every document; --summarise adds it up.
    void resume() {
        QTemporaryDir dir;
        QStringList inputs;
        for (const char* name : {"a", "b", "c"})
            inputs.append(document(dir, name + QStringLiteral(".tif"),
                                   QStringLiteral("Page of %1 here").arg(name), 2));
        QVERIFY(!inputs.contains(QString()));
        inputs.append(dir.filePath(QStringLiteral("missing.tif")));
        const QString out = dir.filePath(QStringLiteral("out"));
        QFile list(dir.filePath(QStringLiteral("list")));
        QVERIFY(list.open(QIODevice::WriteOnly) && list.write(inputs.join('\n').toUtf8()) > 0);
        list.close();
        const QStringList args = {
            QStringLiteral("--from-list"), list.fileName(),      QStringLiteral("-f"),
            QStringLiteral("pdf"),         QStringLiteral("-j"), QStringLiteral("1"),
            QStringLiteral("-q"),          QStringLiteral("-o"), out};
        QProcess killed;
        killed.start(kBinary, args);
        const QString report0 = out + QStringLiteral("/report-0.jsonl");
        QVERIFY(QTest::qWaitFor([&] { return test::readAll(report0).contains('\n'); }, 30000));
        ::kill(static_cast<pid_t>(killed.processId()), SIGKILL);
        QVERIFY(killed.waitForFinished(5000));
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden),
                 QStringList({QStringLiteral("a.pdf"), QStringLiteral("report-0.jsonl")}));
        QFile stale(out + QStringLiteral("/.b.pdf.tmp-x1"));  // as if killed while writing b
        QVERIFY(stale.open(QIODevice::WriteOnly) && stale.write("%PDF-1.4 half") > 0);
        stale.close();

        QCOMPARE(convert(args).exitCode, 1);  // the missing input fails
        QFile touched(inputs[0]);
        QVERIFY(touched.open(QIODevice::ReadWrite) &&
                touched.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                    QFileDevice::FileModificationTime));
        touched.close();
        QCOMPARE(
            convert(args + QStringList{QStringLiteral("--shard"), QStringLiteral("0/3")}).exitCode,
            1);
        QCOMPARE(convert(args + QStringList{QStringLiteral("--shard"), QStringLiteral("1/3"),
                                            QStringLiteral("--force")})
                     .exitCode,
                 0);
        for (const char* name : {"a", "b", "c"}) {
            const QString pdf = out + QStringLiteral("/%1.pdf").arg(name);
            QVERIFY(QString::fromUtf8(test::runTool(QStringLiteral("pdfinfo"), {pdf}).out)
                        .simplified()
                        .contains(QStringLiteral("Pages: 2")));
            QVERIFY(test::runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")})
                        .out.contains(QStringLiteral("Page of %1 here").arg(name).toUtf8()));
        }
        QCOMPARE(QDir(out).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden),
                 QStringList());
        // a: converted, skipped, converted again (its input changed); b, c: converted; b forced
        const QByteArray statuses =
            test::readAll(report0) + test::readAll(out + QStringLiteral("/report-1.jsonl"));
        QCOMPARE(statuses.count("\"status\":\"ok\""), 5);
        QCOMPARE(statuses.count("\"status\":\"skipped\""), 1);
        const test::ToolRun summary = convert({QStringLiteral("--summarise"), out});
        QCOMPARE(summary.exitCode, 1);
        QVERIFY2(summary.out.startsWith("documents: 4\npages: 6\nfailures: 1\npages per second: "),
                 summary.out.constData());
        QVERIFY(summary.out.endsWith(
            QByteArray("failed: " + inputs[3].toUtf8() + ": File does not exist\n")));
    }
};

QTEST_MAIN(TestConvertCli)
#include "tst_convertcli.moc"
