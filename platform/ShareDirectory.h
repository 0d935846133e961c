#pragma once

#include "platform/FileText.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// One open directory of the share, for reading many of its files in one go (a full board
// load). Files are opened relative to the directory, so the path is not walked again for
// each of thousands of files, and their times come from the open file itself.
class ShareDirectory
{
public:
    struct Entry
    {
        QByteArray name;  // the name on disk, in CP932
        QByteArray nativeName;  // the name as the file system spells it
        bool isDirectory = false;
        // False when some character of the name has no CP932 form and `name` holds '?' for it:
        // the program cannot reach the file again by that name.
        bool hasCp932Form = true;
    };

    // `path` is an in-memory directory path (CP932, any letter case).
    explicit ShareDirectory(const QByteArray& path);
    ~ShareDirectory();
    ShareDirectory(const ShareDirectory&) = delete;
    ShareDirectory& operator=(const ShareDirectory&) = delete;

    bool isOpen() const { return m_fd >= 0; }

    // Every entry but "." and "..", in the order the file system lists them.
    QList<Entry> entries() const;

    // The whole file, with its last-write time (local); retried like ReadFileText. Empty,
    // with an invalid time, when the file is gone or cannot be read.
    QByteArray readFile(const Entry& entry, QDateTime* lastWrite, const RetryPolicy& policy = {}) const;

private:
    int m_fd = -1;
};
