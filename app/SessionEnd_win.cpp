#include "app/SessionEnd.h"

#include "platform/LogCategories.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

namespace {

constexpr wchar_t WindowClass[] = L"VurnaSessionEnd";

} // namespace

// A hidden top-level window of our own hears the end of the session even while the program has
// no other window (started into the tray). Qt's own windows hear it too, and Qt would quit the
// event loop there without our shutdown: the filter routes their messages here as well, so
// whichever window is asked first ends the program properly.
class SessionEnd::Watch final : public QAbstractNativeEventFilter
{
public:
    explicit Watch(SessionEnd& owner) : m_owner(owner)
    {
        if (!RegisterWindowClass())
            return;
        m_window = CreateWindowExW(WS_EX_TOOLWINDOW, WindowClass, WindowClass, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), this);
        if (!m_window) {
            qCWarning(lcBoard) << "session end not watched, error" << GetLastError();
            return;
        }
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~Watch() override
    {
        if (!m_window)
            return;
        QCoreApplication::instance()->removeNativeEventFilter(this);
        DestroyWindow(m_window);
    }

    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    bool IsWatching() const { return m_window != nullptr; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override
    {
        if (eventType != "windows_generic_MSG")
            return false;
        const auto* msg = static_cast<const MSG*>(message);
        LRESULT answer = 0;
        if (msg->hwnd == m_window || !AnswerEndOfSession(msg->message, msg->wParam, &answer))
            return false;
        *result = answer;
        return true;
    }

private:
    static bool RegisterWindowClass()
    {
        static const bool registered = [] {
            WNDCLASSEXW windowClass = {};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = &Watch::WindowProc;
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
        auto* watch = reinterpret_cast<Watch*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        LRESULT answer = 0;
        if (watch && watch->AnswerEndOfSession(message, wParam, &answer))
            return answer;
        if (watch && message == WM_CLOSE) {
            // What `taskkill` without /F sends: an administrator's or a test's polite end. The
            // window itself stays until the program is done.
            qCInfo(lcBoard) << "asked to close";
            emit watch->m_owner.EndRequested(QStringLiteral("close"));
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    // True when `message` is one of the session's questions, with the answer in `answer`.
    bool AnswerEndOfSession(UINT message, WPARAM wParam, LRESULT* answer)
    {
        if (message == WM_QUERYENDSESSION) {
            // Nothing to ask the user: the program saves and ends on its own.
            *answer = TRUE;
            return true;
        }
        if (message != WM_ENDSESSION)
            return false;
        *answer = 0;
        // The process may be ended as soon as this returns: the receiver runs the whole shutdown
        // before. Every top-level window is told; one end is enough.
        if (wParam && !m_ending) {
            m_ending = true;
            qCInfo(lcBoard) << "session ends";
            emit m_owner.EndRequested(QStringLiteral("session"));
        }
        return true;
    }

    SessionEnd& m_owner;
    HWND m_window = nullptr;
    bool m_ending = false;
};

SessionEnd::SessionEnd(QObject* parent) : QObject(parent), m_watch(std::make_unique<Watch>(*this)) {}

SessionEnd::~SessionEnd() = default;

bool SessionEnd::IsWatching() const
{
    return m_watch->IsWatching();
}
