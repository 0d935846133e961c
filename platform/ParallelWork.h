#pragma once

#include <functional>

// Work that waits on the share. On a file server every open, read and close is a round trip,
// so a board of a thousand members spends nearly all its load time waiting; these keep that
// wait off the window's thread and overlap the round trips.
namespace ParallelWork {

// Runs `work` on another thread (one of Qt's pool, kept a while between calls) while the
// calling thread goes on handling its events (painting, the tray, timers). Returns once `work`
// has ended, and rethrows what it threw.
// Called from any thread but the application's, or without an application, it simply runs
// `work`. Whatever those events do must not touch the data `work` is filling.
void RunWhileEventsFlow(const std::function<void()>& work);

// Calls body(i) for every i in [0, count), with at most `inFlight` calls running at once,
// and returns when all have ended. More calls than that run on the calling thread until they
// prove slow, then on helper threads too; fewer all start at once. `body` must not throw.
void ForEach(int count, int inFlight, const std::function<void(int)>& body);

} // namespace ParallelWork
