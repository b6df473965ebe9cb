// Background tasks: a queued task can be taken over or dropped, results come back on the
// owner's thread, and a task run while holding input leaves the event loop running.

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <future>
#include <vector>

#include "imaging/backgroundwork.h"

using namespace ktdv::imaging;

namespace {

constexpr auto kBound = std::chrono::seconds(20);

}  // namespace

class TestBackgroundWork : public QObject {
    Q_OBJECT
private slots:
    // With the pool's one thread held, queued tasks are taken over here or dropped.
    void queuedTasksAreTakenOverOrDropped() {
        QThreadPool pool;
        pool.setMaxThreadCount(1);
        std::promise<void> gate;
        std::shared_future<void> open = gate.get_future().share();
        const TaskHandle blocker = runInBackground(pool, [open] { open.wait_for(kBound); });
        QThread* ranOn = nullptr;
        std::atomic<bool> droppedRan{false};
        const TaskHandle taken = runInBackground(pool, [&] { ranOn = QThread::currentThread(); });
        const TaskHandle dropped = runInBackground(pool, [&] { droppedRan = true; });
        QVERIFY(taken->takeOver());
        QCOMPARE(ranOn, QThread::currentThread());
        QVERIFY(dropped->drop());
        QVERIFY(dropped->finished());
        QVERIFY(!taken->takeOver() && !taken->drop());  // both once only
        gate.set_value();
        blocker->wait();
        QVERIFY(!blocker->drop());
        pool.waitForDone();
        QVERIFY(!droppedRan);
    }

    // Results come back on the owner's thread; dropped tasks deliver nothing.
    void resultsArriveOnTheOwnersThread() {
        QThreadPool pool;
        pool.setMaxThreadCount(1);
        std::promise<void> gate;
        std::shared_future<void> open = gate.get_future().share();
        BackgroundWork work(&pool);
        std::vector<int> got;
        bool onOwner = true;
        auto collect = [&](int value) {
            onOwner = onOwner && QThread::currentThread() == thread();
            got.push_back(value);
        };
        std::promise<void> began;
        work.start(
            [open, &began] {
                began.set_value();
                return open.wait_for(kBound) == std::future_status::ready ? 1 : -1;
            },
            collect);
        QVERIFY(began.get_future().wait_for(kBound) == std::future_status::ready);
        work.start([] { return 2; }, collect);
        work.dropQueued();
        const TaskHandle last = work.start([] { return 3; }, collect);
        gate.set_value();
        QTRY_COMPARE_WITH_TIMEOUT(got.size(), size_t(2), 20000);
        QCOMPARE(got, (std::vector<int>{1, 3}));
        QVERIFY(onOwner);
        QVERIFY(last->finished());
    }

    // The caller's events keep flowing while the work runs; the result is returned.
    void holdingInputKeepsEventsFlowing() {
        std::atomic<bool> timerFired{false};
        QTimer::singleShot(10, this, [&] { timerFired = true; });
        const int result = runHoldingInput([&] {
            const auto end = std::chrono::steady_clock::now() + kBound;
            while (!timerFired && std::chrono::steady_clock::now() < end)
                QThread::msleep(1);
            return timerFired ? 42 : 0;
        });
        QCOMPARE(result, 42);
    }
};

QTEST_GUILESS_MAIN(TestBackgroundWork)
#include "tst_backgroundwork.moc"
