#pragma once

#include "platform/FileText.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// One open directory of the share, for reading many of its files in one go (a full board
// load). The directory is looked up once, not again for each of thousands of files, and the
// files' times come from the open files themselves.
class ShareDirectory
{
public:
    struct Entry
    {
        QByteArray name; // the name on disk, in CP932
        // The name as the file system spells it: its bytes on POSIX, UTF-8 on Windows.
        QByteArray nativeName;
        bool isDirectory = false;
        // False when some character of the name has no CP932 form and `name` holds '?' for it:
        // the program cannot reach the file again by that name.
        bool hasCp932Form = true;

        // The name as the file system spells it, as text.
        QString nativeFileName() const;
    };

    // `path` is an in-memory directory path (CP932, any letter case).
    explicit ShareDirectory(const QByteArray& path);
    ~ShareDirectory();
    ShareDirectory(const ShareDirectory&) = delete;
    ShareDirectory& operator=(const ShareDirectory&) = delete;

    bool isOpen() const;

    // Every entry but "." and "..", in the order the file system lists them.
    QList<Entry> entries() const;

    // The whole file, with its last-write time (UTC); retried like ReadFileText. Empty, with
    // an invalid time, when the file is gone or cannot be read.
    QByteArray readFile(const Entry& entry, QDateTime* lastWrite, const RetryPolicy& policy = {}) const;

private:
    // POSIX: the open directory, which files are opened relative to.
    int m_fd = -1;
    // Windows: the directory's real path, set when it is a directory.
    QString m_path;
};
