#pragma once

#include <QByteArray>

// The small file operations that the board needs, on in-memory (CP932, upper-cased) paths.
// Reading a whole directory goes through ShareDirectory.
namespace ShareFiles {

bool exists(const QByteArray& path);
bool isDirectory(const QByteArray& path);
bool remove(const QByteArray& path);

} // namespace ShareFiles
