#include "platform/ProgramFolder.h"

#include <QFileInfo>

#include <unistd.h>

// A folder the user may write could still hold another user's program file: the superuser
// writes everywhere, but a file of the administrator's is not replaced from the share.
bool ProgramFolder::IsUsersOwn(const QString& programFile)
{
    const QFileInfo program(programFile);
    return QFileInfo(program.absolutePath()).isWritable() && program.ownerId() == ::getuid();
}
