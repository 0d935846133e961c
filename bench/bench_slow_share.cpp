// Full loads over a slow share: the board's files served through the slowshare FUSE file
// system, which waits a fixed time on every operation as a file server's round trip does.
// For each delay and board size it prints the load time against the floor
//     operations per member x members x delay / reads in flight,
// and, for the board model's reload on the main thread, the longest gap between two ticks of
// a 1 ms timer there: how long the window would have gone without painting. Then the minute's
// periodic reload, which reads only the files that changed: once with nothing changed and once
// after 1% of the members rewrote their files (from another PC: straight into the backing folder).
//
//   build/bench/bench_slow_share [members...]     (default: 500 2000; delays 0, 1 and 10 ms)
//   VURNA_BENCH_DELAYS=0,10 build/bench/bench_slow_share 2000

#include "BenchFiles.h"
#include "board/BoardModel.h"
#include "board/ChangeStamp.h"
#include "board/UserLoader.h"
#include "platform/SjisText.h"
#include "support/SlowShareMount.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <utility>
#include <vector>

namespace {

QByteArray dataSourceOf(const QString& dir)
{
    return SjisText::upperCase(Cp932::fromUnicodeLossy(dir)) + '/';
}

void cheapLine(const QString& what, const std::pair<quint64, QString>& ops)
{
    std::printf("    %-30s %3llu operations (%s)\n", qPrintable(what), static_cast<unsigned long long>(ops.first),
                qPrintable(ops.second));
}

// The longest time the main thread went without running its timer while `work` ran.
double longestGapMs(const std::function<void()>& work)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    qint64 longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    tick.start();
    work();
    longest = std::max(longest, clock.nsecsElapsed() - last);
    return double(longest) / 1e6;
}

// Operations since `before`: the total, and the count of each kind that occurred.
std::pair<quint64, QString> operationsSince(SlowShareMount& mount, const QMap<QString, quint64>& before)
{
    const QMap<QString, quint64> after = mount.operationCounts();
    QStringList parts;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (it.key() != QStringLiteral("total") && it.value() > before.value(it.key()))
            parts.append(QStringLiteral("%1 %2").arg(it.key()).arg(it.value() - before.value(it.key())));
    }
    return std::make_pair(after.value(QStringLiteral("total")) - before.value(QStringLiteral("total")),
                          parts.join(QStringLiteral(", ")));
}

// What the operations that run on every datagram and every few minutes cost on the share: a
// single member read afresh (a running one and a stopped one) and the change-stamp poll.
void cheapOperations(SlowShareMount& mount, BoardModel& model, int members)
{
    const auto opsOf = [&mount](const std::function<void()>& work) {
        const QMap<QString, quint64> before = mount.operationCounts();
        work();
        return operationsSince(mount, before);
    };
    // A listing read within two seconds of the folder's last change is read again on a miss
    // (coarse time stamps on servers); measure the board as it stands most of the day.
    QThread::msleep(2100);
    QByteArray running, stopped;
    for (int i = 1; i <= members; ++i)
        (model.GetMember(i).Running ? running : stopped) = model.GetMember(i).FileName;
    model.Reload(running); // the first look for an absent name lists the folder once
    cheapLine(QStringLiteral("single reload, running member"), opsOf([&] { model.Reload(running); }));
    cheapLine(QStringLiteral("single reload, stopped member"), opsOf([&] { model.Reload(stopped); }));
    cheapLine(QStringLiteral("change-stamp poll"), opsOf([&] { model.ReadTimeStamp(); }));
}

// A file written within two seconds of a load is read again at the next (coarse time stamps on
// servers): the board is measured as it stands most of the day, loaded later than that.
void waitTillSettled(const QElapsedTimer& sinceWrite)
{
    const qint64 left = 2100 - sinceWrite.elapsed();
    if (left > 0)
        QThread::msleep(static_cast<unsigned long>(left));
}

// The goals of the minute's reload, set for a 10 ms round trip: with nothing changed it costs
// little more than the listing, and otherwise little more than the listing and one read of each
// changed file.
constexpr int goalDelayMs = 10;
constexpr double nothingChangedGoalMs = 100;

