#pragma once
// The one way work runs off the thread that asked for it: a task on a QThreadPool.
//
// runInBackground() queues a task and returns its handle; whoever holds the handle can
// take a task no worker has begun over (run it on its own thread instead of waiting for a
// worker), drop it, or wait for it. BackgroundWork, an object living on the UI thread,
// also hands each task's result back to that thread. runHoldingInput() runs one task while
// the calling thread goes on handling its events except user input, and returns the
// result as a plain call would.
//
// Threads: every hand-off between the asking thread and a worker goes through a
// std::mutex or a std::atomic, which the thread sanitizer follows: a task is published
// with a release store before the pool gets it, its end is announced under the task's
// mutex, and results come back through a mutex-guarded list announced by a plain event
// that only Qt touches on the worker (the pool's and the event loop's own locks are inside
// Qt, which is not instrumented).

#include <QEventLoop>
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace ktdv::imaging {

class BackgroundTask {
public:
    // Runs the work on the calling thread when no worker has begun it; true when it ran here.
    bool takeOver();
    // Drops the work when no worker has begun it; true when it was dropped.
    bool drop();
    // Until the work has run (on a worker or by takeOver()) or was dropped.
    void wait();
    bool finished() const;

    // Use runInBackground() or BackgroundWork.
    BackgroundTask(std::function<void()> work, std::function<void()> after);

private:
    friend class BackgroundRunner;
    friend std::shared_ptr<BackgroundTask> runInBackground(QThreadPool& pool,
                                                           std::function<void()> work);
    friend class BackgroundWork;
    enum State : int { Unstarted, Queued, Running, Done, Dropped };

    void queueOn(QThreadPool& pool, const std::shared_ptr<BackgroundTask>& self);
    void removeFromQueue();  // takes the runnable back from the pool when still queued
    void leftQueue();        // the pool began the runnable
    bool claim(State to);
    void runClaimed();
    void settle(State state);

    std::function<void()> m_work;
    std::function<void()> m_after;  // on the thread that ran the work, once it is done
    QThreadPool* m_pool = nullptr;
    std::atomic<int> m_state{Unstarted};
    mutable std::mutex m_mutex;
    std::condition_variable m_settled;
    bool m_over = false;              // under m_mutex
    QRunnable* m_runnable = nullptr;  // under m_mutex; set while the pool's queue holds it
};

using TaskHandle = std::shared_ptr<BackgroundTask>;

// Queues work on the pool (the application's shared pool by default).
TaskHandle runInBackground(QThreadPool& pool, std::function<void()> work);
inline TaskHandle runInBackground(std::function<void()> work) {
    return runInBackground(*QThreadPool::globalInstance(), std::move(work));
}

// Runs tasks on a pool and calls each one's `done` with its result on the thread this
// object lives on, in the order the tasks finish. A dropped task's `done` is never called.
// Create, use and destroy on one thread, which runs an event loop; the destructor drops
// the queued tasks and waits for the running ones.
class BackgroundWork : public QObject {
public:
    explicit BackgroundWork(QThreadPool* pool = nullptr, QObject* parent = nullptr);
    ~BackgroundWork() override;
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    // work() runs on a worker; done(result) later on this object's thread (done() without
    // an argument for work returning nothing).
    template <class Work, class Done>
    TaskHandle start(Work work, Done done) {
        using Result = std::invoke_result_t<Work&>;
        if constexpr (std::is_void_v<Result>) {
            return startDelivering(std::move(work), std::move(done));
        } else {
            auto slot = std::make_shared<std::optional<Result>>();
            return startDelivering(
                [slot, work = std::move(work)]() mutable { slot->emplace(work()); },
                [slot, done = std::move(done)]() mutable { done(std::move(**slot)); });
        }
    }
    // Drops every task not yet begun.
    void dropQueued();
    QThreadPool& pool() const { return *m_pool; }

protected:
    void customEvent(QEvent* event) override;

private:
    struct Inbox;

    TaskHandle startDelivering(std::function<void()> work, std::function<void()> deliver);

    QThreadPool* m_pool;
    std::shared_ptr<Inbox> m_inbox;   // shared with the workers
    std::vector<TaskHandle> m_tasks;  // not yet delivered or dropped
};

// Runs work on a worker of the shared pool while this thread handles its events except
// user input (its windows keep painting, input waits), and returns work's result.
template <class Work>
std::invoke_result_t<Work&> runHoldingInput(Work work) {
    using Result = std::invoke_result_t<Work&>;
    auto slot = std::make_shared<std::optional<Result>>();
    QEventLoop loop;
    BackgroundWork background;
    const TaskHandle task =
        background.start([slot, work = std::move(work)]() mutable { slot->emplace(work()); },
                         [&loop] { loop.quit(); });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    task->wait();  // the loop may have been left early by the application quitting
    return std::move(**slot);
}

}  // namespace ktdv::imaging
