#pragma once

#include <QByteArray>

// A member list is a comma-separated list of member keys (the file name of a member's user
// status file without directory and extension). Keys with or without outer commas all mean
// the same set; these helpers turn any spelling into the one a filter compares against.
namespace MemberList {

// Trimmed, with a comma in front and at the end; "," and ",," (and blanks) give empty.
QByteArray Normalise(const QByteArray& list);

// Whether `key` is one of the list's keys, compared exactly.
bool Contains(const QByteArray& list, const QByteArray& key);

// `text` without any commas at its start or end.
QByteArray StripOuterCommas(const QByteArray& text);

} // namespace MemberList
