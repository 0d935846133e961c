// Notification datagrams: (a) how long a change takes from WriteUserFile on one copy to the
// other copy's board applying it, over loopback (two copies in one process, 127.0.0.1 and
// 127.0.0.2, sending mode IPDIRECT); (b) what handling one status datagram costs on large
// boards, against the member look-up alone and a look-up that allocates nothing.
//
//   build/bench/bench_notice [changes] [members...]      (default: 1000 2000 10000)

#include "BenchFiles.h"
#include "board/BoardModel.h"
#include "board/ChangeNotice.h"
#include "board/Datagram.h"
#include "board/MinuteScheduler.h"
#include "board/UserLoader.h"
#include "board/UserStatusWriter.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/SjisText.h"
#include "store/LocalSettings.h"
#include "store/StatusSink.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

class QuietStatus final : public StatusSink
{
public:
    void setStatusText(const QString& text) override { last = text; }
    void setProgress(int) override {}
    QString last;
};

QByteArray memberText(int i, const QByteArray& ip)
{
    const QByteArray n = QByteArray::number(i);
    const QList<QByteArray> values{Cp932::fromUnicodeLossy(QStringLiteral("ﾔﾏﾀﾞ")) + n,
                                   Cp932::fromUnicodeLossy(QStringLiteral("山田太郎")) + n,
                                   Cp932::fromUnicodeLossy(QStringLiteral("営業第%1課").arg(i % 7)),
                                   "1" + n,
                                   "",
                                   "",
                                   "",
                                   "090-0000-" + n,
                                   ip,
                                   "0",
                                   "0",
                                   ""};
    return BenchFiles::QuotedLines(values);
}

// `members` members named MEMBER00000 ..; the first two are the copies' own members, the
// others are stopped so that each change goes to exactly one place.
QByteArray buildShare(const QString& dir, int members)
{
    QDir().mkpath(dir);
    for (int i = 0; i < members; ++i) {
        const QString base = dir + QStringLiteral("/member%1").arg(i, 5, 10, QLatin1Char('0'));
        const QByteArray ip = i < 2 ? "127.0.0." + QByteArray::number(i + 1) : "127.0.0.9";
        BenchFiles::WriteFile(base + QStringLiteral(".vrn"), memberText(i, ip));
        if (i >= 2)
            BenchFiles::WriteFile(base + QStringLiteral(".off"), {});
    }
    return SjisText::upperCase(Cp932::fromUnicodeLossy(dir)) + '/';
}

// One copy of the program as far as datagrams go.
struct Copy
{
    Copy(const QByteArray& dataSource, const QByteArray& ownBase, const QByteArray& address)
    {
        model.SetDataSource(dataSource);
        model.Reload(AllMembers);
        own = model.GetMember(model.IndexOfMember(ownBase));
        boards.append(ParmRec{});
        boards[0].ShareDir = dataSource;
        boards[0].UdpMode = 1;
        boards[0].UdpPort = 0;
        notice = std::make_unique<ChangeNotice>(NoticeContext{.board = model,
                                                              .minutes = scheduler,
                                                              .own = own,
                                                              .boards = boards,
                                                              .currentBoard = currentBoard,
                                                              .status = status,
                                                              .settings = settings,
                                                              .clock = clock});
        notice->SetAddressLookUp([address] { return address; });
    }

    BoardModel model;
    MinuteScheduler scheduler{model};
    TVurnaDataRec own;
    ParmRecList boards;
    int currentBoard = 0;
    QuietStatus status;
    LocalSettings settings;
    SystemClock clock;
    std::unique_ptr<ChangeNotice> notice;
};

