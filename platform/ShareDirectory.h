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

        // Size and last-write time (UTC) as the listing gave them, or as lookUp() found them:
        // a Windows listing carries them, a POSIX one does not. -1 and invalid until known.
        qint64 size = -1;
        QDateTime lastWrite;

        // The name as the file system spells it, as text.
        QString nativeFileName() const;
    };

    // `path` is an in-memory directory path (CP932, any letter case). `knownReal`, where an
    // earlier look found it (realPath()), is tried first: on a file server, finding the folder
    // from its path again costs round trips.
    explicit ShareDirectory(const QByteArray& path, const QString& knownReal = {});
    ~ShareDirectory();
    ShareDirectory(const ShareDirectory&) = delete;
    ShareDirectory& operator=(const ShareDirectory&) = delete;

    bool isOpen() const;
    // The folder's real path as opened; empty when it is not open.
    QString realPath() const { return m_path; }

    // Every entry but "." and "..", in the order the file system lists them.
    QList<Entry> entries() const;

    // Fills in the entry's size and last-write time where the listing left them out, with the
    // time a read of the file gives. False when the entry is gone or cannot be asked about. A
    // file server's client mostly answers from what its listing brought along.
    bool lookUp(Entry& entry) const;

    // The whole file, with its last-write time (UTC); retried like ReadFileText. Empty, with
    // an invalid time, when the file is gone or cannot be read; `gone`, when given, tells the
    // first (removed since the listing) from the second.
    QByteArray readFile(const Entry& entry, QDateTime* lastWrite, const RetryPolicy& policy = {},
                        bool* gone = nullptr) const;

private:
    // POSIX: the open directory, which files are opened relative to.
    int m_fd = -1;
    // The directory's real path, set when it is one (on Windows with a trailing separator).
    QString m_path;
};
