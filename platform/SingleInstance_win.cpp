#include "platform/SingleInstance.h"

#include "platform/LogCategories.h"

#include <string>

#include <windows.h>

namespace {

constexpr wchar_t MutexName[] = L"VurnaMutex";
constexpr wchar_t WakeupName[] = L"VurnaWakeup";
constexpr wchar_t WindowClass[] = L"VurnaWakeupListener";

// A backslash would make the name a path in the object namespace.
std::wstring scopedName(const wchar_t* base, const QString& session)
{
    std::wstring name = base;
    if (!session.isEmpty())
        name += L':' + QString(session).replace(QLatin1Char('\\'), QLatin1Char('/')).toStdWString();
    return name;
}

bool isTaken(DWORD waited)
{
    // A copy that died leaves the mutex abandoned: it is ours now all the same.
    return waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

} // namespace

class SingleInstance::Impl
{
public:
    Impl(SingleInstance& owner, const QString& session)
        : m_owner(owner), m_mutexName(scopedName(MutexName, session)),
          m_wakeupMessage(RegisterWindowMessageW(scopedName(WakeupName, session).c_str()))
    {
    }

    ~Impl()
    {
        if (m_window)
            DestroyWindow(m_window);
        if (m_mutex) {
            if (m_isOwner)
                ReleaseMutex(m_mutex);
            CloseHandle(m_mutex);
        }
    }

    static bool RegisterWindowClass()
    {
        static const bool registered = [] {
            WNDCLASSEXW windowClass = {};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = &Impl::WindowProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = WindowClass;
            return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
        }();
        return registered;
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        // Qt's event dispatcher hands the posted message to this window on the owner's thread.
        const auto* impl = reinterpret_cast<const Impl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (impl && message == impl->m_wakeupMessage) {
            qCInfo(lcBoard) << "woken by a second start";
            emit impl->m_owner.WakeupRequested();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    SingleInstance& m_owner;
    const std::wstring m_mutexName;
    // 0 when the name could not be registered: nothing can be sent or heard then.
    const UINT m_wakeupMessage;
    HANDLE m_mutex = nullptr;
    HWND m_window = nullptr;
    bool m_isOwner = false;
};

SingleInstance::SingleInstance(QString session, QObject* parent)
    : QObject(parent), m_impl(std::make_unique<Impl>(*this, session))
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::TryAcquire()
{
    if (m_impl->m_isOwner)
        return true;
    HANDLE mutex = CreateMutexW(nullptr, FALSE, m_impl->m_mutexName.c_str());
    if (!mutex) {
        qCWarning(lcBoard) << "mutex not made, error" << GetLastError();
        return false;
    }
    const DWORD waited = WaitForSingleObject(mutex, 0);
    if (!isTaken(waited)) {
        qCInfo(lcBoard) << "already running";
        CloseHandle(mutex);
        return false;
    }
    if (waited == WAIT_ABANDONED)
        qCInfo(lcBoard) << "taken over from a copy that ended without letting go";
    m_impl->m_mutex = mutex;
    m_impl->m_isOwner = true;
    return true;
}

bool SingleInstance::IsOwner() const
{
    return m_impl->m_isOwner;
}

bool SingleInstance::Listen()
{
    if (!m_impl->m_isOwner || !m_impl->m_wakeupMessage || !Impl::RegisterWindowClass())
        return false;
    if (m_impl->m_window)
        return true;
    // Top-level and never shown: a broadcast reaches top-level windows only, not message-only ones.
    m_impl->m_window = CreateWindowExW(WS_EX_TOOLWINDOW, WindowClass, WakeupName, WS_POPUP, 0, 0, 0, 0, nullptr,
                                       nullptr, GetModuleHandleW(nullptr), m_impl.get());
    if (!m_impl->m_window) {
        qCWarning(lcBoard) << "wake-up window not made, error" << GetLastError();
        return false;
    }
    return true;
}

bool SingleInstance::WakeRunning(int) const
{
    if (!m_impl->m_wakeupMessage)
        return false;
    // Only the program the user just started may hand on the right to come to the front; the
    // running copy shows its window in answer.
    AllowSetForegroundWindow(ASFW_ANY);
    if (!PostMessageW(HWND_BROADCAST, m_impl->m_wakeupMessage, 0, 0)) {
        qCInfo(lcBoard) << "wake-up not posted, error" << GetLastError();
        return false;
    }
    return true;
}

SingleInstance::RunningCopy SingleInstance::WaitForRunningCopyToEnd(int timeoutMs, const QString& session)
{
    HANDLE mutex = CreateMutexW(nullptr, FALSE, scopedName(MutexName, session).c_str());
    if (!mutex) {
        qCInfo(lcBoard) << "mutex neither made nor opened, error" << GetLastError();
        return RunningCopy::Unusable;
    }
    const DWORD waited = WaitForSingleObject(mutex, static_cast<DWORD>(qMax(0, timeoutMs)));
    RunningCopy result = RunningCopy::StillRunning;
    if (isTaken(waited)) {
        ReleaseMutex(mutex);
        result = RunningCopy::Gone;
    } else if (waited != WAIT_TIMEOUT) {
        qCInfo(lcBoard) << "wait on the mutex failed, error" << GetLastError();
        result = RunningCopy::Unusable;
    }
    CloseHandle(mutex);
    return result;
}
