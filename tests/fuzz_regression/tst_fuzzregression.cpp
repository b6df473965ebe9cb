// Replays the fuzz corpora and the saved crash inputs through the fuzz target bodies:
// none may crash (the test process would die), break an invariant (it aborts) or be slow.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include "targets/fuzztargets.h"

namespace {

// Far above what any input takes in an optimised build without sanitizers.
constexpr qint64 kMaxMillisecondsPerInput = 5000;

class FuzzRegressionTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ktdv::fuzz::initialize(); }

    void replay_data() {
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("path");
        int rows = 0;
        const auto& targets = ktdv::fuzz::targets();
        for (int t = 0; t < int(targets.size()); ++t) {
            const QString name = QLatin1String(targets[size_t(t)].name);
            for (const char* root : {KTDV_FUZZ_CORPUS, KTDV_FUZZ_REGRESSION_INPUTS}) {
                const QDir dir(QString::fromUtf8(root) + QLatin1Char('/') + name);
                const QString kind = QFileInfo(QString::fromUtf8(root)).fileName();
                for (const QFileInfo& file : dir.entryInfoList(QDir::Files, QDir::Name)) {
                    const QString row =
                        name + QLatin1Char('/') + kind + QLatin1Char('/') + file.fileName();
                    QTest::newRow(qPrintable(row)) << t << file.filePath();
                    ++rows;
                }
            }
        }
        QVERIFY2(rows > 0, "no corpus found");
    }

    void replay() {
        QFETCH(int, target);
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray input = file.readAll();
        QElapsedTimer timer;
        timer.start();
        ktdv::fuzz::targets()[size_t(target)].run(
            reinterpret_cast<const uint8_t*>(input.constData()), size_t(input.size()));
        QVERIFY2(timer.elapsed() < kMaxMillisecondsPerInput,
                 qPrintable(QStringLiteral("%1 ms").arg(timer.elapsed())));
    }

    // The targets survive inputs no fuzzer would start from.
    void edgeInputs_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one byte") << QByteArray(1, '\xFF');
        QTest::newRow("tiff magic only") << QByteArray("II*\0", 4);
        QTest::newRow("zeros") << QByteArray(4096, '\0');
        QTest::newRow("ones") << QByteArray(4096, '\xFF');
    }

    void edgeInputs() {
        QFETCH(QByteArray, input);
        for (const ktdv::fuzz::Target& target : ktdv::fuzz::targets())
            target.run(reinterpret_cast<const uint8_t*>(input.constData()), size_t(input.size()));
    }
};

}  // namespace

QTEST_MAIN(FuzzRegressionTest)
#include "tst_fuzzregression.moc"
