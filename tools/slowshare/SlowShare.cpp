// slowshare [--delay-ms=N] [--attr-timeout-ms=N] [--ignore-case] [--stats=FILE] BACKING_DIR MOUNTPOINT
//
// Mounts BACKING_DIR at MOUNTPOINT and serves it in the foreground until unmounted
// (fusermount3 -u MOUNTPOINT) or interrupted. Every operation first waits N milliseconds, as a
// round trip to a file server would, and is counted; SIGUSR1 writes the counts to FILE, and so
// does the unmount. Many requests are served at once: the delays of operations in flight
// overlap, as they do on a real network.
//
// The kernel keeps what it learnt of names and attributes for the attribute time (1000 ms by
// default, the `actimeo` of a CIFS mount; 0 keeps nothing), and a listing brings every entry's
// attributes along, as an SMB directory query does: a stat of each listed file soon after the
// listing costs no round trip, there as on a kernel CIFS mount. File contents are never cached:
// every open and read reaches this process.

#define FUSE_USE_VERSION 312
#include <fuse.h>

#include "BackingPaths.h"
#include "FolderListing.h"
#include "OpenAnswers.h"
#include "OperationStats.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <pthread.h>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct Share
{
    std::unique_ptr<BackingPaths> paths;
    OperationStats stats;
    OpenAnswers openAnswers;
    int delayMs = 0;
    int attrTimeoutMs = 1000;
};

Share share;

// Counts the operation and waits the round trip before it is carried out.
std::string begin(Operation op, const char* path = nullptr)
{
    share.stats.add(op);
    if (share.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(share.delayMs));
    return path ? share.paths->resolve(path) : std::string();
}

int result(int rc)
{
    return rc < 0 ? -errno : rc;
}

int fileHandle(const fuse_file_info* fi)
{
    return static_cast<int>(fi->fh);
}

int doGetattr(const char* path, struct stat* st, fuse_file_info* fi)
{
    if (!fi && path && share.openAnswers.take(path, share.attrTimeoutMs)) {
        share.stats.add(Operation::openAttributes);
        return result(::lstat(share.paths->resolve(path).c_str(), st));
    }
    const std::string real = begin(Operation::getattr, fi ? nullptr : path);
    return result(fi ? ::fstat(fileHandle(fi), st) : ::lstat(real.c_str(), st));
}

int doReadlink(const char* path, char* buffer, size_t size)
{
    const std::string real = begin(Operation::readlink, path);
    const ssize_t n = ::readlink(real.c_str(), buffer, size - 1);
    if (n < 0)
        return -errno;
    buffer[n] = '\0';
    return 0;
}

int doMknod(const char* path, mode_t mode, dev_t dev)
{
    const std::string real = begin(Operation::mknod, path);
    return result(::mknod(real.c_str(), mode, dev));
}

int doMkdir(const char* path, mode_t mode)
{
    const std::string real = begin(Operation::mkdir, path);
    return result(::mkdir(real.c_str(), mode));
}

int doUnlink(const char* path)
{
    const std::string real = begin(Operation::unlink, path);
    return result(::unlink(real.c_str()));
}

int doRmdir(const char* path)
{
    const std::string real = begin(Operation::rmdir, path);
    return result(::rmdir(real.c_str()));
}

int doSymlink(const char* target, const char* path)
{
    const std::string real = begin(Operation::symlink, path);
    return result(::symlink(target, real.c_str()));
}

int doRename(const char* from, const char* to, unsigned int flags)
{
    const std::string realFrom = begin(Operation::rename, from);
    if (flags & ~static_cast<unsigned int>(RENAME_NOREPLACE))
        return -EINVAL;
    std::string realTo = share.paths->resolve(to);
    // Renaming an entry to its own name in another case changes the spelling, as on Windows.
    if (share.paths->ignoresCase() && realTo == realFrom) {
        const char* lastSlash = std::strrchr(to, '/');
        realTo = realTo.substr(0, realTo.rfind('/') + 1) + (lastSlash ? lastSlash + 1 : to);
    }
    return result(::renameat2(AT_FDCWD, realFrom.c_str(), AT_FDCWD, realTo.c_str(), flags));
}

int doLink(const char* from, const char* to)
{
    const std::string realFrom = begin(Operation::link, from);
    return result(::link(realFrom.c_str(), share.paths->resolve(to).c_str()));
}

