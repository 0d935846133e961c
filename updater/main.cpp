// Vurnup.exe: started by the board program when the shared directory offers a newer build. Waits
// for the board program to end, puts the new build in its place and starts it with "-Reboot".

#include "platform/Diagnostics.h"
#include "platform/ProcessStarter.h"
#include "platform/RecordedMessageBoxes.h"
#include "platform/ui/QtMessageBoxes.h"
#include "updater/Updater.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // Taken before QApplication, which removes the arguments it takes for its own options. A start
    // that is not an update ends here, before anything needs a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const std::optional<UpdateRequest> request = Updater::ParseArguments(arguments);
    if (!request)
        return Updater::Refused;

    QApplication app(argc, argv);
    Diagnostics::InstallFromEnvironment();
    // The warning box is the only window; closing it must not end the wait for the worker.
    QApplication::setQuitOnLastWindowClosed(false);

    std::unique_ptr<MessageBoxes> boxes = RecordedMessageBoxes::FromEnvironment();
    if (!boxes)
        boxes = std::make_unique<QtMessageBoxes>();
    DetachedProcessStarter starter;

    UpdaterEnvironment environment;
    environment.boxes = boxes.get();
    environment.starter = &starter;
    return Updater::Run(*request, environment);
}