// The minute's periodic reload of the model, the median of three: with nothing changed since
// its last load, then each time after another 1% of the members rewrote their files.
void periodicReloads(const QString& backing, SlowShareMount& mount, BoardModel& model, int members, int delay,
                     QElapsedTimer& sinceWrite)
{
    const int changed = std::max(1, members / 100);
    const auto row = [&](const char* label, const std::function<void(int)>& before, double goalMs,
                         const QString& goal) {
        std::vector<double> times;
        std::pair<quint64, QString> ops;
        for (int round = 0; round < 3; ++round) {
            before(round);
            const QMap<QString, quint64> counts = mount.operationCounts();
            QElapsedTimer t;
            t.start();
            model.ReloadChanged();
            times.push_back(double(t.nsecsElapsed()) / 1e6);
            ops = operationsSince(mount, counts);
        }
        const double ms = BenchFiles::Percentile(times, 0.5);
        std::printf("    %-30s %8.1f ms  (%d members, %d ms delay; %llu operations: %s)\n", label, ms, members, delay,
                    static_cast<unsigned long long>(ops.first), qPrintable(ops.second));
        if (delay == goalDelayMs)
            std::printf("    %-30s goal: under %.0f ms, %s: %s\n", "", goalMs, qPrintable(goal),
                        ms < goalMs ? "met" : "NOT MET");
    };
    waitTillSettled(sinceWrite);
    model.Reload(AllMembers);
    row(
        "reload, nothing changed", [](int) {}, nothingChangedGoalMs, QStringLiteral("a 10 ms delay"));

    // From another PC: straight into the backing folder, each round another 1% of the board,
    // changed over the minute before the reload rather than at the same instant: a file read
    // within two seconds of being written is read once more at the next reload.
    const auto rewrite = [&](int round) {
        for (int k = 0; k < changed; ++k) {
            const int i = (k * (members / changed) + round) % members;
            BenchFiles::WriteFile(backing + QStringLiteral("/member%1.vrn").arg(i, 5, 10, QLatin1Char('0')),
                                  BenchFiles::MemberText(i + members * (round + 1)));
        }
        sinceWrite.restart();
        waitTillSettled(sinceWrite);
    };
    const double goal = 1.5 * (1 + changed) * delay;
    row("reload, 1% changed", rewrite, goal,
        QStringLiteral("1.5 x (1 listing + %1 changed files) x %2 ms").arg(changed).arg(delay));
    if (model.MemberHigh() != members)
        std::printf("wrong member count %d\n", model.MemberHigh());
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::vector<int> sizes = BenchFiles::BoardSizes(argc, argv, {500, 2000});
    std::vector<int> delays{0, 1, 10};
    if (qEnvironmentVariableIsSet("VURNA_BENCH_DELAYS")) {
        delays.clear();
        for (const QByteArray& d : qgetenv("VURNA_BENCH_DELAYS").split(','))
            delays.push_back(d.toInt());
    }

    QTemporaryDir tmp;
    std::printf("reads in flight: %d\n", FullLoadReadsInFlight);
    std::printf("%8s %6s %10s %10s %10s %8s %10s %12s\n", "members", "delay", "ops/member", "load ms", "floor ms",
                "ratio", "model ms", "longest gap");
    for (int members : sizes) {
        const QString backing = tmp.path() + QStringLiteral("/share%1").arg(members);
        BenchFiles::BuildShare(backing, members);
        BenchFiles::WriteFile(backing + QStringLiteral("/") + QString::fromLatin1(ChangeStamp::fileName),
                              ChangeStamp::build(1, "MEMBER00001"));
        QElapsedTimer sinceWrite;
        sinceWrite.start();
        for (int delay : delays) {
            SlowShareMount mount(backing, delay, false);
            if (!mount.skipReason().isEmpty()) {
                std::printf("slow share not available: %s\n", qPrintable(mount.skipReason()));
                return 0;
            }
            const QByteArray dataSource = dataSourceOf(mount.mountPath());
            TVurnaDataArray board;
            const quint64 opsBefore = mount.operationCounts().value(QStringLiteral("total"));
            // The first load after mounting counts the operations and is not timed: the file system
            // itself is slower while it first meets each file, which a file server is not.
            LoadUserFiles(dataSource, board, AllMembers, false);
            const quint64 ops = mount.operationCounts().value(QStringLiteral("total")) - opsBefore;
            if (board.size() != members + 1)
                std::printf("wrong member count %lld\n", static_cast<long long>(board.size() - 1));

            // More rounds where each is quick; the kernel caches nothing, so every round pays.
            const int rounds = delay == 0 ? 9 : delay == 1 ? 3 : 1;
            std::vector<double> loadMs;
            for (int r = 0; r < rounds; ++r) {
                QElapsedTimer t;
                t.start();
                LoadUserFiles(dataSource, board, AllMembers, false);
                loadMs.push_back(double(t.nsecsElapsed()) / 1e6);
            }
            const double opsPerMember = double(ops) / members;
            const double floorMs = opsPerMember * members * delay / FullLoadReadsInFlight;
            const double load = BenchFiles::Percentile(loadMs, 0.5);

            BoardModel model;
            model.SetDataSource(dataSource);
            double modelMs = 0;
            const double gap = longestGapMs([&] {
                QElapsedTimer m;
                m.start();
                model.Reload(AllMembers);
                modelMs = double(m.nsecsElapsed()) / 1e6;
            });
            std::printf("%8d %6d %10.1f %10.1f %10.1f %8s %10.1f %12.1f\n", members, delay, opsPerMember, load, floorMs,
                        floorMs > 0 ? qPrintable(QString::number(load / floorMs, 'f', 2)) : "-", modelMs, gap);
            periodicReloads(backing, mount, model, members, delay, sinceWrite);
            if (delay == 0)
                cheapOperations(mount, model, members);
            std::fflush(stdout);
        }
    }
    return 0;
}
