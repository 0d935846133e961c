#include "platform/ShareFiles_win.h"

#include <QDir>

namespace ShareFiles {

std::wstring widePath(const QString& realPath)
{
    QString path = QDir::toNativeSeparators(realPath);
    // "C:\\" stays: without its separator it would be the drive's current folder.
    while (path.size() > 1 && path.endsWith(QLatin1Char('\\')) && !(path.size() == 3 && path.at(1) == QLatin1Char(':')))
        path.chop(1);
    return path.toStdWString();
}

QString fromWide(const wchar_t* text)
{
    return QDir::fromNativeSeparators(QString::fromWCharArray(text));
}

bool isMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME;
}

QString errorText(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString message =
        length > 0 ? QString::fromWCharArray(text, int(length)).trimmed() : QStringLiteral("error %1").arg(error);
    if (text)
        ::LocalFree(text);
    return message;
}

QDateTime fromFileTime(const FILETIME& time)
{
    // 100-nanosecond ticks since 1601-01-01.
    constexpr qint64 ticksTo1970 = 116444736000000000LL;
    const qint64 ticks = (qint64(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return QDateTime::fromMSecsSinceEpoch((ticks - ticksTo1970) / 10000, Qt::UTC);
}

} // namespace ShareFiles
