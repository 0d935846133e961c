#include "platform/ParallelWork.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <exception>

namespace ParallelWork {
namespace {

// A call that takes longer than this on average is waiting on something (a file server's
// round trip), not working: overlapping such calls pays.
constexpr qint64 slowCallNs = 200'000;

} // namespace

void RunWhileEventsFlow(const std::function<void()>& work)
{
    const QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) {
        work();
        return;
    }
    std::exception_ptr failure;
    QSemaphore finished;
    QEventLoop loop;
    // A thread of Qt's pool, which stays for the next load a while. On a busy machine a thread
    // made afresh for each load waits its turn behind everything else before it starts.
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->reserveThread();
    pool->startOnReservedThread([&work, &failure, &finished, &loop] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        finished.release();
    });
    loop.exec();
    // The loop also ends when the application is asked to quit; the work still has to finish
    // before its results (and the stack it writes to) go away.
    finished.acquire();
    if (failure)
        std::rethrow_exception(failure);
}

void ForEach(int count, int inFlight, const std::function<void(int)>& body)
{
    const int workers = std::clamp(inFlight, 1, std::max(count, 1));
    // Each worker takes the next index as it becomes free, so one slow call holds up one
    // worker rather than a whole batch.
    std::atomic<int> next{0};
    const auto work = [&next, count, &body] {
        for (int i = next.fetch_add(1); i < count; i = next.fetch_add(1))
            body(i);
    };
    // Many calls start on the calling thread alone: on a local disk they take microseconds and
    // threads would only add their cost. Helpers join once the calls turn out to wait. No more
    // calls than workers start on helpers at once: the threads cost less than the round trip
    // that finding out would spend.
    if (count > workers) {
        QElapsedTimer timer;
        timer.start();
        int done = 0;
        for (int i = next.fetch_add(1); i < count; i = next.fetch_add(1)) {
            body(i);
            ++done;
            if (workers > 1 && timer.nsecsElapsed() / done > slowCallNs)
                break;
        }
    }
    if (next.load() >= count)
        return;
    QThreadPool pool;
    pool.setMaxThreadCount(workers - 1);
    for (int w = 1; w < workers; ++w)
        pool.start(work);
    work();
    pool.waitForDone();
}

} // namespace ParallelWork
