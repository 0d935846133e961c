#include "platform/ProcessStarter.h"

#include <QProcess>

bool DetachedProcessStarter::start(const QString& program, const QStringList& arguments, Show)
{
    return QProcess::startDetached(program, arguments);
}
