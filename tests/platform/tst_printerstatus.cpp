#include "platform/printerqueue.h"

#include <QtTest>

using namespace ktdv;

class TestPrinterStatus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void status_data() {
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("accepting");
        QTest::addColumn<QString>("reasons");
        QTest::addColumn<QString>("expected");

        QTest::newRow("idle, accepting, none") << true << 3 << true << "none"
                                               << "Ready";
        QTest::newRow("idle, accepting, no reasons") << true << 3 << true << ""
                                                     << "Ready";
        QTest::newRow("reasons NONE any case") << true << 3 << true << " None "
                                               << "Ready";
        QTest::newRow("no default printer") << false << 3 << true << "none"
                                            << "Busy";
        QTest::newRow("printing") << true << 4 << true << "none"
                                  << "Busy";
        QTest::newRow("stopped") << true << 5 << true << "paused"
                                 << "Busy";
        QTest::newRow("not accepting jobs") << true << 3 << false << "none"
                                            << "Busy";
        QTest::newRow("out of paper") << true << 3 << true << "media-empty-error"
                                      << "Busy";
        QTest::newRow("several reasons") << true << 3 << true << "none,toner-low-warning"
                                         << "Busy";
        QTest::newRow("unknown state") << true << 0 << true << "none"
                                       << "Busy";
    }

    void status() {
        QFETCH(bool, found);
        QFETCH(int, state);
        QFETCH(bool, accepting);
        QFETCH(QString, reasons);
        QFETCH(QString, expected);

        int queries = 0;
        const auto printer = createPrinterStatus([&] {
            ++queries;
            PrinterQueueState q;
            q.found = found;
            q.name = QStringLiteral("desk");
            q.state = state;
            q.acceptingJobs = accepting;
            q.stateReasons = reasons;
            return q;
        });
        QCOMPARE(printer->status(), expected);
        // Every check asks the print system again: the printer may have changed meanwhile.
        QCOMPARE(printer->status(), expected);
        QCOMPARE(queries, 2);
    }

    void noQueryIsBusy() { QCOMPARE(createPrinterStatus({})->status(), QStringLiteral("Busy")); }

    void realQueueAnswersEitherWay() {
        // No print system may be running here; the answer must still come, and be one of two.
        const QString s = createCupsPrinterStatus()->status();
        QVERIFY2(s == QLatin1String("Ready") || s == QLatin1String("Busy"), qPrintable(s));
    }
};

QTEST_GUILESS_MAIN(TestPrinterStatus)
#include "tst_printerstatus.moc"
