#include "demo/DemoBoard.h"

#include "store/LocalSettings.h"

#include <QDir>
#include <QFile>

namespace DemoBoard {

QString ShareFolder(const QString& folder)
{
    return QDir(folder).absoluteFilePath(QStringLiteral("share")) + u'/';
}

QString ProfileFile(const QString& folder)
{
    return QDir(folder).absoluteFilePath(QStringLiteral("config/Quaxosoft/Vurna.conf"));
}

// The profile the program reads from QSettings(NativeFormat, UserScope, "Quaxosoft", "Vurna"),
// which on Linux is this ini file under XDG_CONFIG_HOME: it opens the board, shown at once, as
// the demo user.
QString WriteProfile(const Options& options, const QByteArray& shareDir)
{
    const QList<Member> members = Members();
    const auto own = std::find_if(members.begin(), members.end(),
                                  [](const Member& m) { return m.diskName == QLatin1String(OwnMember); });
    if (own == members.end())
        return QStringLiteral("the demo user is not a member");

    const QString file = ProfileFile(options.folder);
    // Nothing of an earlier profile may linger.
    if (QFile::exists(file) && !QFile::remove(file))
        return QStringLiteral("cannot replace %1").arg(file);
    LocalSettings profile = LocalSettings::InProfileFile(file);
    profile.SetShareDir(shareDir);
    profile.SetAutoSmall(false);
    profile.SetAutoDengonOpen(false);
    profile.SetSmallFont(options.smallFont);
    profile.SetRegistSortPriority(false);
    profile.SaveOwnIdentity(ToRecord(*own, shareDir, options.now));
    // The settings write silently, as the program needs; here a profile that did not stick
    // is worth saying.
    if (profile.ShareDir() != shareDir)
        return QStringLiteral("cannot write %1").arg(file);
    return {};
}

} // namespace DemoBoard
