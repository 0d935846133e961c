#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

// The work of one shared directory, off the window's thread. A file server that stops
// answering blocks whatever calls it for as long as the client's time-out, a minute or more;
// the window must go on answering meanwhile. Jobs run one after the other on a thread of the
// queue's own, in the order they were posted, so that writes to one file never overtake each
// other; each job's result is handed back on the thread of the object that asked for it.
//
// A job posted with a key replaces a job of the same key that is still waiting: only the newest
// write of a member's status matters. A job that runs longer than the stall time makes the
// queue report itself stalled until it has ended.
class QTimer;

class ShareQueue final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShareQueue)

public:
    // How long a job may run before the share counts as not answering.
    static constexpr int DefaultStallMs = 1500;

    // How long going away waits for the running job. On a share that answers a job ends in
    // milliseconds, and one that goes on running meets the statics the end of the process
    // destroys; one that hangs on the server is left behind after this.
    static constexpr int LeaveBehindMs = 500;

    explicit ShareQueue(int stallMs = DefaultStallMs, QObject* parent = nullptr);
    // Drops the jobs still waiting and never waits longer than LeaveBehindMs for a job that
    // hangs on the share: its thread ends by itself once the call returns, and its result is
    // dropped.
    ~ShareQueue() override;

    // Runs `work` after every job posted before it; then `done` with its result on the thread
    // of `receiver`, unless the receiver is gone by then. A waiting job with the same non-empty
    // `key` is dropped, its `done` never called.
    template <class Result>
    void Post(const QByteArray& key, std::function<Result()> work, QObject* receiver, std::function<void(Result)> done)
    {
        auto result = std::make_shared<Result>();
        Enqueue(
            key, [work = std::move(work), result] { *result = work(); }, receiver,
            [done = std::move(done), result] {
                if (done)
                    done(std::move(*result));
            });
    }
    // A job whose result nobody waits for (a log line, a marker written at the end).
    void Post(const QByteArray& key, std::function<void()> work);

    // Posts to `queue`; without one (unit tests, benchmarks, tools) runs `work` and `done` at once.
    template <class Result>
    static void Run(ShareQueue* queue, const QByteArray& key, std::function<Result()> work, QObject* receiver,
                    std::function<void(Result)> done)
    {
        if (queue)
            queue->Post<Result>(key, std::move(work), receiver, std::move(done));
        else if (done)
            done(work());
        else
            work();
    }

    // True while a job has run longer than the stall time.
    bool IsStalled() const;
    // Jobs posted and not yet ended.
    int Pending() const;
    // Waits up to `ms` for every job posted so far to end, without handing back results; false
    // when some did not end in time (the share is not answering).
    bool Drain(int ms);

signals:
    // The share stopped answering (a job runs longer than the stall time), or answers again.
    void StalledChanged(bool stalled);

private:
    struct State;

    void Enqueue(const QByteArray& key, std::function<void()> work, QObject* receiver, std::function<void()> done);
    void CheckStall();

    std::shared_ptr<State> m_state;
    const int m_stallMs;
    // Looks at the running job while there is work.
    QTimer* m_watch = nullptr;
    bool m_stalled = false;
};
