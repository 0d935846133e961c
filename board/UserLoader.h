#pragma once

#include "store/TVurnaDataRec.h"

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
// A full load reads its files on other threads while the calling thread goes on handling
// events, and replaces `members` in one step when all are read.
int LoadUserFiles(const QByteArray& directory, TVurnaDataArray& members, const QByteArray& fileName,
                  bool sortPriorityOn);

// Moves members[p] to the front-most place its key allows among members[1 .. p-1]: after the
// last member whose key is not greater. Returns the new index.
int PlaceMember(TVurnaDataArray& members, int p, bool sortPriorityOn);
