#include "platform/Autostart.h"

#include <QDir>
#include <QFileInfo>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <windows.h>

namespace Autostart {

namespace {

constexpr char EntryName[] = "Vurnaboard.lnk";

// COM for the calls of one function. The window's thread already has its apartment from Qt, and
// a different model there only means COM is up anyway.
class ComScope final
{
public:
    ComScope() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT m_result;
};

template <typename T> class ComPtr final
{
public:
    ComPtr() = default;
    ~ComPtr()
    {
        if (m_pointer)
            m_pointer->Release();
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    T* operator->() const { return m_pointer; }
    void** out() { return reinterpret_cast<void**>(&m_pointer); }

private:
    T* m_pointer = nullptr;
};

QString systemFolder()
{
    PWSTR path = nullptr;
    QString folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Startup, KF_FLAG_CREATE, nullptr, &path)))
        folder = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    CoTaskMemFree(path);
    return folder;
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString failure(HRESULT result)
{
    return QStringLiteral("(0x%1) %2").arg(quint32(result), 8, 16, QLatin1Char('0')).arg(qt_error_string(int(result)));
}

HRESULT writeShortcut(const QString& program, const QString& path)
{
    ComScope com;
    ComPtr<IShellLinkW> link;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.out());
    if (FAILED(result))
        return result;
    const QFileInfo target(program);
    const std::wstring file = native(target.absoluteFilePath()).toStdWString();
    const std::wstring workingFolder = native(target.absolutePath()).toStdWString();
    if (FAILED(result = link->SetPath(file.c_str())) ||
        FAILED(result = link->SetWorkingDirectory(workingFolder.c_str())) ||
        FAILED(result = link->SetDescription(L"Vurnaboard")))
        return result;
    ComPtr<IPersistFile> persist;
    if (FAILED(result = link->QueryInterface(IID_IPersistFile, persist.out())))
        return result;
    return persist->Save(native(path).toStdWString().c_str(), TRUE);
}

} // namespace

QString folder()
{
    const QString override = qEnvironmentVariable("VURNA_STARTUP_FOLDER");
    return override.isEmpty() ? systemFolder() : QDir::fromNativeSeparators(override);
}

QString entryPath()
{
    const QString startup = folder();
    return startup.isEmpty() ? QString() : startup + QLatin1Char('/') + QLatin1String(EntryName);
}

bool isPresent()
{
    // The shortcut itself: Qt would follow it to the program, and a moved program still leaves
    // the shortcut there to be replaced or removed.
    const QString path = entryPath();
    if (path.isEmpty())
        return false;
    const DWORD attributes = GetFileAttributesW(native(path).toStdWString().c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool create(const QString& program, QString* error)
{
    const QString startup = folder();
    if (startup.isEmpty() || !QDir().mkpath(startup)) {
        *error = QStringLiteral("自動起動のフォルダ(%1)を作れませんでした。").arg(native(startup));
        return false;
    }
    const HRESULT result = writeShortcut(program, entryPath());
    if (FAILED(result)) {
        *error =
            QStringLiteral("自動起動の設定(%1)を書き込めませんでした。%2").arg(native(entryPath()), failure(result));
        return false;
    }
    return true;
}

bool remove(QString* error)
{
    const QString path = entryPath();
    if (path.isEmpty() || DeleteFileW(native(path).toStdWString().c_str()))
        return true;
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
        return true;
    *error =
        QStringLiteral("自動起動の設定(%1)を削除できませんでした。%2").arg(native(path), qt_error_string(int(code)));
    return false;
}

} // namespace Autostart
