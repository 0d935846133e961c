#pragma once

#include "store/TInterval.h"

#include <QObject>
#include <QTimer>

class BoardModel;

// The board's minute: counts the minutes since each periodic job last ran and runs the jobs
// whose period has come (memo check, full reload, change-stamp check), then the window's
// per-minute work. A tick that comes while the board is loading waits for the end of the
// load and then runs once for each minute it stood for. Where the model has the share's queue,
// the change-stamp check is only asked for here and ends once the stamp has been read.
class MinuteScheduler final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MinuteScheduler)

public:
    explicit MinuteScheduler(BoardModel& model, QObject* parent = nullptr);

    // The periods, in minutes; 0 switches a job off.
    TInterval Interval() const { return m_interval; }
    void SetInterval(const TInterval& interval) { m_interval = interval; }
    // Minutes since each job last ran.
    TInterval MinCounter() const { return m_minCounter; }

    // A datagram brought a change: the change stamp need not be polled for another period.
    void RestartChangeStampCount() { m_minCounter.ReloadLastCommit = 0; }
    // The memo check counts again from 0 (start-up, and a memo announced by datagram).
    void RestartMemoCheckCount() { m_minCounter.CheckMsg = 0; }

    // The timer that ticks every 60 000 ms; created disabled.
    void SetTimerEnabled(bool enabled);

public slots:
    // One minute has passed.
    void MinuteTick();

signals:
    // The memo-check period has come round.
    void OnCheckMsg();
    // The end of every tick: the window's per-minute work.
    void OnIntervalTimer();
    // A load started by the tick failed; the text is for a message box.
    void LoadFailed(const QString& message);

private:
    void restartReloadCounts();
    void runPendingTicks();
    void tickNow();

    BoardModel& m_model;
    TInterval m_interval;
    TInterval m_minCounter;
    QTimer m_timer;
    int m_ticksPending = 0;
    int m_ticksSinceStart = 0;
};
