#include "platform/ProgramVersion.h"

#include "platform/Cp932.h"

#include <QDir>

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

struct Translation
{
    WORD language;
    WORD codePage;
};

QString ModuleFileName()
{
    // Paths longer than MAX_PATH exist; the buffer grows until the name fits.
    for (DWORD size = MAX_PATH;; size *= 2) {
        std::wstring name(size, L'\0');
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), size);
        if (length == 0)
            return {};
        if (length < size)
            return QString::fromWCharArray(name.data(), int(length));
        if (size >= 32768)
            return {};
    }
}

} // namespace

std::optional<QByteArray> ProgramVersion::Running()
{
    const QString file = ModuleFileName();
    if (file.isEmpty())
        return std::nullopt;
    return FromResource(file);
}

std::optional<QByteArray> ProgramVersion::FromResource(const QString& programFile)
{
    const QString native = QDir::toNativeSeparators(programFile);
    const auto* path = reinterpret_cast<const wchar_t*>(native.utf16());
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0)
        return std::nullopt;
    QByteArray info(qsizetype(size), '\0');
    if (!GetFileVersionInfoW(path, 0, size, info.data()))
        return std::nullopt;

    // The strings live under the first translation the resource lists, named by its language and
    // code page in four hexadecimal digits each ("041103a4": Japanese, code page 932).
    void* found = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.constData(), L"\\VarFileInfo\\Translation", &found, &length) ||
        length < sizeof(Translation))
        return std::nullopt;
    const auto* first = static_cast<const Translation*>(found);
    const QString key = QStringLiteral("\\StringFileInfo\\%1%2\\ProductVersion")
                            .arg(first->language, 4, 16, QLatin1Char('0'))
                            .arg(first->codePage, 4, 16, QLatin1Char('0'));
    if (!VerQueryValueW(info.constData(), reinterpret_cast<const wchar_t*>(key.utf16()), &found, &length) ||
        length == 0)
        return std::nullopt;
    const auto* text = static_cast<const wchar_t*>(found);
    const QByteArray version = Cp932::fromUnicodeLossy(QString::fromWCharArray(text, int(wcsnlen(text, length))));
    if (version.isEmpty())
        return std::nullopt;
    return version;
}
