#include "platform/NetworkPath.h"

#include <QDir>

#include <windows.h>
#include <winnetwk.h>

QString NetworkPath::UniversalForm(const QString& path)
{
    // Only a drive can be mapped; a path in network form already is what is asked for, and no
    // network provider need be asked about it.
    if (path.size() < 2 || !path.at(0).isLetter() || path.at(1) != QLatin1Char(':'))
        return path;
    const QString native = QDir::toNativeSeparators(path);
    const auto* local = reinterpret_cast<const wchar_t*>(native.utf16());
    // The answer holds the structure and the name it points to; the first guess fits most paths.
    DWORD size = DWORD(sizeof(UNIVERSAL_NAME_INFOW) + (native.size() + MAX_PATH) * sizeof(wchar_t));
    for (int attempt = 0; attempt < 2; ++attempt) {
        QByteArray buffer(qsizetype(size), '\0');
        const DWORD result = WNetGetUniversalNameW(local, UNIVERSAL_NAME_INFO_LEVEL, buffer.data(), &size);
        if (result == NO_ERROR) {
            const auto* info = reinterpret_cast<const UNIVERSAL_NAME_INFOW*>(buffer.constData());
            return info->lpUniversalName ? QString::fromWCharArray(info->lpUniversalName) : path;
        }
        // Not on a mapped drive (a local disk, a drive letter given to a local folder), or the
        // network provider cannot tell: the path as given is the best answer.
        if (result != ERROR_MORE_DATA)
            return path;
    }
    return path;
}
