#include "demo/DemoBoard.h"

#include "platform/Cp932.h"

#include <QDir>
#include <QSettings>

namespace DemoBoard {

QString ShareFolder(const QString& folder)
{
    return QDir(folder).absoluteFilePath(QStringLiteral("share")) + u'/';
}

QString ProfileFile(const QString& folder)
{
    return QDir(folder).absoluteFilePath(QStringLiteral("config/Quaxosoft/Vurna.conf"));
}

// The settings the program reads from QSettings(NativeFormat, UserScope, "Quaxosoft", "Vurna"),
// which on Linux is this ini file under XDG_CONFIG_HOME. Flags are stored as the integers 0 and
// 1, as the program writes them.
QString WriteProfile(const Options& options, const QByteArray& shareDir)
{
    const QList<Member> members = Members();
    const auto own = std::find_if(members.begin(), members.end(),
                                  [](const Member& m) { return m.diskName == QLatin1String(OwnMember); });
    if (own == members.end())
        return QStringLiteral("the demo user is not a member");
    const TVurnaDataRec record = ToRecord(*own, shareDir, options.now);

    QSettings profile(ProfileFile(options.folder), QSettings::IniFormat);
    profile.clear();
    profile.setValue(QStringLiteral("ShareDir"), Cp932::toUnicode(shareDir));
    profile.setValue(QStringLiteral("AutoSmall"), 0);
    profile.setValue(QStringLiteral("AutoDengonOpen"), 0);
    profile.setValue(QStringLiteral("SmallFont"), options.smallFont ? 1 : 0);
    profile.setValue(QStringLiteral("RegistSortPriority"), 0);
    profile.setValue(QStringLiteral("FileName"), Cp932::toUnicode(record.FileName));
    profile.setValue(QStringLiteral("Furigana"), own->furigana);
    profile.setValue(QStringLiteral("Name"), own->name);
    profile.setValue(QStringLiteral("Group"), own->group);
    profile.setValue(QStringLiteral("InnerLine"), own->innerLine);
    profile.setValue(QStringLiteral("WarningCall"), own->warningCall);
    profile.setValue(QStringLiteral("StatusIndex"), 0);
    profile.setValue(QStringLiteral("SortPrefix"), own->sortPrefix);
    profile.sync();
    if (profile.status() != QSettings::NoError)
        return QStringLiteral("cannot write %1").arg(ProfileFile(options.folder));
    return {};
}

} // namespace DemoBoard
