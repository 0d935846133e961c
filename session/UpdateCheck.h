#pragma once

#include "platform/NetworkPath.h"
#include "platform/ProgramFolder.h"
#include "store/VurnaLog.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class Clock;
class ProcessStarter;
struct ParmRec;

// The start-up check for a newer build in the own board's shared directory. When the site
// declares a newer version and lets copies update themselves, the updater "Vurnup.exe" is
// copied beside the running program and started with the new build and the program to replace;
// the program then ends so that its file can be replaced.
class UpdateCheck
{
public:
    enum class Outcome {
        JustUpdated,    // this start follows an update ("-Reboot")
        NothingToDo,    // start-up goes on
        UpdaterStarted, // the program must end now
    };

    struct Context
    {
        // The program's arguments after its own name.
        QStringList arguments;
        // The running program's version in the form VERSION= uses; nothing when it cannot be read.
        std::optional<QByteArray> localVersion;
        // The running program file and its folder (real paths).
        QString programFile;
        QString programFolder;
        // The own user's name, for the entries in the board's log.
        QByteArray member;
        // Where the log's lines go off the window's thread; written at once without one.
        VurnaLog::Appender logAppender = nullptr;
        ProcessStarter* starter = nullptr;
        const Clock* clock = nullptr;
        // Waits the given milliseconds before the updater starts (tests pass a no-op).
        std::function<void(int)> wait;
        // The network form of a folder on a mapped drive, so that the program folder and the share
        // compare as the server sees them.
        std::function<QString(const QString&)> universalForm = NetworkPath::UniversalForm;
        // Whether the program file is the user's to replace.
        std::function<bool(const QString&)> isUsersOwn = ProgramFolder::IsUsersOwn;
    };

    static constexpr char UpdaterFileName[] = "Vurnup.exe";
    static constexpr int UpdaterStartDelayMs = 3000;
    // How long after a -Reboot start the updater's copy is deleted: the updater must have ended.
    static constexpr int UpdaterDeleteDelayMs = 10000;

    // The site's versions are compared as plain text, byte by byte: sites number their builds
    // so that this order is the intended one ("3.64a" follows "3.64", "10.00" precedes "3.64").
    static bool IsNewer(const QByteArray& newest, const QByteArray& local);

    static bool IsReboot(const QStringList& arguments);

    // Where the updater's copy lives while it works.
    static QString UpdaterCopyPath(const QString& programFolder);

    static Outcome Run(const ParmRec& ownBoard, const Context& context);

    // The updater copy left by the last update, deleted; a failure is ignored.
    static void DeleteUpdaterCopy(const QString& path);
};
