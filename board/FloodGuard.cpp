#include "board/FloodGuard.h"

namespace {

// Whether the span that began at `start` has run its length by `now`. A clock set back ends it.
bool elapsed(qint64 start, qint64 now, qint64 length)
{
    return now < start || now - start >= length;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// QuietPeriod

bool QuietPeriod::over(qint64 now) const
{
    return !m_ran || elapsed(m_lastRun, now, m_periodMs);
}

bool QuietPeriod::Request(qint64 now)
{
    if (over(now)) {
        // A remembered request whose time has come (its timer not yet run) is this run.
        m_pending = false;
        m_ran = true;
        m_lastRun = now;
        return true;
    }
    m_pending = true;
    return false;
}

bool QuietPeriod::TakeDue(qint64 now)
{
    if (!m_pending || !over(now))
        return false;
    m_pending = false;
    m_ran = true;
    m_lastRun = now;
    return true;
}

// ---------------------------------------------------------------------------------------------
// ShareRequestGate

void ShareRequestGate::rollWindow(qint64 now)
{
    if (m_windowOpen && !elapsed(m_windowStart, now, MinuteMs))
        return;
    m_windowOpen = true;
    m_windowStart = now;
    m_tests = 0;
    m_lines = 0;
}

ShareRequestGate::Sender& ShareRequestGate::senderAt(const QByteArray& sender, qint64 now)
{
    auto found = m_senders.find(sender);
    if (found == m_senders.end()) {
        if (m_senders.size() >= MaxSenders) {
            // A linear walk, but only when a new sender meets a full table; the table is small.
            auto oldest = m_senders.begin();
            for (auto it = m_senders.begin(); it != m_senders.end(); ++it) {
                if (it->lastSeen < oldest->lastSeen)
                    oldest = it;
            }
            m_forgotten += oldest->refused;
            m_senders.erase(oldest);
        }
        found = m_senders.insert(sender, Sender{});
        found->testWindowStart = now;
    }
    found->lastSeen = now;
    return *found;
}

bool ShareRequestGate::MayTest(const QByteArray& sender, qint64 now)
{
    rollWindow(now);
    Sender& entry = senderAt(sender, now);
    if (elapsed(entry.testWindowStart, now, MinuteMs)) {
        entry.testWindowStart = now;
        entry.tests = 0;
    }
    if (entry.tests >= TestsPerSender || m_tests >= TestsPerMinute)
        return false;
    ++entry.tests;
    ++m_tests;
    return true;
}

ShareRequestGate::Tally ShareRequestGate::written(Sender& sender, qint64 now)
{
    const Tally tally{sender.refused, m_forgotten};
    sender.refused = 0;
    sender.logged = true;
    sender.lastLogged = now;
    m_forgotten = 0;
    ++m_lines;
    return tally;
}

bool ShareRequestGate::Refused(const QByteArray& sender, qint64 now, Tally& tally)
{
    rollWindow(now);
    Sender& entry = senderAt(sender, now);
    if ((entry.logged && !elapsed(entry.lastLogged, now, MinuteMs)) || m_lines >= LinesPerMinute) {
        ++entry.refused;
        return false;
    }
    tally = written(entry, now);
    return true;
}

ShareRequestGate::Tally ShareRequestGate::Obeyed(const QByteArray& sender, qint64 now)
{
    rollWindow(now);
    return written(senderAt(sender, now), now);
}
