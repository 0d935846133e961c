#include "demo/DemoBoard.h"

#include "platform/SharePath.h"

#include <QDir>

namespace DemoBoard {

QString Write(const Options& options)
{
    const QString share = ShareFolder(options.folder);
    if (QDir(share).exists() && !QDir(share).isEmpty())
        return QStringLiteral("%1 already holds a board; remove it first").arg(share);
    if (!QDir().mkpath(share))
        return QStringLiteral("cannot create %1").arg(share);
    // Paths in memory are upper-cased; the files keep the spelling given here and are found
    // without regard to case, as on the Windows servers the board was made for.
    const QByteArray shareDir = SharePath::fromNative(share);
    for (const auto& part : {WriteSite, WriteMembers, WriteMemos}) {
        const QString error = part(shareDir, options.now);
        if (!error.isEmpty())
            return error;
    }
    return WriteProfile(options, shareDir);
}

} // namespace DemoBoard
