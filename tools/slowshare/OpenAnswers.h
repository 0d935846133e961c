#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>

// A file server answers an open with the file's attributes, and network clients take them in
// (CIFS from its create answer, NFS by its close-to-open check). FUSE's answer to an open has no
// room for them: slowshare makes the kernel ask in a request of its own right after the open,
// and that request is the open's answer arriving, not another round trip.
class OpenAnswers
{
public:
    void opened(const std::string& path)
    {
        const std::lock_guard lock(m_mutex);
        m_opened[path] = Clock::now();
    }

    // True once for a path opened within the last `withinMs`.
    bool take(const std::string& path, int withinMs)
    {
        const std::lock_guard lock(m_mutex);
        const auto found = m_opened.find(path);
        if (found == m_opened.end())
            return false;
        const bool recent = Clock::now() - found->second <= std::chrono::milliseconds(withinMs);
        m_opened.erase(found);
        return recent;
    }

private:
    using Clock = std::chrono::steady_clock;
    std::mutex m_mutex;
    std::unordered_map<std::string, Clock::time_point> m_opened;
};
