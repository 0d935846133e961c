#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

// Log-off must never hang. Once the program has been asked to end, a watch thread ends the
// process when the normal way out is still blocked at the deadline: a read on a file server
// that does not answer cannot be interrupted, and the load waiting on it holds up the return
// to the main loop. What the end could not write has been kept on this PC by then.
class EndDeadline final
{
public:
    EndDeadline() = default;
    // The normal end: the watch stops and the process is left alone.
    ~EndDeadline();
    EndDeadline(const EndDeadline&) = delete;
    EndDeadline& operator=(const EndDeadline&) = delete;

    // The process ends (exit code 0) `ms` from now, unless an earlier deadline stands or this
    // object goes first.
    void Arm(int ms);
    // The end's saving begins: it gets at least `ms` from now, but never more than LimitMs from
    // the first deadline set.
    void Extend(int ms);

    // From an end request to the end of the process: the end's own wait for the share, and
    // the saving around it, fit well inside.
    static constexpr int AfterRequestMs = 7000;
    // From the end's saving, done, to the end of the process.
    static constexpr int AfterSavedMs = 2000;
    // Log-off waits for no program longer than about ten seconds.
    static constexpr int LimitMs = 9500;

    // At once (exit code 0), without running anything more of this process: what runs at exit
    // may wait on threads stuck on the server, or destroy what they still use.
    [[noreturn]] static void EndNow();

private:
    void Set(std::chrono::steady_clock::time_point deadline);
    void Watch();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::chrono::steady_clock::time_point m_deadline = std::chrono::steady_clock::time_point::max();
    std::chrono::steady_clock::time_point m_limit = std::chrono::steady_clock::time_point::max();
    bool m_stopping = false;
    std::thread m_thread;
};