int doChmod(const char* path, mode_t mode, fuse_file_info* fi)
{
    const std::string real = begin(Operation::chmod, fi ? nullptr : path);
    return result(fi ? ::fchmod(fileHandle(fi), mode) : ::chmod(real.c_str(), mode));
}

int doChown(const char* path, uid_t uid, gid_t gid, fuse_file_info* fi)
{
    const std::string real = begin(Operation::chown, fi ? nullptr : path);
    return result(fi ? ::fchown(fileHandle(fi), uid, gid) : ::lchown(real.c_str(), uid, gid));
}

int doTruncate(const char* path, off_t size, fuse_file_info* fi)
{
    const std::string real = begin(Operation::truncate, fi ? nullptr : path);
    return result(fi ? ::ftruncate(fileHandle(fi), size) : ::truncate(real.c_str(), size));
}

int doUtimens(const char* path, const timespec times[2], fuse_file_info* fi)
{
    const std::string real = begin(Operation::utimens, fi ? nullptr : path);
    return result(fi ? ::futimens(fileHandle(fi), times)
                     : ::utimensat(AT_FDCWD, real.c_str(), times, AT_SYMLINK_NOFOLLOW));
}

int doOpen(const char* path, fuse_file_info* fi)
{
    const std::string real = begin(Operation::open, path);
    const int fd = ::open(real.c_str(), fi->flags | O_CLOEXEC);
    if (fd < 0)
        return -errno;
    fi->fh = static_cast<uint64_t>(fd);
    fi->direct_io = 1;
    // What the file is now, not what the kernel kept: the kernel is told to ask (OpenAnswers).
    share.openAnswers.opened(path);
    fuse_invalidate_path(fuse_get_context()->fuse, path);
    return 0;
}

int doCreate(const char* path, mode_t mode, fuse_file_info* fi)
{
    const std::string real = begin(Operation::create, path);
    const int fd = ::open(real.c_str(), fi->flags | O_CREAT | O_CLOEXEC, mode);
    if (fd < 0)
        return -errno;
    fi->fh = static_cast<uint64_t>(fd);
    fi->direct_io = 1;
    return 0;
}

int doRead(const char*, char* buffer, size_t size, off_t offset, fuse_file_info* fi)
{
    begin(Operation::read);
    return result(int(::pread(fileHandle(fi), buffer, size, offset)));
}

int doWrite(const char*, const char* buffer, size_t size, off_t offset, fuse_file_info* fi)
{
    begin(Operation::write);
    return result(int(::pwrite(fileHandle(fi), buffer, size, offset)));
}

int doStatfs(const char* path, struct statvfs* st)
{
    const std::string real = begin(Operation::statfs, path);
    return result(::statvfs(real.c_str(), st));
}

int doFlush(const char*, fuse_file_info* fi)
{
    begin(Operation::flush);
    // A close of a duplicate reports write errors the backing file system kept back, without
    // closing the handle that other descriptors of the same open file still use.
    return result(::close(::dup(fileHandle(fi))));
}

int doRelease(const char*, fuse_file_info* fi)
{
    begin(Operation::release);
    ::close(fileHandle(fi));
    return 0;
}

int doFsync(const char*, int dataOnly, fuse_file_info* fi)
{
    begin(Operation::fsync);
    return result(dataOnly ? ::fdatasync(fileHandle(fi)) : ::fsync(fileHandle(fi)));
}

int doSetxattr(const char* path, const char* name, const char* value, size_t size, int flags)
{
    const std::string real = begin(Operation::setxattr, path);
    return result(::lsetxattr(real.c_str(), name, value, size, flags));
}

int doGetxattr(const char* path, const char* name, char* value, size_t size)
{
    const std::string real = begin(Operation::getxattr, path);
    return result(int(::lgetxattr(real.c_str(), name, value, size)));
}

int doListxattr(const char* path, char* list, size_t size)
{
    const std::string real = begin(Operation::listxattr, path);
    return result(int(::llistxattr(real.c_str(), list, size)));
}

int doRemovexattr(const char* path, const char* name)
{
    const std::string real = begin(Operation::removexattr, path);
    return result(::lremovexattr(real.c_str(), name));
}

int doOpendir(const char* path, fuse_file_info* fi)
{
    const std::string real = begin(Operation::opendir, path);
    auto folder = std::make_unique<FolderListing>(real);
    if (!folder->isOpen())
        return -errno;
    fi->fh = reinterpret_cast<uint64_t>(folder.release());
    return 0;
}

