// The converter as an array job on a single-node Slurm cluster of the test's own: one task
// is cancelled mid-document and submitted again; every document ends up converted, whole.
// Each wait is bounded so that the whole run stays within the suite's two minutes.

#include "ocrtestutil.h"
#include "support/fixtures.h"

#include <QDir>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>
#include <memory>

using namespace ktdv;

class TestConvertSlurm : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::vector<std::unique_ptr<QProcess>> m_daemons;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    bool write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    QByteArray run(const QString& program, const QStringList& args) const {
        const test::ToolRun r = test::runTool(program, args);
        return r.exitCode == 0 ? r.out.trimmed() : "failed: " + r.err;
    }
    // Waits (at most `seconds`) until none of the job's tasks is queued or running.
    bool finished(const QByteArray& job, int seconds) const {
        return QTest::qWaitFor(
            [&] {
                return run("squeue", {"-h", "-j", job}).isEmpty();
            },
            seconds * 1000);
    }
    QByteArray submit(const QString& array) const {
        return run("sbatch", {"--parsable", "--array=" + array, "-c", "1", "--chdir", path("."),
                              "--output", path("task-%A_%a.log"),
                              qEnvironmentVariable("KTDV_SOURCE_DIR") +
                                  "/deploy/slurm/ktdocview-convert.sbatch",
                              path("list"), path("out")});
    }

private slots:
    void initTestCase() {
        if (::geteuid() != 0)
            QSKIP("the Slurm daemons need root");
        for (const char* tool : {"munged", "slurmctld", "slurmd", "sbatch", "pdfinfo"})
            if (QStandardPaths::findExecutable(tool, {"/usr/sbin", "/usr/bin"}).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(tool)));
        QTcpServer ports[2];
        for (QTcpServer& p : ports)
            QVERIFY(p.listen(QHostAddress::LocalHost));
        char host[256] = {};
        ::gethostname(host, sizeof host - 1);
        const QString conf =
            QString::fromUtf8(
                test::readAll(qEnvironmentVariable("KTDV_SOURCE_DIR") + "/tests/ocr/slurm.conf.in"))
                .replace("@HOST@", QString::fromLocal8Bit(host).section('.', 0, 0))
                .replace("@CTLD_PORT@", QString::number(ports[0].serverPort()))
                .replace("@D_PORT@", QString::number(ports[1].serverPort()))
                .replace("@DIR@", m_dir.path());
        for (QTcpServer& p : ports)
            p.close();
        QVERIFY(write("slurm.conf", conf.toUtf8()) && write("munge.key", QByteArray(1024, 'k')));
        QVERIFY(QFile::setPermissions(path("munge.key"), QFile::ReadOwner | QFile::WriteOwner));
        qputenv("SLURM_CONF", path("slurm.conf").toLocal8Bit());
        qputenv("KTDV_SHARDS", "4");
        qputenv("KTDV_CONVERT", KTDV_CONVERT_BINARY);
        for (const char* daemon :
             {"munged -F --force --socket=%1/munge.socket --key-file=%1/munge.key "
              "--pid-file=%1/munged.pid --log-file=%1/munged.log --seed-file=%1/munge.seed",
              "slurmctld -D -i -f %1/slurm.conf", "slurmd -D -N ktdvnode -f %1/slurm.conf"}) {
            QStringList args = QString(daemon).arg(m_dir.path()).split(' ');
            const QString program = "/usr/sbin/" + args.takeFirst();
            m_daemons.push_back(std::make_unique<QProcess>());
            m_daemons.back()->setProcessChannelMode(QProcess::MergedChannels);
            m_daemons.back()->setStandardOutputFile(path(program.section('/', -1) + ".out"));
            m_daemons.back()->start(program, args);
            QVERIFY(m_daemons.back()->waitForStarted(5000));
            QTest::qWait(300);
        }
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         return run("sinfo", {"-h", "-o", "%T"}) == "idle";
                     },
                     20000),
                 test::readAll(path("slurmctld.log")).right(2000).constData());
    }
    void cleanupTestCase() {
        if (!m_daemons.empty()) {
            run("scancel", {"--full", "-u", "root"});
            (void)QTest::qWaitFor([&] { return run("squeue", {"-h"}).isEmpty(); }, 10000);
        }
        for (auto it = m_daemons.rbegin(); it != m_daemons.rend(); ++it) {
            (*it)->terminate();
            if (!(*it)->waitForFinished(5000))
                (*it)->kill(), (*it)->waitForFinished(2000);
        }
    }

    void arrayJobWithACancelledTask() {
        QStringList inputs;
        for (int n = 0; n < 12; ++n) {
            const QImage page =
                test::renderTextPage({QStringLiteral("Archive record %1").arg(n)}, QSize(1800, 400),
                                     300, 14, QStringLiteral("DejaVu Sans"));
            inputs.append(path(QStringLiteral("in/record%1.tif").arg(n)));
            QVERIFY(QDir().mkpath(path("in")) &&
                    test::writeMultiPageTiff(inputs.last(), {page, page}));
        }
        QVERIFY(write("list", inputs.join('\n').toUtf8()));

        const QByteArray job = submit("0-3");
        QVERIFY2(job.toInt() > 0, job.constData());
        const QString victim = path("out/report-2.jsonl");
        QVERIFY(QTest::qWaitFor([&] { return test::readAll(victim).contains('\n'); }, 30000));
        QCOMPARE(run("scancel", {QString::fromLatin1(job + "_2")}), QByteArray());
        QVERIFY(finished(job, 30));
        QVERIFY2(test::readAll(victim).count('\n') < 3, "task 2 was done before it was cancelled");
        const QByteArray again = submit("2");
        QVERIFY2(again.toInt() > 0, again.constData());
        QVERIFY(finished(again, 30));

        for (int n = 0; n < 12; ++n) {
            const QString pdf = path(QStringLiteral("out/record%1.pdf").arg(n));
            QVERIFY2(run("pdfinfo", {pdf}).simplified().contains("Pages: 2"), qPrintable(pdf));
            QVERIFY(run("pdftotext", {pdf, "-"})
                        .contains(QByteArray("record " + QByteArray::number(n))));
        }
        QCOMPARE(QDir(path("out")).entryList({".*"}, QDir::Files | QDir::Hidden), QStringList());
        const QByteArray summary = run(KTDV_CONVERT_BINARY, {"--summarise", path("out")});
        QVERIFY2(summary.startsWith("documents: 12\npages: 24\nfailures: 0\n"),
                 summary.constData());
    }
};

QTEST_MAIN(TestConvertSlurm)
#include "tst_convertslurm.moc"
