#pragma once

#include "board/BoardModel.h"
#include "board/MinuteScheduler.h"
#include "platform/Clock.h"
#include "store/LocalSettings.h"
#include "store/ParmRec.h"
#include "store/StatusSink.h"

#include <QElapsedTimer>
#include <QList>
#include <QRandomGenerator>
#include <QStringList>

#include <memory>
#include <vector>

// What one driver process does: which members it plays and for how long.
struct DriverPlan
{
    QByteArray shareDir;         // in-memory form, upper-cased, ending in a separator
    QList<QByteArray> keys;      // the members this driver plays (file-name parts)
    QList<QByteArray> addresses; // their loopback addresses, one per key
    QList<QByteArray> everybody; // every member of the board: the memo recipients
    quint64 seed = 0;
    int seconds = 60;
    int opsPerSecond = 10;
    QByteArray memoTag; // begins every memo token of this driver: unique per run and driver
};

// Members played through the program's own core: each has its own record, status writer and
// datagram socket on its own address, as if it ran its own copy; one board model serves them
// all. Memos go through the memo files and their guard, like every copy's.
class SoakDriver
{
public:
    explicit SoakDriver(DriverPlan plan);
    ~SoakDriver();

    // Loads the site and the board and starts every member.
    bool Begin(QString& error);
    // One random operation and the pause after it; false once the time is up.
    bool Step();
    // What happened: memo lines ("memo KEY TOKEN", "refused KEY TOKEN"), the last state of
    // every member ("final KEY RUNNING hex(locate) hex(date) hex(time) mark") and counts.
    QStringList Journal() const;
    qint64 Operations() const { return m_operations; }

private:
    struct Member;
    class Sink final : public StatusSink
    {
    public:
        void setStatusText(const QString& text) override;
        void setProgress(int) override {}
        int faults = 0;
    };

    void changeStatus(Member& member);
    void sendMemo(Member& member);
    void takeInMemos(Member& member);
    void startOrStop(Member& member);

    DriverPlan m_plan;
    QRandomGenerator m_random;
    SystemClock m_clock;
    Sink m_sink;
    LocalSettings m_settings;
    ParmRecList m_boards;
    int m_currentBoard = 0;
    BoardModel m_model;
    MinuteScheduler m_scheduler;
    std::vector<std::unique_ptr<Member>> m_members;
    QElapsedTimer m_elapsed;
    qint64 m_lastReload = 0;
    qint64 m_operations = 0;
    qint64 m_memoNumber = 0;
    QStringList m_journal;
    QMap<QString, qint64> m_counts;
};