int doReaddir(const char*, void* buffer, fuse_fill_dir_t fill, off_t offset, fuse_file_info* fi,
              fuse_readdir_flags flags)
{
    FolderListing& folder = *reinterpret_cast<FolderListing*>(fi->fh);
    if (offset == 0) {
        begin(Operation::readdir);
        // With the attributes when the kernel asks for them (READDIRPLUS), as a server's
        // directory query brings each entry's size and times along.
        folder.restart((flags & FUSE_READDIR_PLUS) != 0);
        folder.answersSent = 1;
    }
    const std::vector<FolderListing::Entry>& entries = folder.entries();
    // Real offsets (each entry's position) make libfuse hand each entry's attributes on to the
    // kernel; with offset 0 it would drop them.
    for (size_t i = size_t(offset); i < entries.size(); ++i) {
        const FolderListing::Entry& e = entries[i];
        if (e.answer >= folder.answersSent) {
            begin(Operation::readdir);
            folder.answersSent = e.answer + 1;
        }
        const auto entryFlags = e.hasAttributes ? FUSE_FILL_DIR_PLUS : static_cast<fuse_fill_dir_flags>(0);
        if (fill(buffer, e.name.c_str(), &e.attributes, off_t(i + 1), entryFlags) != 0)
            break;
    }
    return 0;
}

int doReleasedir(const char*, fuse_file_info* fi)
{
    begin(Operation::releasedir);
    delete reinterpret_cast<FolderListing*>(fi->fh);
    return 0;
}

int doAccess(const char* path, int mask)
{
    const std::string real = begin(Operation::access, path);
    return result(::access(real.c_str(), mask));
}

void* doInit(fuse_conn_info* conn, fuse_config* config)
{
    // Names and attributes are kept as long as a network file system's client keeps them; a
    // name found missing is asked again each time (another PC may create it), and file
    // contents always come from the server.
    config->entry_timeout = share.attrTimeoutMs / 1000.0;
    config->attr_timeout = share.attrTimeoutMs / 1000.0;
    config->negative_timeout = 0;
    // Every listing in full with its attributes, not only its first part: the program lists the
    // whole folder before it looks at any file.
    if (conn->capable & FUSE_CAP_READDIRPLUS) {
        conn->want |= FUSE_CAP_READDIRPLUS;
        conn->want &= ~FUSE_CAP_READDIRPLUS_AUTO;
    }
    config->direct_io = 1;
    config->kernel_cache = 0;
    config->auto_cache = 0;
    // A file deleted or replaced while open is kept under a hidden ".fuse_hidden" name until
    // its last close, so fstat() on the open file goes on working, as it does on a file server
    // (with a hard remove the library answers it with ESTALE, and a reader racing a writer
    // would fail where the server lets it read). BackingPaths keeps those names out of the
    // shared folder.
    config->hard_remove = 0;
    config->nullpath_ok = 1;
    config->use_ino = 0;
    conn->max_background = 128;
    conn->congestion_threshold = 96;
    return nullptr;
}

fuse_operations operations()
{
    fuse_operations ops = {};
    ops.getattr = doGetattr;
    ops.readlink = doReadlink;
    ops.mknod = doMknod;
    ops.mkdir = doMkdir;
    ops.unlink = doUnlink;
    ops.rmdir = doRmdir;
    ops.symlink = doSymlink;
    ops.rename = doRename;
    ops.link = doLink;
    ops.chmod = doChmod;
    ops.chown = doChown;
    ops.truncate = doTruncate;
    ops.open = doOpen;
    ops.read = doRead;
    ops.write = doWrite;
    ops.statfs = doStatfs;
    ops.flush = doFlush;
    ops.release = doRelease;
    ops.fsync = doFsync;
    ops.setxattr = doSetxattr;
    ops.getxattr = doGetxattr;
    ops.listxattr = doListxattr;
    ops.removexattr = doRemovexattr;
    ops.opendir = doOpendir;
    ops.readdir = doReaddir;
    ops.releasedir = doReleasedir;
    ops.access = doAccess;
    ops.create = doCreate;
    ops.utimens = doUtimens;
    ops.init = doInit;
    return ops;
}

