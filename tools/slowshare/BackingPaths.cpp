#include "BackingPaths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

BackingPaths::BackingPaths(std::string root, bool ignoreCase) : m_root(std::move(root)), m_ignoreCase(ignoreCase)
{
    while (m_root.size() > 1 && m_root.back() == '/')
        m_root.pop_back();
}

std::string BackingPaths::foldedName(std::string_view name)
{
    std::string out(name);
    for (size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'a' && c <= 'z') {
            out[i] = char(c - 'a' + 'A');
        } else if (c == 0xEF && i + 2 < out.size() && static_cast<unsigned char>(out[i + 1]) == 0xBD) {
            // U+FF41..FF5A (EF BD 81..9A) fold to U+FF21..FF3A (EF BC A1..BA).
            const auto last = static_cast<unsigned char>(out[i + 2]);
            if (last >= 0x81 && last <= 0x9A) {
                out[i + 1] = char(0xBC);
                out[i + 2] = char(last - 0x81 + 0xA1);
            }
            i += 2;
        }
    }
    return out;
}

std::string BackingPaths::findFolded(const std::string& dir, std::string_view name)
{
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return {};
    const std::string key = foldedName(name);
    std::string found;
    // The first entry listed wins when several spellings exist on the backing disk.
    while (const dirent* e = ::readdir(d)) {
        if (foldedName(e->d_name) == key) {
            found = e->d_name;
            break;
        }
    }
    ::closedir(d);
    return found;
}

std::string BackingPaths::resolve(const char* path) const
{
    const std::string_view rest(path);
    const std::string_view last = rest.substr(rest.rfind('/') + 1);
    if (!m_attic.empty() && last.starts_with(".fuse_hidden"))
        return m_attic + '/' + std::string(last);
    if (!m_ignoreCase)
        return rest == "/" ? m_root : m_root + std::string(rest);

    std::string real = m_root;
    bool exists = true;
    size_t pos = 0;
    while (pos < rest.size()) {
        const size_t slash = rest.find('/', pos);
        const size_t end = slash == std::string_view::npos ? rest.size() : slash;
        const std::string_view part = rest.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty())
            continue;
        std::string next = real + '/' + std::string(part);
        struct stat st;
        if (exists && part != "." && part != ".." && ::lstat(next.c_str(), &st) != 0) {
            const std::string match = findFolded(real, part);
            if (match.empty())
                exists = false; // the rest is about to be created, or is missing
            else
                next = real + '/' + match;
        }
        real = std::move(next);
    }
    return real;
}

bool BackingPaths::makeAttic()
{
    const size_t slash = m_root.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return false;
    const std::string attic = m_root.substr(0, slash) + "/.slowshare-removed-" + std::to_string(::getpid());
    struct stat root, made;
    if (::mkdir(attic.c_str(), 0700) != 0)
        return false;
    // Renamed there, not copied: it has to be the same disk.
    if (::stat(m_root.c_str(), &root) != 0 || ::stat(attic.c_str(), &made) != 0 || root.st_dev != made.st_dev) {
        ::rmdir(attic.c_str());
        return false;
    }
    m_attic = attic;
    return true;
}

void BackingPaths::removeAttic()
{
    if (m_attic.empty())
        return;
    if (DIR* d = ::opendir(m_attic.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            if (std::string_view(e->d_name).starts_with(".fuse_hidden"))
                ::unlinkat(::dirfd(d), e->d_name, 0);
        }
        ::closedir(d);
    }
    ::rmdir(m_attic.c_str());
    m_attic.clear();
}
