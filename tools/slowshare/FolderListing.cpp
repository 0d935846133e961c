#include "FolderListing.h"

#include <fcntl.h>

namespace {

// An SMB2 directory query answers with at most 64 KB of entries (what Windows asks for; the
// Linux cifs client asks for 16 KB unless its CIFSMaxBufSize is raised). It asks for
// FileIdFullDirectoryInformation: 80 bytes and the name in UTF-16 (about two bytes a byte of
// these names), aligned to 8 bytes.
constexpr size_t answerBytes = 65536;

size_t wireBytes(const std::string& name)
{
    return (80 + 2 * name.size() + 7) / 8 * 8;
}

} // namespace

FolderListing::FolderListing(const std::string& realPath) : m_dir(::opendir(realPath.c_str())) {}

FolderListing::~FolderListing()
{
    if (m_dir)
        ::closedir(m_dir);
}

void FolderListing::restart(bool withAttributes)
{
    m_entries.clear();
    answersSent = 0;
    if (!m_dir)
        return;
    ::rewinddir(m_dir);
    size_t bytes = 0;
    int answer = 0;
    while (const dirent* d = ::readdir(m_dir)) {
        Entry e;
        e.name = d->d_name;
        e.hasAttributes =
            withAttributes && ::fstatat(::dirfd(m_dir), d->d_name, &e.attributes, AT_SYMLINK_NOFOLLOW) == 0;
        if (!e.hasAttributes) {
            e.attributes = {};
            e.attributes.st_ino = d->d_ino;
            e.attributes.st_mode = static_cast<mode_t>(DTTOIF(d->d_type));
        }
        bytes += wireBytes(e.name);
        if (bytes > answerBytes) {
            ++answer;
            bytes = wireBytes(e.name);
        }
        e.answer = answer;
        m_entries.push_back(std::move(e));
    }
}
