// Full load of a board against the floor: the same files read with plain open, read and
// close plus a stop-marker test, in the same process, warm cache. Prints medians and the
// heap growth of holding a loaded board. Each size is measured on a fresh share (loaded
// within two seconds of being written, as just after a change) and again once it is older.
// Besides wall time it prints the ratio of the process's CPU time (all threads), which other
// work on a shared machine disturbs far less.
//
//   build/bench/bench_full_load [members...]      (default: 2000 10000)

#include "BenchFiles.h"
#include "board/UserLoader.h"
#include "platform/Cp932.h"
#include "platform/SjisText.h"
#include "store/TVurnaDataRec.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <QThread>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The floor: names known in advance, each file opened, read whole and closed, and its
// stop marker tested.
size_t floorRead(const std::vector<std::string>& bases)
{
    size_t bytes = 0;
    char buffer[8192];
    struct stat st;
    for (const std::string& base : bases) {
        const int fd = ::open((base + ".vrn").c_str(), O_RDONLY);
        if (fd < 0)
            continue;
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
            bytes += size_t(n);
        ::close(fd);
        bytes += ::stat((base + ".off").c_str(), &st) == 0 ? 1 : 0;
    }
    return bytes;
}

size_t heapInUse()
{
    return mallinfo2().uordblks;
}

double processCpuMs()
{
    timespec ts;
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

struct Timings
{
    std::vector<double> loadMs, floorMs, loadCpuMs, floorCpuMs;
};

// Alternate loads and floors until `rounds` of each, or until `budgetMs` has passed (at least 3).
Timings measure(const QByteArray& dataSource, const std::vector<std::string>& bases, int rounds, qint64 budgetMs)
{
    Timings t;
    TVurnaDataArray board;
    QElapsedTimer total;
    total.start();
    for (int r = 0; r < rounds && (r < 3 || total.elapsed() < budgetMs); ++r) {
        QElapsedTimer wall;
        double cpu = processCpuMs();
        wall.start();
        LoadUserFiles(dataSource, board, AllMembers, false);
        t.loadMs.push_back(double(wall.nsecsElapsed()) / 1e6);
        t.loadCpuMs.push_back(processCpuMs() - cpu);
        cpu = processCpuMs();
        wall.restart();
        volatile size_t sink = floorRead(bases);
        (void)sink;
        t.floorMs.push_back(double(wall.nsecsElapsed()) / 1e6);
        t.floorCpuMs.push_back(processCpuMs() - cpu);
    }
    if (board.size() != qsizetype(bases.size()) + 1)
        std::printf("wrong member count %lld\n", static_cast<long long>(board.size() - 1));
    return t;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::vector<int> sizes = BenchFiles::BoardSizes(argc, argv, {2000, 10000});

    QTemporaryDir tmp;
    std::printf("%8s %6s %6s %10s %10s %8s %10s %14s\n", "members", "share", "rounds", "load ms", "floor ms", "ratio",
                "cpu ratio", "heap growth KB");
    for (int members : sizes) {
        const QString dir = tmp.path() + QStringLiteral("/Share%1").arg(members);
        QElapsedTimer sinceWritten;
        BenchFiles::BuildShare(dir, members);
        sinceWritten.start();
        const QByteArray dataSource = SjisText::upperCase(Cp932::fromUnicodeLossy(dir)) + '/';
        std::vector<std::string> bases;
        for (int i = 0; i < members; ++i)
            bases.push_back(QStringLiteral("%1/member%2").arg(dir).arg(i, 5, 10, QLatin1Char('0')).toStdString());

        TVurnaDataArray warm;
        LoadUserFiles(dataSource, warm, AllMembers, false); // warm the cache
        floorRead(bases);
        warm.clear();
        const auto line = [&](const char* share, const Timings& t, const QString& heapKb) {
            const double lm = BenchFiles::Percentile(t.loadMs, 0.5), fm = BenchFiles::Percentile(t.floorMs, 0.5);
            const double lc = BenchFiles::Percentile(t.loadCpuMs, 0.5), fc = BenchFiles::Percentile(t.floorCpuMs, 0.5);
            std::printf("%8d %6s %6zu %10.2f %10.2f %8.2f %10.2f %14s\n", members, share, t.loadMs.size(), lm, fm,
                        lm / fm, lc / fc, qPrintable(heapKb));
        };
        // Fresh: what fits of 15 rounds before the share is two seconds old.
        const Timings fresh = measure(dataSource, bases, 15, 1800 - sinceWritten.elapsed());
        line("fresh", fresh, QStringLiteral("-"));
        const qint64 wait = 2100 - sinceWritten.elapsed();
        if (wait > 0)
            QThread::msleep(static_cast<unsigned long>(wait));
        const Timings old = measure(dataSource, bases, 15, 60000);

        malloc_trim(0);
        const size_t before = heapInUse();
        TVurnaDataArray held;
        LoadUserFiles(dataSource, held, AllMembers, false);
        line("old", old, QString::number((double(heapInUse()) - double(before)) / 1024.0, 'f', 0));
    }
    return 0;
}
