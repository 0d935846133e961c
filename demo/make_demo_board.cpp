// Writes a fresh demo board: make_demo_board <folder> [--now yyyy-MM-ddThh:mm] [--small-font]
// The board is dated to the moment given, or to now. The run command and the screenshot
// script open it with XDG_CONFIG_HOME=<folder>/config.
#include "demo/DemoBoard.h"

#include "platform/Clock.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes a demo board for Vurnaboard."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("where the board and its profile go"));
    const QCommandLineOption nowOption(QStringLiteral("now"), QStringLiteral("date the board to this moment"),
                                       QStringLiteral("yyyy-MM-ddThh:mm"));
    const QCommandLineOption smallOption(QStringLiteral("small-font"), QStringLiteral("profile with the small font"));
    parser.addOptions({nowOption, smallOption});
    parser.process(app);

    QTextStream err(stderr);
    if (parser.positionalArguments().size() != 1) {
        err << parser.helpText();
        return 2;
    }
    DemoBoard::Options options;
    options.folder = QDir(parser.positionalArguments().constFirst()).absolutePath();
    options.smallFont = parser.isSet(smallOption);
    if (parser.isSet(nowOption)) {
        options.now = QDateTime::fromString(parser.value(nowOption), Qt::ISODate);
        if (!options.now.isValid()) {
            err << "not a moment: " << parser.value(nowOption) << '\n';
            return 2;
        }
    } else {
        options.now = SystemClock().now();
    }
    const QString error = DemoBoard::Write(options);
    if (!error.isEmpty()) {
        err << error << '\n';
        return 1;
    }
    QTextStream(stdout) << DemoBoard::ShareFolder(options.folder) << '\n';
    return 0;
}
