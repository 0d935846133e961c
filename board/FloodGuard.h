#pragma once

#include <QByteArray>
#include <QHash>

// Any host on the LAN can send datagrams, as fast as it likes and from any source address it
// likes. These keep what a datagram may cost in file work bounded per minute, whatever the rate,
// while a normal rate is served at once. Times are milliseconds from the program's clock; a
// clock that steps back counts as a period that is over, so nothing waits for days.

// Runs a costly action at most once per period. A request inside the period is remembered, and
// all the requests of one period fold into one run when it ends: none is lost, none is doubled.
class QuietPeriod final
{
public:
    explicit QuietPeriod(qint64 periodMs) : m_periodMs(periodMs) {}

    // True: run now; the period starts. False: remembered for the end of the period.
    bool Request(qint64 now);
    // True when a remembered request may run now; the period then starts again.
    bool TakeDue(qint64 now);
    bool Pending() const { return m_pending; }
    // When the remembered request may run (meaningful while Pending).
    qint64 DueAt() const { return m_lastRun + m_periodMs; }

private:
    bool over(qint64 now) const;

    qint64 m_periodMs;
    bool m_ran = false;
    qint64 m_lastRun = 0;
    bool m_pending = false;
};

// Decides for requests to move the shared directory which ones may be looked into (the
// directory tests read the share) and which refusals go to vurna.log.
//  - Per sender: directory tests for at most TestsPerSender requests a minute; one refusal
//    entry a minute, the next entry carrying the count of the refusals not written meanwhile.
//  - All senders together (a flood from spoofed addresses): at most TestsPerMinute directory
//    tests and LinesPerMinute entries per minute window.
//  - At most MaxSenders senders are remembered; a new one pushes out the one heard from
//    least recently, and its unwritten count goes with the next entry of anyone.
class ShareRequestGate final
{
public:
    static constexpr qint64 MinuteMs = 60000;
    static constexpr int TestsPerSender = 3;
    static constexpr int TestsPerMinute = 10;
    static constexpr int LinesPerMinute = 10;
    static constexpr int MaxSenders = 256;

    // What an entry written now reports besides its own request.
    struct Tally
    {
        qint64 refusedMeanwhile = 0; // from this sender, since its last entry
        qint64 fromForgotten = 0;    // from senders no longer remembered
    };

    // Called first for every request: whether its directory may be tested.
    bool MayTest(const QByteArray& sender, qint64 now);
    // A refused request: true, with `tally`, when an entry is to be written now; otherwise it
    // is counted for a later entry.
    bool Refused(const QByteArray& sender, qint64 now, Tally& tally);
    // An obeyed request is always written (it is bounded by the tests); returns its tally.
    Tally Obeyed(const QByteArray& sender, qint64 now);

    int SenderCount() const { return int(m_senders.size()); }

private:
    struct Sender
    {
        qint64 lastSeen = 0;
        qint64 testWindowStart = 0;
        int tests = 0;
        bool logged = false;
        qint64 lastLogged = 0;
        qint64 refused = 0;
    };

    Sender& senderAt(const QByteArray& sender, qint64 now);
    void rollWindow(qint64 now);
    Tally written(Sender& sender, qint64 now);

    QHash<QByteArray, Sender> m_senders;
    qint64 m_windowStart = 0;
    bool m_windowOpen = false;
    int m_tests = 0;
    int m_lines = 0;
    qint64 m_forgotten = 0;
};
