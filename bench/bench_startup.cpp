// Start-up of the board window to the board shown, against the full load of the same board
// alone, in the same process, warm cache. The window's start-up runs every step that the
// program runs before its first paint: settings, site configuration, own identity, filter
// file, the full load, marking the user running, the menus, the first paint.
// Goal: start-up within 1.5 x the full load plus a fixed cost under 300 ms.
//
//   build/bench/bench_startup [members]      (default: 2000)

#include "BenchFiles.h"
#include "app/Pictures.h"
#include "app/TfrmMain.h"
#include "board/UserLoader.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/MessageBoxes.h"
#include "platform/SharePath.h"
#include "platform/SingleInstance.h"
#include "session/BoardSession.h"
#include "store/LocalSettings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QByteArray memberText(int i)
{
    const QByteArray n = QByteArray::number(i);
    const QList<QByteArray> values{Cp932::fromUnicodeLossy(QStringLiteral("ﾔﾏﾀﾞ")) + n,
                                   Cp932::fromUnicodeLossy(QStringLiteral("山田太郎")) + n,
                                   Cp932::fromUnicodeLossy(QStringLiteral("営業第%1課").arg(i % 7)),
                                   "1" + n,
                                   i % 3 == 0 ? Cp932::fromUnicodeLossy(QStringLiteral("大阪支店")) : QByteArray(),
                                   i % 3 == 0 ? "2026/12/24" : "",
                                   i % 3 == 0 ? "17:00" : "",
                                   "",
                                   "127.0.1." + QByteArray::number(i % 250),
                                   "0",
                                   "0",
                                   ""};
    return BenchFiles::QuotedLines(values);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int members = argc > 1 ? QByteArray(argv[1]).toInt() : 2000;
    constexpr int runs = 7;

    QTemporaryDir root;
    const QString share = root.path() + QStringLiteral("/share");
    QDir().mkpath(share);
    for (int i = 0; i < members; ++i) {
        const QString base = share + QStringLiteral("/member%1").arg(i, 5, 10, QLatin1Char('0'));
        BenchFiles::WriteFile(base + QStringLiteral(".vrn"), memberText(i));
        if (i % 4 == 0)
            BenchFiles::WriteFile(base + QStringLiteral(".off"), {});
    }
    const QString profile = root.path() + QStringLiteral("/config");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, profile);
    {
        LocalSettings settings;
        settings.SetShareDir(SharePath::fromNative(share + QLatin1Char('/')));
        settings.SetAutoSmall(false);
        TVurnaDataRec own;
        own.FileName = SharePath::fromNative(share + QStringLiteral("/member00001"));
        own.Name = Cp932::fromUnicodeLossy(QStringLiteral("山田太郎1"));
        settings.SaveOwnIdentity(own);
    }
    const QByteArray dataSource = SharePath::fromNative(share + QLatin1Char('/')).toUpper();
    Pictures::InitResources();

    std::vector<double> loads;
    for (int run = 0; run < runs; ++run) {
        TVurnaDataArray array{TVurnaDataRec{}};
        QElapsedTimer timer;
        timer.start();
        LoadUserFiles(dataSource, array, AllMembers, false);
        loads.push_back(timer.nsecsElapsed() / 1e6);
        if (array.size() != members + 1)
            std::fprintf(stderr, "loaded %lld of %d\n", static_cast<long long>(array.size() - 1), members);
    }

    SystemClock clock;
    ScriptedMessageBoxes boxes;
    std::vector<double> startups;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        SingleInstance instance(root.path());
        instance.TryAcquire();
        SessionEnvironment environment;
        environment.clock = &clock;
        environment.boxes = &boxes;
        environment.lookUpAddress = [] { return QByteArray("127.0.0.2"); };
        BoardSession session(std::move(environment));
        TfrmMain window(session, {.instance = &instance, .trayAvailable = QSystemTrayIcon::isSystemTrayAvailable()});
        window.FormCreate();
        window.ShowAtStart();
        window.findChild<QWidget*>(QStringLiteral("Keiziban"))->repaint();
        startups.push_back(timer.nsecsElapsed() / 1e6);
        if (session.State().Model.MemberHigh() != members)
            std::fprintf(stderr, "board shows %d of %d\n", session.State().Model.MemberHigh(), members);
        window.Quit();
    }

    const double load = BenchFiles::Percentile(loads, 0.5);
    const double startup = BenchFiles::Percentile(startups, 0.5);
    const double fixed = startup - 1.5 * load;
    std::printf("members                      %d\n", members);
    std::printf("full load alone (median)     %8.1f ms\n", load);
    std::printf("start-up to board shown      %8.1f ms\n", startup);
    std::printf("ratio                        %8.2f x\n", load > 0 ? startup / load : 0.0);
    std::printf("start-up - 1.5 x full load   %8.1f ms (goal: under 300 ms)  %s\n", fixed,
                fixed < 300 ? "met" : "NOT MET");
    return 0;
}
