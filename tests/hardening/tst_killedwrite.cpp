// A writer process killed (SIGKILL) part-way through replacing a document or editing it in
// place: afterwards the document is either the old file or the complete new one, never a
// mixture, libtiff reads every page of it, and what the killed writer left behind cannot
// be mistaken for a document.
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "imaging/document.h"
#include "imaging/tiffpagetransfer.h"
#include "support/fixtures.h"
#include "support/rows.h"

using ktdv::test::addRow;
using ktdv::test::columns;
using ktdv::test::fetch;

using namespace ktdv;

namespace {

const QString kHelper = QStringLiteral(KTDV_KILLWRITER);
constexpr int kTiffPages = 12;  // 2 MiB each, uncompressed; "bytes" writes 32 MiB
constexpr int kEditRounds = 3;  // of inserting an 8 MiB page and deleting it

QString g_pageFile;  // the page the edits insert

// Starts the writer on `target`; with `stop` it halts before that step of the write.
void start(QProcess& p, const QString& target, const QString& mode, const QString& stop = {}) {
    const QString size = mode == QLatin1String("bytes")  ? QStringLiteral("32")
                         : mode == QLatin1String("tiff") ? QString::number(kTiffPages)
                                                         : QString::number(kEditRounds);
    p.start(kHelper, {target, mode, size, stop, g_pageFile});
}

QString document(const QString& path) {
    return test::writeTiff(path, 4);
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
        test::TiffPage big;
        big.size = QSize(2480, 3508);
        big.kind = test::PageKind::Gray8;
        big.compression = test::None;
        g_pageFile = test::writeTiff(m_refs.filePath(QStringLiteral("page.tif")), 1, big);
        const QString edited = document(m_refs.filePath(QStringLiteral("edited.tif")));
        m_editStates << test::pageSnapshots(edited);
        QVERIFY(imaging::insertPage(edited, 1, g_pageFile).ok);
        m_editStates << test::pageSnapshots(edited);
        for (const QString& mode :
             {QStringLiteral("bytes"), QStringLiteral("tiff"), QStringLiteral("edit")}) {
            const QString ref = m_refs.filePath(mode);
            if (mode == QLatin1String("edit"))
                QVERIFY(!document(ref).isEmpty());
            QElapsedTimer clock;
            clock.start();
            QVERIFY2(runToEnd(ref, mode), qPrintable(mode));
            m_runMs.insert(mode, clock.elapsed());
            m_newContent.insert(mode, test::readAll(ref));
            QVERIFY(m_newContent[mode].size() > 8 << 20 || mode == QLatin1String("edit"));
        }
    }

    void killedWriterLeavesOldOrNew_data() {
        // stop: the step the writer is killed at ("" = by time); percent: when stop is "": kill
        // after this share of a whole run
        columns<QString, QString, int>("mode", "stop", "percent");
        // An edit in place at each of its steps, in a compaction, and at random moments.
        for (const QString stop :
             {"append", "sync", "switch", "sync2", "truncate", "write", "rename"})
            addRow(qPrintable("edit, before " + stop), QString("edit"), stop, 0);
        QRandomGenerator random(20261206);
        for (int i = 0; i < 22; ++i) {
            const int percent = random.bounded(5, 110);
            addRow(qPrintable(QStringLiteral("edit, at %1 % (%2)").arg(percent).arg(i)),
                   QString("edit"), QString(), percent);
        }
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
        const QString doc = document(dir.filePath(QStringLiteral("doc.tif")));
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
        qsizetype state = 0;
        if (mode == QLatin1String("edit")) {  // the pages as libtiff reads them, every strip
            state = m_editStates.indexOf(test::pageSnapshots(doc));
            qInfo("document after the kill: %s", state == 0 ? "old" : state == 1 ? "new" : "mixed");
            QVERIFY2(state == 0 || (state == 1 && stop != QLatin1String("truncate")),
                     "the document is neither the old nor the new one");
            QCOMPARE(test::tiffinfoComplaints(doc), QStringList());
        } else {
            qInfo("document after the kill: %s", now == old     ? "old"
                                                 : now == fresh ? "new"
                                                                : "mixed");
            QVERIFY2(now == old || (stop.isEmpty() && now == fresh),
                     "the document is neither the old nor the new one");
        }
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
        if (mode == QLatin1String("edit"))
            QCOMPARE(test::pageSnapshots(doc), m_editStates.value(state));
        else
            QVERIFY(test::readAll(doc) == fresh);
    }

private:
    QTemporaryDir m_refs;
    QHash<QString, QByteArray> m_newContent;  // by mode, as a writer left alone writes it
    QHash<QString, qint64> m_runMs;           // by mode, how long a whole run took
    QList<QStringList> m_editStates;          // the edited pages before and after an insert
};

QTEST_MAIN(TestKilledWrite)
#include "tst_killedwrite.moc"
