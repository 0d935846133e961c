#include "app/SessionEnd.h"

#include "platform/LogCategories.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 5> WatchedSignals = {SIGTERM, SIGINT, SIGHUP, SIGUSR1, SIGUSR2};

// The write end of the pipe is the one thing a signal handler may touch; it belongs to the
// one SessionEnd that installed the handlers.
int g_signalPipe[2] = {-1, -1};

extern "C" void onSignal(int number)
{
    const int saved = errno;
    const char byte = char(number);
    if (g_signalPipe[0] >= 0) {
        [[maybe_unused]] const auto written = ::write(g_signalPipe[0], &byte, 1);
    }
    errno = saved;
}

} // namespace

// A signal handler may do almost nothing: it writes the signal number into the pipe, and this
// reads it on the GUI thread, where the program's normal shutdown can run. It exists for as long
// as the handlers are in place.
class SessionEnd::Watch
{
public:
    explicit Watch(SessionEnd& owner) : m_notifier(g_signalPipe[1], QSocketNotifier::Read)
    {
        QObject::connect(&m_notifier, &QSocketNotifier::activated, &owner, [&owner] { ReadSignal(owner); });
    }

private:
    static void ReadSignal(SessionEnd& owner);

    QSocketNotifier m_notifier;
};

SessionEnd::SessionEnd(QObject* parent) : QObject(parent)
{
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
            qCInfo(lcBoard) << "session ends";
            // Nothing to ask the user: the program saves and ends on its own.
            manager.release();
            emit EndRequested(QStringLiteral("session"));
        });
    }

    if (g_signalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) {
        qCWarning(lcBoard) << "signals not watched";
        return;
    }
    ::fcntl(g_signalPipe[0], F_SETFL, ::fcntl(g_signalPipe[0], F_GETFL) | O_NONBLOCK);
    m_watch = std::make_unique<Watch>(*this);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : WatchedSignals)
        ::sigaction(number, &action, nullptr);
}

SessionEnd::~SessionEnd()
{
    if (!m_watch)
        return;
    // The program is ending by now: a further request to end (a log-off that asks twice) must
    // not kill it half-way through the rest of its teardown.
    struct sigaction action = {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    for (int number : WatchedSignals)
        ::sigaction(number, &action, nullptr);
    m_watch.reset();
    ::close(g_signalPipe[0]);
    ::close(g_signalPipe[1]);
    g_signalPipe[0] = g_signalPipe[1] = -1;
}

bool SessionEnd::IsWatching() const
{
    return m_watch != nullptr;
}

void SessionEnd::Watch::ReadSignal(SessionEnd& owner)
{
    char byte = 0;
    if (::read(g_signalPipe[1], &byte, 1) != 1)
        return;
    const int number = static_cast<unsigned char>(byte);
    if (number == SIGUSR1) {
        qCInfo(lcBoard) << "minute tick asked for";
        emit owner.TickRequested();
        return;
    }
    if (number == SIGUSR2) {
        emit owner.DumpRequested();
        return;
    }
    qCInfo(lcBoard) << "signal" << number << "ends the program";
    emit owner.EndRequested(QStringLiteral("signal %1").arg(number));
}
