#include "platform/ProcessStarter.h"

#include <QProcess>

bool DetachedProcessStarter::start(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}
