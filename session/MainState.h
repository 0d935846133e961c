#pragma once

#include "board/BoardModel.h"
#include "board/MinuteScheduler.h"
#include "store/ParmRec.h"
#include "store/TVurnaDataRec.h"

#include <QByteArray>
#include <QList>

// The process-wide state of the board program, owned by the main window for the life of the
// process and handed by reference to whatever works on it.
struct MainState
{
    MainState() : Scheduler(Model) {}
    Q_DISABLE_COPY_MOVE(MainState)

    // The running user's own record (empty FileName: a guest).
    TVurnaDataRec Own;
    // Element 0 is the own board (the local setting ShareDir); the others are the boards that
    // its site configuration lists.
    ParmRecList Boards;
    // The board on show.
    int CurrentBoard = 0;
    // Its members, and the minute that keeps them current.
    BoardModel Model;
    MinuteScheduler Scheduler;

    bool StartUpFinished = false;
    bool NewMemo = false;         // unread memos wait
    bool HuzaiAlart = false;      // the own entry is marked absent
    bool AutoResetAllowed = true; // false once the user declined the overdue question
    bool AutoResetAsking = false; // the overdue question is open

    // Deliveries of the last sending, worked through by the memo and file delivery.
    QList<QByteArray> SendList;

    ParmRec& OwnBoard() { return Boards[0]; }
    const ParmRec& OwnBoard() const { return Boards.at(0); }
    ParmRec& ShownBoard() { return Boards[CurrentBoard]; }
    const ParmRec& ShownBoard() const { return Boards.at(CurrentBoard); }

    // The user's own entry: on the own board only, where names are unique. Another board may
    // have a member of the same file name who is somebody else. Its index (1 or more) and a
    // copy in `entry`; -1 while another board is shown or the user has no entry.
    int FindOwnEntry(TVurnaDataRec& entry) const;
};

// Whether the user has an own entry on the board: the file-name part of the trimmed,
// lower-cased FileName is not empty and the path is not the bare drive root "c:\".
bool HasOwnEntry(const TVurnaDataRec& own);
