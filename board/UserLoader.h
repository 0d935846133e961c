#pragma once

#include "store/TVurnaDataRec.h"

#include <QDateTime>
#include <QHash>
#include <QString>

// Passed as the file name to load every member of a directory.
inline const QByteArray AllMembers = QByteArray(1, '\0');

// Member files a full load reads at once. A file server answers each request after a round
// trip, so overlapping them is what makes a large board load quickly; more than this gains
// little and crowds the server.
constexpr int FullLoadReadsInFlight = 16;

// What LoadUserFiles returns after a full load.
constexpr int AllMembersLoaded = 9999;

// The ordering key of a record: the sort prefix and the reading, or the reading alone.
QByteArray OrderingKey(const TVurnaDataRec& record, bool sortPriorityOn);

// Loads user status files into `members` (element 0 stays the placeholder).
// With AllMembers: every "*.vrn" of `directory` (which ends in a separator), in board order;
// returns AllMembersLoaded. With a member path (directory + base name, no extension): reloads
// that member in place, moving it towards the front when its key now sorts earlier, and
// returns the index it had; -1 when no member has that path.
// Throws EFileIOError when the directory cannot be read; the members stay as they were.
// A file that cannot be read is a member with empty fields; one removed since the listing is
// no member at all. A full load reads its files on other threads while the calling thread goes
// on handling events, and replaces `members` in one step when all are read.
int LoadUserFiles(const QByteArray& directory, TVurnaDataArray& members, const QByteArray& fileName,
                  bool sortPriorityOn);

// The member files of a board as its last full load read them. The minute's periodic reload
// compares the next listing with it and reads only what changed; a load of another directory
// starts afresh.
struct LoadedFiles
{
    struct File
    {
        QByteArray nativeName; // the spelling that was read
        qint64 size = -1;
        QDateTime lastWrite; // UTC; invalid when the file could not be read
        // Written long enough before it was listed that a later rewrite shows a new time: a
        // file server's time stamps may be as coarse as two seconds.
        bool settled = false;
        TVurnaDataRec record; // as read, the stop marker aside
    };
    QByteArray directory;
    // Where the folder was found: the next load opens it there without looking it up again.
    QString realDirectory;
    QHash<QByteArray, File> files; // by upper-cased base name
};

// A full load (LoadUserFiles with AllMembers) that keeps what it read in `loaded`.
int LoadAllMembers(const QByteArray& directory, TVurnaDataArray& members, bool sortPriorityOn, LoadedFiles& loaded);

// The board a full load would give, reading again only the member files that are new, whose
// size or time in the listing differ from `loaded`, or that were written within two seconds
// of being listed; the others keep their record from `loaded`. Stop markers and the members
// that left come from the listing. Updates `loaded`; throws EFileIOError as a full load does.
int ReloadChangedMembers(const QByteArray& directory, TVurnaDataArray& members, bool sortPriorityOn,
                         LoadedFiles& loaded);

// Moves members[p] to the front-most place its key allows among members[1 .. p-1]: after the
// last member whose key is not greater. Returns the new index.
int PlaceMember(TVurnaDataArray& members, int p, bool sortPriorityOn);

// A single reload in two halves: the reading, which may wait on the share and so runs on
// another thread, and the placing, which changes the board and runs where the board lives.
// Together they are LoadUserFiles with a member path.
struct MemberFiles
{
    // The status file was there and could be read; otherwise the member stays as it was.
    bool present = false;
    QByteArray text;
    QDateTime lastWrite;
    bool stopped = false;
};
// Reads the status file of the member at `path` (directory + base name, any letter case) and
// looks for its stop marker.
MemberFiles ReadMemberFiles(const QByteArray& path);
// Refills the member whose FileName is `path` upper-cased from `files` (fields the file lacks
// keep their values) and moves it towards the front when its key now sorts earlier. Returns
// the index it had; -1 when no member has that path.
int PlaceMemberFiles(TVurnaDataArray& members, const QByteArray& path, const MemberFiles& files, bool sortPriorityOn);
