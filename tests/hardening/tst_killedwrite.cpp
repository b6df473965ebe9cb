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

using ktdv::test::columns;
using ktdv::test::fetch;

using namespace ktdv;

namespace {

const QString kHelper = QStringLiteral(KTDV_KILLWRITER);
constexpr int kBytesMiB = 32;
constexpr int kTiffPages = 12;  // 2 MiB each, uncompressed

QStringList helperArgs(const QString& target, const QString& mode, const QString& stop = {}) {
    QStringList args{target, mode,
                     QString::number(mode == QLatin1String("bytes") ? kBytesMiB : kTiffPages)};
    if (!stop.isEmpty())
        args << stop;
    return args;
}

// Runs the writer to the end; false when it failed.
bool runToEnd(const QString& target, const QString& mode) {
    QProcess p;
    p.start(kHelper, helperArgs(target, mode));
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Waits until the writer prints `line`; false when it ended or took too long.
bool waitForLine(QProcess& p, const QByteArray& line, int ms) {
    QElapsedTimer clock;
    clock.start();
    QByteArray seen;
    while (clock.elapsed() < ms) {
        if (!p.waitForReadyRead(200) && p.state() != QProcess::Running)
            return false;
        seen += p.readAllStandardOutput();
        if (seen.contains(QByteArray(line).append('\n')))
            return true;
    }
    return false;
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
        for (const char* stop : {"open", "write", "flush", "rename"}) {
            QTest::newRow(qPrintable(QStringLiteral("bytes, before %1").arg(stop)))
                << "bytes" << stop << 0;
            QTest::newRow(qPrintable(QStringLiteral("tiff, before %1").arg(stop)))
                << "tiff" << stop << 0;
        }
        for (const char* mode : {"tiff", "bytes"})
            for (int percent : {10, 40, 70, 90, 97, 120})
                QTest::newRow(qPrintable(QStringLiteral("%1, at %2 %").arg(mode).arg(percent)))
                    << mode << "" << percent;
    }

    void killedWriterLeavesOldOrNew() {
        auto [mode, stop, percent] = fetch<QString, QString, int>("mode", "stop", "percent");
        QTemporaryDir dir;
        test::TiffPage layout;
        layout.size = QSize(400, 560);
        const QString doc = test::writeTiff(dir.filePath(QStringLiteral("doc.tif")), 4, layout);
        QVERIFY(!doc.isEmpty());
        const QByteArray old = test::readAll(doc);
        const QByteArray& fresh = m_newContent[mode];

        QProcess writer;
        writer.start(kHelper, helperArgs(doc, mode, stop));
        QVERIFY(writer.waitForStarted());
        if (!stop.isEmpty()) {
            QVERIFY2(waitForLine(writer, "stopped", 60000), "the writer never reached the step");
        } else {
            QTest::qWait(int(m_runMs[mode] * percent / 100));
        }
        if (writer.state() != QProcess::NotRunning) {
            writer.kill();  // SIGKILL: no clean-up runs
            QVERIFY(writer.waitForFinished(10000));
        }

        const QByteArray now = test::readAll(doc);
        qInfo("document after the kill: %s", now == old ? "old" : now == fresh ? "new" : "mixed");
        if (!stop.isEmpty())
            QVERIFY2(now == old, "killed before the rename, yet the document changed");
        else
            QVERIFY2(now == old || now == fresh, "the document is neither the old nor the new one");
        const auto opened = imaging::Document::open(doc);
        if (mode == QLatin1String("tiff") || now == old) {
            QVERIFY(opened);
            QCOMPARE(opened->pageCount(), now == old ? 4 : kTiffPages);
        }

        // Whatever the killed writer left is a hidden temporary file that a file chooser's
        // document filter does not list, and it does not stop the next save.
        const QStringList documents =
            QDir(dir.path())
                .entryList(
                    {QStringLiteral("*.tif"), QStringLiteral("*.tiff"), QStringLiteral("*.fax")},
                    QDir::Files);
        QCOMPARE(documents, QStringList{QStringLiteral("doc.tif")});
        const QStringList all =
            QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QString& name : all)
            QVERIFY2(name == QLatin1String("doc.tif") ||
                         (name.startsWith(QLatin1String(".doc.tif.tmp-"))),
                     qPrintable(name));
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
