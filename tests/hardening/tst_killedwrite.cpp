// A writer process killed (SIGKILL) part-way through replacing a document: afterwards the
// document is either the old file or the complete new one, never a mixture, and what the
// killed writer left behind cannot be mistaken for a document.
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "imaging/document.h"
#include "support/fixtures.h"
#include "support/rows.h"

using ktdv::test::addRow;
using ktdv::test::columns;
using ktdv::test::fetch;

using namespace ktdv;

namespace {

const QString kHelper = QStringLiteral(KTDV_KILLWRITER);
constexpr int kTiffPages = 12;  // 2 MiB each, uncompressed; "bytes" writes 32 MiB

// Starts the writer on `target`; with `stop` it halts before that step of the write.
void start(QProcess& p, const QString& target, const QString& mode, const QString& stop = {}) {
    p.start(kHelper, {target, mode, mode == QLatin1String("bytes") ? "32" : "12", stop});
}

// Runs the writer to the end; false when it failed.
bool runToEnd(const QString& target, const QString& mode) {
    QProcess p;
    start(p, target, mode);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Waits until the writer says it stopped; false when it ended or took a minute.
bool waitUntilStopped(QProcess& p) {
    QElapsedTimer clock;
    clock.start();
    QByteArray seen;
    while (clock.elapsed() < 60000 && !seen.contains("stopped\n")) {
        if (!p.waitForReadyRead(200) && p.state() != QProcess::Running)
            return false;
        seen += p.readAllStandardOutput();
    }
    return seen.contains("stopped\n");
}

}  // namespace

class TestKilledWrite : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(QFileInfo(kHelper).isExecutable());
        for (const QString& mode : {QStringLiteral("bytes"), QStringLiteral("tiff")}) {
            const QString ref = m_refs.filePath(mode);
            QElapsedTimer clock;
            clock.start();
            QVERIFY2(runToEnd(ref, mode), qPrintable(mode));
            m_runMs.insert(mode, clock.elapsed());
            m_newContent.insert(mode, test::readAll(ref));
            QVERIFY(m_newContent[mode].size() > 8 << 20);
        }
    }

    void killedWriterLeavesOldOrNew_data() {
        // stop: the step the writer is killed at ("" = by time); percent: when stop is "": kill
        // after this share of a whole run
        columns<QString, QString, int>("mode", "stop", "percent");
        for (const QString mode : {"bytes", "tiff"}) {
            for (const QString stop : {"open", "write", "flush", "rename"})
                addRow(qPrintable(mode + ", before " + stop), mode, stop, 0);
            for (int percent : {10, 40, 70, 90, 97, 120})
                addRow(qPrintable(QStringLiteral("%1, at %2 %").arg(mode).arg(percent)), mode,
                       QString(), percent);
        }
    }

    void killedWriterLeavesOldOrNew() {
        auto [mode, stop, percent] = fetch<QString, QString, int>("mode", "stop", "percent");
        QTemporaryDir dir;
        const QString doc = test::writeTiff(dir.filePath(QStringLiteral("doc.tif")), 4);
        QVERIFY(!doc.isEmpty());
        const QByteArray old = test::readAll(doc);
        const QByteArray& fresh = m_newContent[mode];

        QProcess writer;
        start(writer, doc, mode, stop);
        QVERIFY(writer.waitForStarted());
        if (!stop.isEmpty())
            QVERIFY2(waitUntilStopped(writer), "the writer never reached the step");
        else
            QTest::qWait(int(m_runMs[mode] * percent / 100));
        if (writer.state() != QProcess::NotRunning) {
            writer.kill();  // SIGKILL: no clean-up runs
            QVERIFY(writer.waitForFinished(10000));
        }

        const QByteArray now = test::readAll(doc);
        qInfo("document after the kill: %s", now == old ? "old" : now == fresh ? "new" : "mixed");
        QVERIFY2(now == old || (stop.isEmpty() && now == fresh),
                 "the document is neither the old nor the new one");
        if (mode == QLatin1String("tiff") || now == old) {
            const auto opened = imaging::Document::open(doc);
            QVERIFY(opened && opened->pageCount() == (now == old ? 4 : kTiffPages));
        }

        // Whatever the killed writer left is a hidden temporary file that a file chooser's
        // document filter does not list, and it does not stop the next save.
        const QStringList documents =
            QDir(dir.path())
                .entryList(
                    {QStringLiteral("*.tif"), QStringLiteral("*.tiff"), QStringLiteral("*.fax")},
                    QDir::Files);
        QCOMPARE(documents, QStringList{QStringLiteral("doc.tif")});
        for (const QString& name :
             QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot))
            QVERIFY2(name == "doc.tif" || name.startsWith(".doc.tif.tmp-"), qPrintable(name));
        QVERIFY(runToEnd(doc, mode));
        QVERIFY(test::readAll(doc) == fresh);
    }

private:
    QTemporaryDir m_refs;
    QHash<QString, QByteArray> m_newContent;  // by mode, as a writer left alone writes it
    QHash<QString, qint64> m_runMs;           // by mode, how long a whole run took
};

QTEST_MAIN(TestKilledWrite)
#include "tst_killedwrite.moc"
