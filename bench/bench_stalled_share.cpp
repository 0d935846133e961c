// The board window on a file server that stops answering: for each user action, the longest
// pause of the window's event loop while the server does not answer, and how long the action
// takes to complete once it answers. The share is served through the slowshare FUSE file
// system, whose process is stopped as a hung server would be.
//
//     bench_stalled_share [seconds the server stays away, default 1]
//
// Goal: every pause under 50 ms.

#include "app/Pictures.h"
#include "app/StalledActions.h"
#include "app/TfrmMain.h"
#include "board/ChangeNotice.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/SharePath.h"
#include "session/BoardSession.h"
#include "support/SlowShareMount.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <thread>

namespace {

struct Measured
{
    qint64 longestPauseMs = -1;
    qint64 completedMs = -1;
};

Measured run(const StalledActions::Action& action, int awayMs)
{
    QTemporaryDir backing;
    QTemporaryDir profile;
    SlowShareMount mount(backing.path(), 0, false);
    if (!mount.skipReason().isEmpty()) {
        std::fprintf(stderr, "no slow share: %s\n", qPrintable(mount.skipReason()));
        return {};
    }
    StalledActions::MakeShare(backing.path(), mount.mountPath());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(profile.path()));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, profile.path());
    SharePath::clearCache();
    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quaxosoft"),
                           QStringLiteral("Vurna"));
        settings.setValue(QStringLiteral("ShareDir"), mount.mountPath() + QLatin1Char('/'));
        settings.setValue(QStringLiteral("FileName"), mount.mountPath() + QStringLiteral("/yamada"));
        settings.setValue(QStringLiteral("Name"), QStringLiteral("山田"));
    }
    FixedClock clock(QDateTime(QDate(2024, 4, 1), QTime(9, 30)));
    ScriptedMessageBoxes boxes;
    BoardSession session(SessionEnvironment{.clock = &clock,
                                            .boxes = &boxes,
                                            .folders = nullptr,
                                            .lookUpAddress = [] { return QByteArray("127.0.0.1"); },
                                            .bindAddress = "127.0.0.1",
                                            .programFolder = "/OPT/VURNA/",
                                            .programFile = {},
                                            .arguments = {},
                                            .starter = nullptr,
                                            .updateWait = {}});
    TfrmMain window(session, MainWindowEnvironment{.instance = nullptr, .trayAvailable = true});
    // Datagrams stay on this machine: none is sent at all.
    session.Notice().SetSender([](const QByteArray&, const QByteArray&, quint16) { return 0; });
    window.FormCreate();
    session.Queue().Drain(10000);
    QCoreApplication::processEvents();

    SharePath::clearCache();
    mount.SetAnswering(false);
    StalledActions::ChangeWhileAway(backing.path());
    QElapsedTimer clockOn;
    clockOn.start();
    qint64 last = 0;
    Measured measured{0, -1};
    QTimer heart;
    heart.setTimerType(Qt::PreciseTimer);
    heart.setInterval(1);
    QObject::connect(&heart, &QTimer::timeout, [&] {
        const qint64 now = clockOn.elapsed();
        if (now < awayMs)
            measured.longestPauseMs = std::max(measured.longestPauseMs, now - last);
        last = now;
    });
    heart.start();
    // The server answers again after the time away, from outside the window's thread: a window
    // that blocks on it would otherwise never get there.
    std::thread answer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(awayMs));
        mount.SetAnswering(true);
    });
    QTimer::singleShot(0, [&] {
        last = clockOn.elapsed();
        action.act(session, window);
    });
    while (clockOn.elapsed() < awayMs + 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (clockOn.elapsed() > awayMs && action.done(session, backing.path())) {
            measured.completedMs = clockOn.elapsed() - awayMs;
            break;
        }
    }
    answer.join();
    measured.longestPauseMs = std::max(measured.longestPauseMs, last > awayMs ? 0 : clockOn.elapsed() - last);
    return measured;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Pictures::InitResources();
    const int awayMs = argc > 1 ? std::atoi(argv[1]) * 1000 : 1000;
    std::printf("The server stops answering for %d ms during each action. Goal: every pause under 50 ms.\n\n", awayMs);
    std::printf("| action | longest pause while away (ms) | goal met | completed after the server answers (ms) |\n");
    std::printf("|---|---|---|---|\n");
    bool allMet = true;
    for (const StalledActions::Action& action : StalledActions::All()) {
        const Measured m = run(action, awayMs);
        const bool met = m.longestPauseMs >= 0 && m.longestPauseMs < 50 && m.completedMs >= 0;
        allMet = allMet && met;
        std::printf("| %s | %lld | %s | %lld |\n", action.name, static_cast<long long>(m.longestPauseMs),
                    met ? "yes" : "NO", static_cast<long long>(m.completedMs));
        std::fflush(stdout);
    }
    return allMet ? 0 : 1;
}
