#pragma once

#include "updater/TUpdaterThread.h"

#include <QStringList>

#include <optional>

namespace Updater {

// The program's exit code. Nobody waits for it in normal use (the board program has ended);
// it tells end-to-end tests and administrators' scripts how a run went.
enum ExitCode {
    Updated = 0,   // replaced and started again
    Failed = 1,    // the failure box was shown
    Refused = 2,   // arguments or files not as the board program gives them: nothing done, nothing shown
    Cancelled = 3, // the user chose Cancel while the board program still ran: nothing done
};

// The arguments after the program name: "-Update" (trimmed, exact letter case), the new build
// and the program file to replace, both trimmed and both existing files; then optionally
// "-SHA256=<hex>", the digest the new build must have. Anything else after them is ignored.
std::optional<UpdateRequest> ParseArguments(const QStringList& arguments);

// The run of the program once its arguments are accepted: does the work on a worker thread while
// this thread keeps its event loop running to show the boxes the worker asks for, then shows the
// failure box if the work failed. Call it on the thread that may show boxes.
int Run(const UpdateRequest& request, const UpdaterEnvironment& environment);

// The whole run, arguments checked first.
int Run(const QStringList& arguments, const UpdaterEnvironment& environment);

} // namespace Updater
