#pragma once

#include "store/TVurnaDataRec.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The preferences dialog's rules apart from its widgets: what a file name or a field may hold,
// how fields are tidied when left, and how a typed directory becomes the form kept in memory.
namespace SettingRules {

// The characters a user status file name may not hold, in the order the message lists them.
inline constexpr char ForbiddenFileNameCharacters[] = "\\/:,;*?\"<>|";

// Drops blanks and control characters (code points <= 0x20) at both ends: the bytes <= 0x20
// of the stored text.
QString Trimmed(const QString& text);

// Why `typed` cannot name a user status file; nullopt when it can. The name is judged trimmed,
// and an empty name is allowed (the user stays a guest).
std::optional<QString> FileNameRefusal(const QString& typed);

// True for the device names Windows reserves (CON, PRN, AUX, NUL, COM1-9, LPT1-9), in any
// letter case, also with an extension: copies on Windows could not open such a file.
bool IsReservedDeviceName(const QString& name);

// Why `text` cannot be kept in the field `caption`: it holds characters without a CP932 form.
std::optional<QString> UnmappableRefusal(const QString& caption, const QString& text);

// The reading trimmed and in half-width katakana; the group trimmed and in full-width upper
// case. Where a mapping gives nothing the trimmed text stays.
QString FuriganaOnExit(const QString& text);
QString GroupOnExit(const QString& text);

// The distinct trimmed groups of members 1.., sorted without regard to ASCII letter case.
QList<QByteArray> GroupList(const TVurnaDataArray& members);

// A typed directory in the in-memory form: trimmed, ending in the separator, upper-cased.
// Empty for empty text or text without a CP932 form.
QByteArray ShareDirFromText(const QString& text);

bool IsExistingDirectory(const QByteArray& dir);

// Index of the member whose file is `fileName` (compared without regard to letter case); -1
// when none.
int FindMember(const TVurnaDataArray& members, const QByteArray& fileName);

// The member's copy runs (no stop marker) on another PC than the own one, as far as their
// last announced addresses tell.
bool SeemsRunningElsewhere(const TVurnaDataRec& member, const QByteArray& ownIp);

// The question asked before taking over the file of a member who seems to run elsewhere.
QString TakeoverQuestion(const TVurnaDataRec& member);

} // namespace SettingRules
