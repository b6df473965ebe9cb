#include "imaging/backgroundwork.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QRunnable>

#include <algorithm>

namespace ktdv::imaging {

// What the pool queues: it only carries the task, which decides whether it still runs.
class BackgroundRunner final : public QRunnable {
public:
    explicit BackgroundRunner(TaskHandle task) : m_task(std::move(task)) {}

    // Publishes the runner to the worker that will run it; called just before it is queued.
    void handOver() { m_handedOver.store(true, std::memory_order_release); }

    void run() override {
        m_handedOver.load(std::memory_order_acquire);
        m_task->leftQueue();
        if (m_task->claim(BackgroundTask::Running))
            m_task->runClaimed();
    }

private:
    TaskHandle m_task;
    std::atomic<bool> m_handedOver{false};
};

BackgroundTask::BackgroundTask(std::function<void()> work, std::function<void()> after)
    : m_work(std::move(work)), m_after(std::move(after)) {}

void BackgroundTask::queueOn(QThreadPool& pool, const TaskHandle& self) {
    m_pool = &pool;
    auto* runner = new BackgroundRunner(self);
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_runnable = runner;
    }
    // Publishes the work to the thread that claims it.
    m_state.store(Queued, std::memory_order_release);
    runner->handOver();
    pool.start(runner);
}

void BackgroundTask::leftQueue() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_runnable = nullptr;
}

void BackgroundTask::removeFromQueue() {
    // The runnable is deleted only after its run() began, which clears m_runnable under
    // the lock first: a pointer still here is alive.
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_runnable && m_pool->tryTake(m_runnable))
        delete m_runnable;
    m_runnable = nullptr;
}

bool BackgroundTask::claim(State to) {
    int expected = Queued;
    return m_state.compare_exchange_strong(expected, to, std::memory_order_acq_rel);
}

void BackgroundTask::runClaimed() {
    m_work();
    m_work = nullptr;
    settle(Done);
    if (m_after)
        m_after();
}

void BackgroundTask::settle(State state) {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_state.store(state, std::memory_order_release);
        m_over = true;
    }
    m_settled.notify_all();
}

bool BackgroundTask::takeOver() {
    if (m_state.load(std::memory_order_acquire) != Queued)
        return false;
    removeFromQueue();
    if (!claim(Running))
        return false;
    runClaimed();
    return true;
}

bool BackgroundTask::drop() {
    if (m_state.load(std::memory_order_acquire) != Queued)
        return false;
    removeFromQueue();
    if (!claim(Dropped))
        return false;
    m_work = nullptr;
    settle(Dropped);
    return true;
}

void BackgroundTask::wait() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_settled.wait(lock, [this] { return m_over; });
}

bool BackgroundTask::finished() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_over;
}

TaskHandle runInBackground(QThreadPool& pool, std::function<void()> work) {
    auto task = std::make_shared<BackgroundTask>(std::move(work), nullptr);
    task->queueOn(pool, task);
    return task;
}

// Finished tasks' deliveries, left by the workers for the object's thread.
struct BackgroundWork::Inbox {
    std::mutex mutex;
    BackgroundWork* receiver = nullptr;          // under mutex; null once it is gone
    std::vector<std::function<void()>> arrived;  // under mutex
};

BackgroundWork::BackgroundWork(QThreadPool* pool, QObject* parent)
    : QObject(parent),
      m_pool(pool ? pool : QThreadPool::globalInstance()),
      m_inbox(std::make_shared<Inbox>()) {
    m_inbox->receiver = this;
}

BackgroundWork::~BackgroundWork() {
    {
        const std::lock_guard<std::mutex> lock(m_inbox->mutex);
        m_inbox->receiver = nullptr;
        m_inbox->arrived.clear();
    }
    for (const TaskHandle& task : m_tasks) {
        task->drop();
        task->wait();
    }
}

TaskHandle BackgroundWork::startDelivering(std::function<void()> work,
                                           std::function<void()> deliver) {
    std::erase_if(m_tasks, [](const TaskHandle& t) { return t->finished(); });
    // The delivery is handed to the worker with the task and comes back through the inbox.
    auto after = [inbox = m_inbox, deliver = std::move(deliver)]() mutable {
        const std::lock_guard<std::mutex> lock(inbox->mutex);
        if (!inbox->receiver)
            return;
        inbox->arrived.push_back(std::move(deliver));
        // Only Qt touches the receiver here; the event itself carries nothing.
        QCoreApplication::postEvent(inbox->receiver, new QEvent(QEvent::User));
    };
    auto task = std::make_shared<BackgroundTask>(std::move(work), std::move(after));
    task->queueOn(*m_pool, task);
    m_tasks.push_back(task);
    return task;
}

void BackgroundWork::dropQueued() {
    for (const TaskHandle& task : m_tasks)
        task->drop();
    std::erase_if(m_tasks, [](const TaskHandle& t) { return t->finished(); });
}

void BackgroundWork::customEvent(QEvent* event) {
    Q_UNUSED(event);
    std::vector<std::function<void()>> arrived;
    {
        const std::lock_guard<std::mutex> lock(m_inbox->mutex);
        arrived.swap(m_inbox->arrived);
    }
    const QPointer<BackgroundWork> self(this);
    for (std::function<void()>& deliver : arrived) {
        deliver();
        if (!self)
            return;  // a receiver destroyed us
    }
}

}  // namespace ktdv::imaging