struct Options
{
    int delayMs = 0;
    int attrTimeoutMs = 1000;
    bool ignoreCase = false;
    std::string statsFile;
    std::string backing;
    std::string mountPoint;
};

// A time of 0 to 600 000 ms, the whole text.
bool parseMs(const char* text, int& ms)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || end == text || value < 0 || value > 600000)
        return false;
    ms = int(value);
    return true;
}

bool parseOptions(int argc, char** argv, Options& options)
{
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--delay-ms=", 0) == 0) {
            if (!parseMs(arg.c_str() + 11, options.delayMs))
                return false;
        } else if (arg.rfind("--attr-timeout-ms=", 0) == 0) {
            if (!parseMs(arg.c_str() + 18, options.attrTimeoutMs))
                return false;
        } else if (arg == "--ignore-case") {
            options.ignoreCase = true;
        } else if (arg.rfind("--stats=", 0) == 0) {
            options.statsFile = arg.substr(8);
        } else if (arg.rfind("--", 0) == 0) {
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2)
        return false;
    options.backing = positional[0];
    options.mountPoint = positional[1];
    return true;
}

// Waits for SIGUSR1, which every other thread blocks, and writes the counts each time.
void serveStatsRequests(const std::string& statsFile, const std::atomic<bool>& stopping)
{
    sigset_t usr1;
    sigemptyset(&usr1);
    sigaddset(&usr1, SIGUSR1);
    for (;;) {
        int signal = 0;
        if (sigwait(&usr1, &signal) != 0 || stopping)
            return;
        if (!statsFile.empty() && !share.stats.writeTo(statsFile))
            std::fprintf(stderr, "slowshare: cannot write %s: %s\n", statsFile.c_str(), std::strerror(errno));
    }
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: slowshare [--delay-ms=N] [--attr-timeout-ms=N] [--ignore-case] [--stats=FILE] "
                             "BACKING_DIR MOUNTPOINT\n");
        return 2;
    }
    char* backing = ::realpath(options.backing.c_str(), nullptr);
    struct stat st;
    if (!backing || ::stat(backing, &st) != 0 || !S_ISDIR(st.st_mode)) {
        std::fprintf(stderr, "slowshare: %s is not a folder\n", options.backing.c_str());
        std::free(backing);
        return 1;
    }
    share.paths = std::make_unique<BackingPaths>(backing, options.ignoreCase);
    share.paths->makeAttic();
    share.delayMs = options.delayMs;
    share.attrTimeoutMs = options.attrTimeoutMs;
    std::free(backing);
    // Modes arrive from the kernel with the caller's umask applied already.
    ::umask(0);

    // Blocked before any thread starts, so only the stats thread ever takes SIGUSR1.
    sigset_t usr1;
    sigemptyset(&usr1);
    sigaddset(&usr1, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &usr1, nullptr);
    std::atomic<bool> stopping = false;
    std::thread statsThread(serveStatsRequests, options.statsFile, std::cref(stopping));

    const fuse_operations ops = operations();
    std::vector<const char*> fuseArgv = {argv[0], "-o", "fsname=slowshare,subtype=slowshare"};
    fuse_args args = FUSE_ARGS_INIT(int(fuseArgv.size()), const_cast<char**>(fuseArgv.data()));
    fuse* fs = fuse_new(&args, &ops, sizeof ops, nullptr);
    int rc = 1;
    if (fs && fuse_mount(fs, options.mountPoint.c_str()) == 0) {
        fuse_session* session = fuse_get_session(fs);
        if (fuse_set_signal_handlers(session) == 0) {
            fuse_loop_config* config = fuse_loop_cfg_create();
            fuse_loop_cfg_set_max_threads(config, 256);
            fuse_loop_cfg_set_idle_threads(config, 64);
            rc = fuse_loop_mt(fs, config) == 0 ? 0 : 1;
            fuse_loop_cfg_destroy(config);
            fuse_remove_signal_handlers(session);
        }
        fuse_unmount(fs);
    } else {
        std::fprintf(stderr, "slowshare: cannot mount %s\n", options.mountPoint.c_str());
    }
    if (fs)
        fuse_destroy(fs);
    fuse_opt_free_args(&args);

    share.paths->removeAttic();
    stopping = true;
    pthread_kill(statsThread.native_handle(), SIGUSR1);
    statsThread.join();
    if (!options.statsFile.empty())
        share.stats.writeTo(options.statsFile);
    return rc;
}
