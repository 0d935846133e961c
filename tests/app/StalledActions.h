#pragma once

#include <QList>
#include <QString>

#include <functional>

class BoardSession;
class TfrmMain;

// What a user does on the board, tried while the file server does not answer (tests) and
// measured there (benchmarks). The share holds 山田 (the user, away at a meeting), 鈴木, a
// second board in the folder "osaka" and a site configuration that lists it.
namespace StalledActions {

struct Action
{
    const char* name;
    // Runs on the window's thread while the server does not answer.
    std::function<void(BoardSession&, TfrmMain&)> act;
    // Once the server answers again: whether the action has done its work (`backing` is the
    // share's folder on local disk, beside the server).
    std::function<bool(BoardSession&, const QString& backing)> done;
};

// Fills the share's folder on local disk; `served` is the same folder as the program sees it.
void MakeShare(const QString& backing, const QString& served);
// Something changes on the share while the server does not answer, for the reloads to find.
void ChangeWhileAway(const QString& backing);

QList<Action> All();

} // namespace StalledActions
