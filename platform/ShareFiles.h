#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>

// Directory listing and the small file operations that the board needs, on in-memory
// (CP932, upper-cased) paths.
namespace ShareFiles {

struct Entry
{
    QByteArray name;      // the name on disk, in CP932
    QString nativePath;   // the real path on disk, for opening without another lookup
    QDateTime lastWrite;  // local time
    bool isDirectory = false;
};

// Every entry of `directory` (files of every attribute and folders, without "." and ".."),
// in the order the file system lists them. `ok` is false when the directory cannot be read.
// (A full board load reads its directory through ShareDirectory, which skips the per-entry
// look-ups made here.)
QList<Entry> list(const QByteArray& directory, bool* ok = nullptr);

// Whether `name` ends in `extension` (".vrn"), ignoring ASCII letter case.
bool hasExtension(const QByteArray& name, const QByteArray& extension);

bool exists(const QByteArray& path);
bool isDirectory(const QByteArray& path);
bool remove(const QByteArray& path);

// Creates `path` as an empty file (or empties it).
bool createEmpty(const QByteArray& path);

} // namespace ShareFiles
