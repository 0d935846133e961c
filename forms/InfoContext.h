#pragma once

#include "platform/ShareQueue.h"
#include "store/MemoFiles.h"
#include "store/TVurnaDataRec.h"

#include <QByteArray>
#include <QList>
#include <QPixmap>
#include <QStringList>

#include <functional>
#include <optional>

class Clock;
class MessageBoxes;
class StatusSink;
class BoardModel;

// The reasons each member typed before, offered again on the absence panel. The board window
// keeps them in its files; the detail window only asks for them and hands them back. Each runs
// on the share's queue.
struct ReasonHistory
{
    // The member's history, newest first; nullopt when it exists but could not be read.
    std::function<std::optional<QList<QByteArray>>(const QByteArray& memberPath)> read;
    // The reason just set (empty when the absence was cleared) on top of `kept`, the history
    // as the panel showed it less the lines the user deleted (CR LF between lines), stored as
    // the member's history.
    std::function<void(const QByteArray& memberPath, const QByteArray& kept, const QByteArray& newText)> replace;
    // The reason just set on top of each member's history as it stands.
    std::function<void(const QList<QByteArray>& memberPaths, const QByteArray& newText)> add;
};

// What the detail window works with, handed in by the board window for one use.
struct InfoContext
{
    BoardModel& board; // the board on show: members are read afresh through it
    // The one way absences are written: every record 1..n gets the absence, is saved and
    // announced, then the change stamp advances once.
    std::function<void(TVurnaDataArray& records, const QByteArray& locate, qint32 statusIndex, const QByteArray& time,
                       const QByteArray& date)>
        setHuzai;
    const TVurnaDataRec& own; // the running user (the sender of memos)
    Clock& clock;
    MessageBoxes& boxes;
    StatusSink& status;            // the board window's status bar
    QList<QPixmap> statusPictures; // by display status code
    QStringList dropFiles;         // the items of the last drop on the board, in drop order
    std::function<void()> clearDropFiles;
    // Replaces the send list with `lines` and sets it on its way; the files follow on the queue.
    std::function<void(const QList<QByteArray>& lines)> send;
    // Reads the member's memo board as it stands, for the read page; runs on the share's queue.
    std::function<MemoFiles::Board(const TVurnaDataRec& member)> showMemoBoard;
    ReasonHistory history;
    // Where the window's file work runs, off the window's thread; without one it runs at once.
    ShareQueue* queue = nullptr;

    // Runs `work` on the queue, then `done` with its result on `receiver`'s thread while the
    // receiver lives: a window closed meanwhile is never touched.
    template <class Result>
    void Run(const QByteArray& key, std::function<Result()> work, QObject* receiver,
             std::function<void(Result)> done) const
    {
        ShareQueue::Run<Result>(queue, key, std::move(work), receiver, std::move(done));
    }
    void Run(std::function<void()> work) const
    {
        if (queue)
            queue->Post({}, std::move(work));
        else
            work();
    }
};
