#pragma once

#include <QByteArray>
#include <QString>

// Paths in memory are CP932 bytes with names upper-cased, as the board's Windows heritage
// has them ("/SRV/SHARE/YAMADA" for the file /srv/share/Yamada.vrn, "\\SRV\SHARE\YAMADA" on
// Windows). Copies on Windows servers compare names without regard to letter case; on POSIX
// file systems this module finds the real name of each component, where Windows needs none.
// File names on disk are UTF-8 on POSIX and UTF-16 on Windows.
namespace SharePath {

// Separator of in-memory paths on this platform.
#ifdef _WIN32
constexpr char nativeSeparator = '\\';
#else
constexpr char nativeSeparator = '/';
#endif

// Whether `path` ends in a separator: '/' or a '\\' that is not the trail byte of a
// double-byte character (the last byte of ソ, 83 5C, is no separator).
bool endsWithSeparator(const QByteArray& path);

// `dir` ending in a separator: the platform's is appended unless it ends in one already.
// Empty stays empty: no directory is not the root.
QByteArray withSeparator(const QByteArray& dir);

// The path of `name` inside the directory `dir`, which may be given with or without its final
// separator. The one way a directory and a name are put together.
QByteArray join(const QByteArray& dir, const QByteArray& name);

// The real path on disk for an in-memory path, with '/' separators as Qt takes them. On POSIX
// each component is matched as written first and otherwise without regard to ASCII letter
// case; components that exist nowhere (a file about to be created) keep the spelling given.
// Windows ignores letter case itself and takes the path as given: on a drive (C:\), a server
// (\\server\share\) or relative. Backslashes and slashes both count as separators.
// `found`, when given, says whether the path exists: on POSIX the look-up has told that already.
QString resolve(const QByteArray& path, bool* found = nullptr);

// An on-disk name or path in the in-memory form (CP932, the platform's separators).
// Characters without a CP932 form become '?'.
QByteArray fromNative(const QString& path);
// The same for a name as the file system returns it (UTF-8 bytes). `hasCp932Form`, when
// given, says whether every character of the name has a CP932 form: a name that needed '?'
// cannot be held as itself, and copies on Windows cannot name that file at all.
QByteArray fromNativeName(const char* name, bool* hasCp932Form = nullptr);

// Tells the look-up the real spelling of a share's folder, as the user typed it or a folder
// chooser gave it. A path held upper-cased whose leading components name this folder without
// regard to letter case takes that spelling without listing any folder above it: a server may
// refuse that listing (an SMB host's level, a home folder of mode 0711). Nothing is read here;
// a spelling the disk does not have (typed in another case) is looked for when first needed,
// listing what can be listed, and the one found is kept. Windows needs none of this.
void rememberFolder(const QByteArray& folder);

// Forgets every cached directory listing and remembered folder (tests, and after renames made
// by this process).
void clearCache();

} // namespace SharePath
