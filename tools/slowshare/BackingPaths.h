#pragma once

#include <string>
#include <string_view>

// Maps a path inside the mount ("/dir/name", as FUSE hands it over) to the path in the backing
// folder. With letter case ignored, each component is matched as written first and otherwise
// against the entries of its directory without regard to case, so the share answers lookups as a
// Windows file server does: "/YAMADA.vrn" reaches "Yamada.VRN". A component that matches nothing
// keeps its spelling, so a new file is created as the caller wrote its name, and creating or
// renaming onto a name that exists in another case reaches the existing entry.
class BackingPaths
{
public:
    BackingPaths(std::string root, bool ignoreCase);

    std::string resolve(const char* path) const;
    bool ignoresCase() const { return m_ignoreCase; }

    // A file removed or replaced while open is kept by libfuse under a ".fuse_hidden" name until
    // its last close. Such names go to an attic, a folder beside the backing one on the same
    // disk: a Samba server keeps such a file where no listing shows it, and whoever looks at the
    // backing folder meanwhile (a test checking what a run left behind) must not find it there.
    // False when no attic can be made (the parent is not writable, or is another disk); the
    // files then stay in the backing folder.
    bool makeAttic();
    // Removes the attic and whatever is still in it.
    void removeAttic();

    // The name as compared when case is ignored: ASCII letters and the full-width Latin letters
    // (U+FF41-FF5A in UTF-8) upper-cased; every other byte kept.
    static std::string foldedName(std::string_view name);

private:
    // The entry of `dir` whose name equals `name` ignoring case; empty when none does.
    static std::string findFolded(const std::string& dir, std::string_view name);

    std::string m_root;
    bool m_ignoreCase;
    std::string m_attic;
};
