#include "OperationStats.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<const char*, size_t(Operation::count)> names = {
    "getattr", "readlink",   "mknod",  "mkdir",    "unlink",   "rmdir",          "symlink",     "rename",
    "link",    "chmod",      "chown",  "truncate", "open",     "read",           "write",       "statfs",
    "flush",   "release",    "fsync",  "setxattr", "getxattr", "listxattr",      "removexattr", "opendir",
    "readdir", "releasedir", "access", "create",   "utimens",  "open-attributes"};

} // namespace

bool OperationStats::writeTo(const std::string& path) const
{
    std::array<std::uint64_t, size_t(Operation::count)> counts{};
    std::uint64_t total = 0;
    for (size_t i = 0; i < counts.size(); ++i) {
        counts[i] = m_counts[i].load(std::memory_order_relaxed);
        if (Operation(i) != Operation::openAttributes)
            total += counts[i];
    }
    std::string text = "total " + std::to_string(total) + '\n';
    for (size_t i = 0; i < counts.size(); ++i)
        text += std::string(names[i]) + ' ' + std::to_string(counts[i]) + '\n';

    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    if (::close(fd) != 0 || !written || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}
