#include "platform/ShareQueue.h"

#include <QThread>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;

} // namespace

// Shared by the queue and its thread, which outlives a queue destroyed while a job hangs.
struct ShareQueue::State
{
    struct Job
    {
        QByteArray key;
        std::function<void()> work;
        // Results go back through the queue, on its thread, and only while the asker lives.
        QPointer<QObject> receiver;
        bool hasReceiver = false;
        std::function<void()> done;
    };

    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<Job> jobs;
    bool running = false;
    SteadyClock::time_point startedAt;
    bool threadStarted = false;
    bool stopping = false;
    // Null once the queue is gone: nothing is handed back any more.
    ShareQueue* owner = nullptr;

    static void Run(const std::shared_ptr<State>& state);
};

void ShareQueue::State::Run(const std::shared_ptr<State>& state)
{
    std::unique_lock lock(state->mutex);
    for (;;) {
        state->wake.wait(lock, [&] { return state->stopping || !state->jobs.empty(); });
        if (state->stopping)
            return;
        Job job = std::move(state->jobs.front());
        state->jobs.pop_front();
        state->running = true;
        state->startedAt = SteadyClock::now();
        lock.unlock();
        if (job.work)
            job.work();
        lock.lock();
        state->running = false;
        if (state->owner && job.hasReceiver) {
            QMetaObject::invokeMethod(
                state->owner,
                [receiver = job.receiver, done = std::move(job.done)] {
                    if (receiver && done)
                        done();
                },
                Qt::QueuedConnection);
        }
        if (state->jobs.empty())
            state->idle.notify_all();
    }
}

ShareQueue::ShareQueue(int stallMs, QObject* parent)
    : QObject(parent), m_state(std::make_shared<State>()), m_stallMs(stallMs), m_watch(new QTimer(this))
{
    m_state->owner = this;
    m_watch->setInterval(std::max(stallMs / 3, 10));
    connect(m_watch, &QTimer::timeout, this, &ShareQueue::CheckStall);
}

void ShareQueue::CheckStall()
{
    bool stalled = false;
    bool busy = false;
    {
        const std::lock_guard lock(m_state->mutex);
        busy = m_state->running || !m_state->jobs.empty();
        stalled = m_state->running && SteadyClock::now() - m_state->startedAt > std::chrono::milliseconds(m_stallMs);
    }
    if (!busy)
        m_watch->stop();
    if (stalled != m_stalled) {
        m_stalled = stalled;
        emit StalledChanged(stalled);
    }
}

ShareQueue::~ShareQueue()
{
    std::unique_lock lock(m_state->mutex);
    m_state->owner = nullptr;
    m_state->stopping = true;
    m_state->jobs.clear();
    m_state->wake.notify_all();
    m_state->idle.wait_for(lock, std::chrono::milliseconds(LeaveBehindMs), [&] { return !m_state->running; });
}

void ShareQueue::Post(const QByteArray& key, std::function<void()> work)
{
    Enqueue(key, std::move(work), nullptr, {});
}

void ShareQueue::Enqueue(const QByteArray& key, std::function<void()> work, QObject* receiver,
                         std::function<void()> done)
{
    {
        const std::lock_guard lock(m_state->mutex);
        if (!key.isEmpty()) {
            std::erase_if(m_state->jobs, [&](const State::Job& job) { return job.key == key; });
        }
        m_state->jobs.push_back({key, std::move(work), receiver, receiver != nullptr, std::move(done)});
        if (!m_state->threadStarted) {
            m_state->threadStarted = true;
            std::thread([state = m_state] { State::Run(state); }).detach();
        }
        m_state->wake.notify_one();
    }
    // The watch is a timer of the queue's thread; a job posted from another thread (a load's
    // log line) starts it there.
    if (QThread::currentThread() == thread()) {
        if (!m_watch->isActive())
            m_watch->start();
    } else {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!m_watch->isActive())
                    m_watch->start();
            },
            Qt::QueuedConnection);
    }
}

bool ShareQueue::IsStalled() const
{
    return m_stalled;
}

int ShareQueue::Pending() const
{
    const std::lock_guard lock(m_state->mutex);
    return int(m_state->jobs.size()) + (m_state->running ? 1 : 0);
}

bool ShareQueue::Drain(int ms)
{
    std::unique_lock lock(m_state->mutex);
    return m_state->idle.wait_for(lock, std::chrono::milliseconds(ms),
                                  [&] { return m_state->jobs.empty() && !m_state->running; });
}
