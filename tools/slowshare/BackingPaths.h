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

    // The name as compared when case is ignored: ASCII letters and the full-width Latin letters
    // (U+FF41-FF5A in UTF-8) upper-cased; every other byte kept.
    static std::string foldedName(std::string_view name);

private:
    // The entry of `dir` whose name equals `name` ignoring case; empty when none does.
    static std::string findFolded(const std::string& dir, std::string_view name);

    std::string m_root;
    bool m_ignoreCase;
};