void endToEnd(const QString& root, int changes)
{
    const QByteArray dataSource = buildShare(root + QStringLiteral("/Loopback"), 20);
    Copy a(dataSource, "MEMBER00000", "127.0.0.1");
    Copy b(dataSource, "MEMBER00001", "127.0.0.2");
    if (!a.notice->StartListener("127.0.0.1")) {
        std::printf("no listener on 127.0.0.1\n");
        return;
    }
    const quint16 port = a.notice->ListenerPort();
    a.boards[0].UdpPort = port;
    b.boards[0].UdpPort = port;
    if (!b.notice->StartListener("127.0.0.2")) {
        std::printf("no listener on 127.0.0.2\n");
        return;
    }
    UserStatusWriter writer(a.model, a.own);
    writer.SetNotifier(a.notice.get());

    QElapsedTimer clock;
    qint64 arrivedAt = -1;
    QEventLoop loop;
    QObject::connect(&b.model, &BoardModel::MemberChanged, &loop, [&] {
        arrivedAt = clock.nsecsElapsed();
        loop.quit();
    });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);

    std::vector<double> totalMs, writeMs;
    int lost = 0;
    for (int i = 0; i < changes + 20; ++i) { // the first 20 warm up
        TVurnaDataRec record = a.own;
        record.Locate = Cp932::fromUnicodeLossy(QStringLiteral("大阪支店\r\n打ち合わせ %1").arg(i));
        record.Date = "2026/12/24";
        record.Time = "17:00";
        arrivedAt = -1;
        clock.start();
        writer.WriteUserFile(record);
        const qint64 written = clock.nsecsElapsed();
        if (arrivedAt < 0) {
            giveUp.start(1000);
            loop.exec();
            giveUp.stop();
        }
        if (i < 20)
            continue;
        if (arrivedAt < 0 || b.model.GetMember(b.model.IndexOfMember("MEMBER00000")).Locate != record.Locate) {
            ++lost;
            continue;
        }
        totalMs.push_back(double(arrivedAt) / 1e6);
        writeMs.push_back(double(written) / 1e6);
    }
    std::printf("(a) WriteUserFile on one copy -> the other copy's board applied it, %d changes over loopback\n",
                changes);
    std::printf("    p50 %.3f ms   p99 %.3f ms   max %.3f ms   lost %d   (goal: p50 < 2 ms, p99 < 10 ms)\n",
                BenchFiles::Percentile(totalMs, 0.5), BenchFiles::Percentile(totalMs, 0.99),
                BenchFiles::Percentile(totalMs, 1.0), lost);
    std::printf("    of which the status file write: p50 %.3f ms   p99 %.3f ms\n", BenchFiles::Percentile(writeMs, 0.5),
                BenchFiles::Percentile(writeMs, 0.99));
}

// The look-up without allocating: compares the file-name part in place. A floor for what the
// board's look-up could cost, not the program's rule (it ignores double-byte characters).
int lookUpInPlace(const TVurnaDataArray& members, const QByteArray& wanted)
{
    for (int i = 0; i < members.size(); ++i) {
        const QByteArray& name = members.at(i).FileName;
        if (name.endsWith(wanted) && (name.size() == wanted.size() || name.at(name.size() - wanted.size() - 1) == '/'))
            return i;
    }
    return -1;
}

void handlingCost(const QString& root, int members)
{
    const QByteArray dataSource = buildShare(root + QStringLiteral("/Board%1").arg(members), members);
    Copy copy(dataSource, "MEMBER00000", "127.0.0.1");
    // The member the look-up reaches last, with a path from another directory.
    const QByteArray lastBase = copy.model.GetMember(copy.model.MemberHigh()).FileName;
    const QByteArray wirePath = "\\\\PC\\SHARE\\" + SjisText::fileNamePart(lastBase);
    const int rounds = 2001;
    std::vector<double> handleUs, indexUs, floorUs;
    volatile int sink = 0;
    for (int r = 0; r < rounds; ++r) {
        const QByteArray text =
            Datagram::StatusText(wirePath, "2026/12/24", "17:00", r % 3, "bench " + QByteArray::number(r)) +
            Datagram::KeyEod;
        QElapsedTimer t;
        t.start();
        copy.notice->HandleDatagram(text, "10.0.0.5");
        handleUs.push_back(double(t.nsecsElapsed()) / 1e3);
        t.restart();
        sink = sink + copy.model.IndexOfMember(wirePath);
        indexUs.push_back(double(t.nsecsElapsed()) / 1e3);
        t.restart();
        sink = sink + lookUpInPlace(copy.model.Members(), SjisText::fileNamePart(lastBase));
        floorUs.push_back(double(t.nsecsElapsed()) / 1e3);
    }
    if (copy.model.GetMember(copy.model.MemberHigh()).Locate != "bench " + QByteArray::number(rounds - 1))
        std::printf("the datagram was not applied\n");
    const double handle = BenchFiles::Percentile(handleUs, 0.5), index = BenchFiles::Percentile(indexUs, 0.5),
                 floor = BenchFiles::Percentile(floorUs, 0.5);
    std::printf("%8d %12.1f %12.1f %8.0f%% %12.1f %10.1f\n", members, handle, index, 100.0 * index / handle, floor,
                index / floor);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int changes = 1000;
    std::vector<int> sizes;
    if (argc > 1)
        changes = std::max(1, std::atoi(argv[1]));
    for (int i = 2; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {2000, 10000};

    QTemporaryDir tmp;
    // The local settings are never written here; keep them off the user's profile all the same.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(tmp.path() + QStringLiteral("/config")));

    endToEnd(tmp.path(), changes);

    std::printf("\n(b) HandleDatagram of one status datagram for the member found last, median of 2001\n");
    std::printf("%8s %12s %12s %9s %12s %10s\n", "members", "handle us", "look-up us", "share", "floor us",
                "look/floor");
    for (int members : sizes)
        handlingCost(tmp.path(), members);
    return 0;
}
