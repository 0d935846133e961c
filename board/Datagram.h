#pragma once

#include <QByteArray>

// The text of the notification datagrams that copies exchange: CP932 bytes, a run of
// key-value pairs where every key is the byte 01 followed by a fixed word, and a value runs
// up to the next 01 or the end. The first key names the kind.
namespace Datagram {

inline constexpr char KeyOn[] = "\001Vrn3_On";
inline constexpr char KeyIP[] = "\001Vrn3_IP";
inline constexpr char KeyOff[] = "\001Vrn3_Off";
inline constexpr char KeyDat[] = "\001Vrn3_Dat";
inline constexpr char KeyDate[] = "\001Vrn3_Date";
inline constexpr char KeyTime[] = "\001Vrn3_Time";
inline constexpr char KeyIcon[] = "\001Vrn3_Icon";
inline constexpr char KeyLocate[] = "\001Vrn3_Locate";
inline constexpr char KeyMsg[] = "\001Vrn3_Msg";
inline constexpr char KeyRel[] = "\001Vrn3_Rel";
inline constexpr char KeyShr[] = "\001Vrn3_Shr";
inline constexpr char KeyEnd[] = "\001Vrn3_End";
inline constexpr char KeyEod[] = "\001Vrn3_Eod";

// The largest payload one IPv4 UDP datagram can carry.
inline constexpr qsizetype MaxDatagramBytes = 65507;

enum class Kind { Unknown, Started, Stopped, Memo, Status, Reload, Share, End };

// The word the diagnostics use for a kind ("status", "started", ..., "unknown").
const char* KindName(Kind kind);

// The kind, decided by how the text starts. The started key is compared on its 8 characters
// and every other key on 9, in a fixed order, so "\001Vrn3_On" never matches "\001Vrn3_Off".
Kind KindOf(const QByteArray& text);

// The value of `key`: the text after its first occurrence up to the next key or the end;
// empty when the key does not occur. Keys that begin with another key ("\001Vrn3_Dat" and
// "\001Vrn3_Date") are told apart by position only: the first occurrence counts.
QByteArray Value(const QByteArray& text, const QByteArray& key);

// The member path as it travels: every '/' becomes '\', so copies on Windows can match it.
QByteArray WirePath(const QByteArray& path);
// The other way, for a directory named in a datagram: every '\' separator becomes '/'
// (a '\' that is the trail byte of a double-byte character stays).
QByteArray NativePath(const QByteArray& path);

// The texts that SendNotice is given; it appends the closing key itself.
QByteArray StatusText(const QByteArray& path, const QByteArray& date, const QByteArray& time, qint32 statusIndex,
                      const QByteArray& locate);
QByteArray StartedText(const QByteArray& path, const QByteArray& ownAddress);
QByteArray StoppedText(const QByteArray& path);
// The memo datagram goes to one address and is complete, closing key included.
QByteArray MemoDatagram(const QByteArray& path);

// The directory a share-moved datagram names: everything after the key and one further
// character, up to a following key or the end, trimmed of blanks and control characters.
QByteArray ShareValue(const QByteArray& text);

// a.b.c.d gives a.b.c.255; a text without '.' is returned unchanged.
QByteArray BroadcastAddress(const QByteArray& address);

} // namespace Datagram
