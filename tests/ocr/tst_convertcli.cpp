// The converter command run as a user runs it.

#include "imaging/annotationstore.h"
#include "ocrtestutil.h"
#include "support/fixtures.h"

#include <poppler-annotation.h>
#include <poppler-qt6.h>

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

// Runs the converter (after "taskset -c N": bound to core N) with "NAME=value" settings in
// its environment.
test::ToolRun convert(QStringList args, const QStringList& environment = {}) {
    for (const QString& setting : environment)
        qputenv(qPrintable(setting.section('=', 0, 0)), setting.section('=', 1).toLatin1());
    const bool bound = args.first() == "taskset";
    if (bound)
        args.insert(3, kBinary);
    const test::ToolRun run = test::runTool(bound ? args.takeFirst() : kBinary, args);
    for (const QString& setting : environment)
        qunsetenv(qPrintable(setting.section('=', 0, 0)));
    return run;
}

bool writeList(const QString& path, const QStringList& lines) {
    QFile list(path);
    return list.open(QIODevice::WriteOnly) && list.write(lines.join('\n').toUtf8()) > 0;
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
        row("message in the user's language", "%D/a.png -p 3-1 -o %D/x.txt", 2,
            "ktdocview-convert: ungültige Seitenliste: 3-1\nSiehe", "", "", "LANG=de_DE.UTF-8");
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
        row("bad shard", "%D/a.png %D/b.png --shard 2/2 -o %D/out", 2, "bad shard: 2/2", "", "");
        row("jobs from the task's cpus", two, 0, "3 pages at once", "", "",
            "SLURM_CPUS_PER_TASK=3");
        row("jobs from the cpu affinity", "taskset -c 0 %D/a.png %D/b.png -n -o %D/out", 0,
            "1 pages at once", "", "");
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
        for (const QString& p : pages.split(','))
            lines.append(dir.filePath(QString("f%1.tif").arg(lines.size())) +
                         (p == "0" ? QString() : '\t' + p));
        QStringList reversed(lines.rbegin(), lines.rend());
        QVERIFY(writeList(dir.filePath("list"), lines) && writeList(dir.filePath("rev"), reversed));
        QSet<QByteArray> all;
        QList<int> loads;
        for (int k = 0; k < shards; ++k) {
            const QString args = QString("--shard %1/%2 -n -o %3/out --from-list %3/")
                                     .arg(k)
                                     .arg(shards)
                                     .arg(dir.path());
            const test::ToolRun run = convert(QString(args + "list").split(' '));
            QCOMPARE(run.exitCode, 0);
            QCOMPARE(convert(QString(args + "rev").split(' ')).out, run.out);
            loads.append(0);
            for (const QByteArray& line : run.out.split('\n'))
                if (!line.isEmpty() && !all.contains(line))
                    all.insert(line), loads.last() += std::max(1, line.split('\t').last().toInt());
        }
        QCOMPARE(all.size(), lines.size());
        const auto [least, most] = std::minmax_element(loads.begin(), loads.end());
        QVERIFY(*most - *least <= std::max(1, pages.section(',', 0, 0).toInt()));  // largest first
        QVERIFY(!QFile::exists(dir.filePath("out")));  // a dry run writes nothing
    }

    // A converter killed mid-document leaves whole outputs only; run again, it converts the
    // rest, skips what is up to date and reports every document; --summarise adds it up.
    void resume() {
        QTemporaryDir dir;
        QStringList inputs;
        for (const char* name : {"a", "b", "c"})
            inputs.append(page(dir, name + QString(".png"), QString("Page of %1 here").arg(name)));
        inputs.append(dir.filePath("missing.tif"));
        QVERIFY(writeList(dir.filePath("list"), inputs));
        const QString out = dir.filePath("out");
        const QStringList args = QString("-f pdf -j 1 -q -o %1 --from-list %2")
                                     .arg(out, dir.filePath("list"))
                                     .split(' ');
        QProcess killed;
        killed.start(kBinary, args);
        QVERIFY(QTest::qWaitFor(
            [&] { return test::readAll(out + "/report-0.jsonl").contains('\n'); }, 30000));
        ::kill(static_cast<pid_t>(killed.processId()), SIGKILL);
        QVERIFY(killed.waitForFinished(5000));
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"a.pdf", "report-0.jsonl"}));
        QVERIFY(writeList(out + "/.b.pdf.tmp-x1", {"%PDF-1.4 half"}));  // as if killed writing b

        QCOMPARE(convert(args).exitCode, 1);  // the missing input fails
        QFile touched(inputs[0]);
        QVERIFY(touched.open(QIODevice::ReadWrite) &&
                touched.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                    QFileDevice::FileModificationTime));
        touched.close();
        QCOMPARE(convert(args + QStringList{"--shard", "0/3"}).exitCode, 1);
        QCOMPARE(convert(args + QStringList{"--shard", "1/3", "--force"}).exitCode, 0);
        for (const char* name : {"a", "b", "c"})
            QVERIFY(test::runTool("pdftotext", {out + "/" + name + ".pdf", "-"})
                        .out.contains(QByteArray("Page of ").append(name)));
        QCOMPARE(QDir(out).entryList({".*"}, QDir::Files | QDir::Hidden), QStringList());
        // a: converted, skipped, converted again (its input changed); b, c: converted; b forced
        const QByteArray lines =
            test::readAll(out + "/report-0.jsonl") + test::readAll(out + "/report-1.jsonl");
        QCOMPARE(lines.count("\"status\":\"ok\""), 5);
        QCOMPARE(lines.count("\"status\":\"skipped\""), 1);
        const test::ToolRun summary = convert({"--summarise", out});
        QCOMPARE(summary.exitCode, 1);
        QVERIFY2(summary.out.startsWith("documents: 4\npages: 3\nfailures: 1\npages per second: "),
                 summary.out.constData());
        QVERIFY(summary.out.endsWith(
            QByteArray("failed: " + inputs[3].toUtf8() + ": File does not exist\n")));
    }

    // A three-page TIFF with annotations (the third page a fax of 204 x 98 dpi) exported with
    // them: each PDF page holds exactly its source page's annotations, of the right kind, place
    // (within a pixel), colour and text; the tools accept the file and draw the fills there.
    void annotatedPdf() {
        using imaging::Annotation;
        using PA = Poppler::Annotation;
        QTemporaryDir dir;
        test::TiffPage fax;
        fax.size = QSize(1728, 1100);
        fax.dpi = QSizeF(204, 98);
        const QString tif = test::writeTiff(dir.filePath("marked.tif"), {{}, {}, fax});
        auto make = [](Annotation::Kind kind, QRectF rect, qint32 colour, const QString& text) {
            Annotation a = Annotation::make(kind, rect);
            (kind == Annotation::HollowRect ? a.borderColor
             : kind == Annotation::Text     ? a.textColor
                                            : a.fillColor) = colour;
            a.text = text;
            return a;
        };
        const QList<QList<Annotation>> pages = {
            {make(Annotation::FilledRect, {100, 1400, 300, 200}, 0x0000FF, ""),
             make(Annotation::HollowRect, {600, 1400, 400, 250}, 0x00C000, "frame"),
             make(Annotation::Highlight, {100, 1650, 500, 60}, 0x00FFFF, "see here")},
            {make(Annotation::Text, {200, 1350, 700, 200}, 0xC00000,
                  "Call back on Monday, ask for Ms Öztürk")},
            {Annotation::stampAt({300, 800}, "Approved 01/Mar/2024", 16, fax.dpi),
             make(Annotation::FilledRect, {1200, 900, 300, 120}, 0x00C000, "")}};
        for (int p = 0; p < pages.size(); ++p)
            QVERIFY(imaging::AnnotationStore::save(tif, p, pages[p]).ok);
        const QByteArray source = test::readAll(tif);
        const QString pdf = dir.filePath("marked.pdf");
        const test::ToolRun run = convert({tif, "-f", "pdf-annotated", "-j", "1", "-q", "-o", pdf});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QCOMPARE(test::readAll(tif), source);  // only read
        QVERIFY(test::runTool("pdfinfo", {pdf}).out.simplified().contains("Pages: 3"));
        QCOMPARE(test::runTool("qpdf", {"--check", pdf}).exitCode, 0);
        QVERIFY(test::runTool("pdftotext", {"-l", "1", pdf, "-"}).out.contains("Page"));
        QCOMPARE(test::runTool("pdftoppm", {"-r", "36", "-png", pdf, dir.filePath("r")}).exitCode,
                 0);
        const std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(pdf);
        QVERIFY(doc && doc->numPages() == 3);
        QSet<QString> names;
        for (int p = 0; p < 3; ++p) {
            const QSizeF dpi = p == 2 ? fax.dpi : QSizeF(150, 150);
            const std::unique_ptr<Poppler::Page> page = doc->page(p);
            const QSizeF size = page->pageSizeF();
            const std::vector<std::unique_ptr<PA>> found = page->annotations();
            const QImage shown(dir.filePath("r-%1.png").arg(p + 1));
            QCOMPARE(int(found.size()), int(pages[p].size()));
            for (size_t i = 0; i < found.size(); ++i) {
                const Annotation& want = pages[p][int(i)];
                const PA& got = *found[i];
                const PA::SubType types[] = {PA::AGeom, PA::AGeom, PA::AHighlight, PA::AText,
                                             PA::AStamp};
                QCOMPARE(got.subType(), types[want.kind]);
                const QRectF b = got.boundary();
                const QRectF at(b.x() * size.width(), b.y() * size.height(),
                                b.width() * size.width(), b.height() * size.height());
                const QTransform toPoints =
                    QTransform::fromScale(72 / dpi.width(), 72 / dpi.height());
                const QRectF wanted = toPoints.mapRect(want.rect);
                QVERIFY2(qAbs(at.left() - wanted.left()) <= 72 / dpi.width() &&
                             qAbs(at.right() - wanted.right()) <= 72 / dpi.width() &&
                             qAbs(at.top() - wanted.top()) <= 72 / dpi.height() &&
                             qAbs(at.bottom() - wanted.bottom()) <= 72 / dpi.height(),
                         qPrintable(QString("page %1 annotation %2").arg(p + 1).arg(i)));
                QColor colour = got.style().color();
                qint32 wantColour = want.fillColor;
                if (want.kind == Annotation::FilledRect)
                    colour = dynamic_cast<const Poppler::GeomAnnotation&>(got).geomInnerColor();
                if (want.kind == Annotation::Text)
                    colour = dynamic_cast<const Poppler::TextAnnotation&>(got).textColor();
                if (want.kind == Annotation::Text)
                    wantColour = want.textColor;
                if (want.kind == Annotation::HollowRect || want.kind == Annotation::Stamp)
                    wantColour = want.borderColor;
                QCOMPARE(colour.name(), imaging::colorFromBgr(wantColour).name());
                QCOMPARE(got.contents(), want.text);
                QVERIFY(!(got.flags() & PA::DenyPrint));
                names.insert(got.uniqueName());
                if (want.kind != Annotation::FilledRect && want.kind != Annotation::Highlight)
                    continue;
                // at 36 dpi a pixel is two points
                const QColor drawn =
                    shown.pixelColor((want.rect.center() * toPoints / 2).toPoint());
                const QColor fill = imaging::colorFromBgr(want.fillColor);
                const int off = qAbs(drawn.red() - fill.red()) +
                                qAbs(drawn.green() - fill.green()) +
                                qAbs(drawn.blue() - fill.blue());
                QVERIFY2(off < 24, qPrintable(drawn.name()));
            }
        }
        QCOMPARE(names.size(), 6);
    }
};

QTEST_MAIN(TestConvertCli)
#include "tst_convertcli.moc"
