#include "platform/Autostart_posix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace Autostart {

namespace {

// The string-level escapes of a desktop entry value.
QString escapeString(const QString& value)
{
    QString escaped;
    for (QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            escaped += QLatin1String("\\\\");
            break;
        case '\n':
            escaped += QLatin1String("\\n");
            break;
        case '\t':
            escaped += QLatin1String("\\t");
            break;
        case '\r':
            escaped += QLatin1String("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

bool needsQuotes(const QString& argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    for (QChar c : argument) {
        if (reserved.contains(c))
            return true;
    }
    return argument.isEmpty();
}

} // namespace

QString folder()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart");
}

QString entryPath()
{
    return folder() + QLatin1Char('/') + QLatin1String(entryName);
}

bool isPresent()
{
    return QFileInfo(entryPath()).isFile();
}

QString execValue(const QString& program)
{
    QString argument = program;
    argument.replace(QLatin1Char('%'), QLatin1String("%%"));
    if (needsQuotes(argument)) {
        QString quoted;
        for (QChar c : argument) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        argument = QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    return escapeString(argument);
}

QByteArray entryText(const QString& program)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Vurnaboard\n"
                                        "Comment=行き先掲示板\n"
                                        "Exec=%1\n"
                                        "Path=%2\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(execValue(program), escapeString(QFileInfo(program).absolutePath()));
    return text.toUtf8();
}

bool create(const QString& program, QString* error)
{
    if (!QDir().mkpath(folder())) {
        *error = QStringLiteral("自動起動のフォルダ(%1)を作れませんでした。").arg(folder());
        return false;
    }
    QSaveFile file(entryPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(entryText(program)) < 0 || !file.commit()) {
        *error = QStringLiteral("自動起動の設定(%1)を書き込めませんでした。%2").arg(entryPath(), file.errorString());
        return false;
    }
    return true;
}

bool remove(QString* error)
{
    QFile entry(entryPath());
    if (!entry.exists() || entry.remove())
        return true;
    *error = QStringLiteral("自動起動の設定(%1)を削除できませんでした。%2").arg(entryPath(), entry.errorString());
    return false;
}

} // namespace Autostart
