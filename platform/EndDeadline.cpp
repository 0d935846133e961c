#include "platform/EndDeadline.h"

#include "platform/LogCategories.h"

#include <algorithm>
#include <cstdio>

EndDeadline::~EndDeadline()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void EndDeadline::Arm(int ms)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    const std::lock_guard lock(m_mutex);
    if (deadline < m_deadline)
        Set(deadline);
}

void EndDeadline::Extend(int ms)
{
    const auto wanted = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    const std::lock_guard lock(m_mutex);
    // Set keeps it within the limit.
    Set(m_deadline == std::chrono::steady_clock::time_point::max() ? wanted : std::max(m_deadline, wanted));
}

void EndDeadline::Set(std::chrono::steady_clock::time_point deadline)
{
    // The first deadline fixes the limit that none after it may pass.
    if (m_limit == std::chrono::steady_clock::time_point::max())
        m_limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(LimitMs);
    m_deadline = std::min(deadline, m_limit);
    if (!m_thread.joinable())
        m_thread = std::thread([this] { Watch(); });
    m_wake.notify_all();
}

void EndDeadline::Watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (m_wake.wait_until(lock, m_deadline) == std::cv_status::timeout && !m_stopping &&
            std::chrono::steady_clock::now() >= m_deadline) {
            qCWarning(lcBoard) << "the program ends without waiting any longer for the shared directory";
            std::fflush(nullptr);
            EndNow();
        }
    }
}
