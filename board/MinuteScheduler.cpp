#include "board/MinuteScheduler.h"

#include "board/BoardModel.h"
#include "board/EFileIOError.h"
#include "platform/LogCategories.h"

namespace {

constexpr int MinuteMs = 60000;
// Copies started in the same minute (an office at nine) read each other's stop markers and
// announce their start only to the members they saw running: one full reload soon after the
// start shows them running, instead of the next periodic one an hour or more later.
constexpr int SettleReloadMinute = 2;

} // namespace

MinuteScheduler::MinuteScheduler(BoardModel& model, QObject* parent) : QObject(parent), m_model(model)
{
    m_timer.setInterval(MinuteMs);
    connect(&m_timer, &QTimer::timeout, this, &MinuteScheduler::MinuteTick);
    connect(&m_model, &BoardModel::Refreshed, this, &MinuteScheduler::restartReloadCounts);
    connect(&m_model, &BoardModel::BusyChanged, this, [this](bool busy) {
        // Held-back ticks run from the event loop, not nested inside whatever ended the load.
        if (!busy && m_ticksPending > 0)
            QTimer::singleShot(0, this, &MinuteScheduler::runPendingTicks);
    });
}

void MinuteScheduler::SetTimerEnabled(bool enabled)
{
    if (enabled)
        m_timer.start();
    else
        m_timer.stop();
}

void MinuteScheduler::restartReloadCounts()
{
    m_minCounter.ReloadLastCommit = 0;
    m_minCounter.ReloadAllFile = 0;
}

void MinuteScheduler::MinuteTick()
{
    if (m_model.IsLoading()) {
        ++m_ticksPending;
        return;
    }
    tickNow();
}

void MinuteScheduler::runPendingTicks()
{
    while (!m_model.IsLoading() && m_ticksPending > 0) {
        --m_ticksPending;
        tickNow();
    }
}

void MinuteScheduler::tickNow()
{
    if (m_interval.CheckMsg > 0 && ++m_minCounter.CheckMsg >= m_interval.CheckMsg) {
        m_minCounter.CheckMsg = 0;
        emit OnCheckMsg();
    }
    ++m_ticksSinceStart;
    try {
        const bool due = m_interval.ReloadAllFile > 0 && ++m_minCounter.ReloadAllFile >= m_interval.ReloadAllFile;
        const bool settle = m_interval.ReloadAllFile > 0 && m_ticksSinceStart == SettleReloadMinute;
        if (due || settle) {
            m_minCounter.ReloadAllFile = 0;
            // A full reload in effect: only the files that changed since the last load are read.
            m_model.ReloadChanged();
            m_model.ReadTimeStamp();
        }
        if (m_interval.ReloadLastCommit > 0 && ++m_minCounter.ReloadLastCommit >= m_interval.ReloadLastCommit) {
            m_minCounter.ReloadLastCommit = 0;
            m_model.ReloadLastCommit();
        }
    } catch (const EFileIOError& e) {
        qCWarning(lcBoard) << "load failed" << e.message();
        emit LoadFailed(e.message());
    }
    emit OnIntervalTimer();
}
