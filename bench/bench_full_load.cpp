// Full load of a board against the floor: the same files read with plain open, read and
// close plus a stop-marker test, in the same process, warm cache. Prints medians and the
// heap growth of holding a loaded board.
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

#include <algorithm>
#include <cstdio>
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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const std::vector<int> sizes = BenchFiles::BoardSizes(argc, argv, {2000, 10000});

    QTemporaryDir tmp;
    std::printf("%8s %12s %12s %8s %14s\n", "members", "load ms", "floor ms", "ratio", "heap growth KB");
    for (int members : sizes) {
        const QString dir = tmp.path() + QStringLiteral("/Share%1").arg(members);
        BenchFiles::BuildShare(dir, members);
        const QByteArray dataSource = SjisText::upperCase(Cp932::fromUnicodeLossy(dir)) + '/';
        std::vector<std::string> bases;
        for (int i = 0; i < members; ++i)
            bases.push_back(QStringLiteral("%1/member%2").arg(dir).arg(i, 5, 10, QLatin1Char('0')).toStdString());

        const int rounds = 15;
        std::vector<double> loadMs, floorMs;
        TVurnaDataArray board;
        LoadUserFiles(dataSource, board, AllMembers, false); // warm the cache
        floorRead(bases);
        for (int r = 0; r < rounds; ++r) {
            QElapsedTimer t;
            t.start();
            LoadUserFiles(dataSource, board, AllMembers, false);
            loadMs.push_back(double(t.nsecsElapsed()) / 1e6);
            t.restart();
            volatile size_t sink = floorRead(bases);
            (void)sink;
            floorMs.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        if (board.size() != members + 1)
            std::printf("wrong member count %lld\n", static_cast<long long>(board.size() - 1));

        board.clear();
        board.squeeze();
        malloc_trim(0);
        const size_t before = heapInUse();
        {
            TVurnaDataArray held;
            LoadUserFiles(dataSource, held, AllMembers, false);
            const size_t after = heapInUse();
            const double lm = BenchFiles::Percentile(loadMs, 0.5), fm = BenchFiles::Percentile(floorMs, 0.5);
            std::printf("%8d %12.2f %12.2f %8.2f %14.0f\n", members, lm, fm, lm / fm,
                        (double(after) - double(before)) / 1024.0);
        }
    }
    return 0;
}
