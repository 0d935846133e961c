#include "platform/ProcessStarter.h"

#include <QProcess>

#include <windows.h>

bool DetachedProcessStarter::start(const QString& program, const QStringList& arguments, Show show)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    // The show state travels in the start-up information; the program's first ShowWindow follows it.
    process.setCreateProcessArgumentsModifier([show](QProcess::CreateProcessArguments* args) {
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = show == Show::Hidden ? SW_HIDE : SW_SHOWNORMAL;
    });
    return process.startDetached();
}
