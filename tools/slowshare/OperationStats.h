#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

// Every operation slowshare serves, counted. Benchmarks and tests read the counts to see how
// many round trips a piece of the program costs on a file server.
enum class Operation {
    getattr,
    readlink,
    mknod,
    mkdir,
    unlink,
    rmdir,
    symlink,
    rename,
    link,
    chmod,
    chown,
    truncate,
    open,
    read,
    write,
    statfs,
    flush,
    release,
    fsync,
    setxattr,
    getxattr,
    listxattr,
    removexattr,
    opendir,
    readdir,
    releasedir,
    access,
    create,
    utimens,
    // The kernel asking for the attributes that came with an open's answer (OpenAnswers): served
    // without a round trip, and so left out of the total.
    openAttributes,
    count
};

class OperationStats
{
public:
    void add(Operation op) { m_counts[size_t(op)].fetch_add(1, std::memory_order_relaxed); }

    // Writes "total N" (the round trips) and then one "<operation> N" line per operation to
    // `path`, through a temporary file renamed over it, so a reader never sees half a file.
    // False on failure.
    bool writeTo(const std::string& path) const;

private:
    std::array<std::atomic<std::uint64_t>, size_t(Operation::count)> m_counts{};
};
