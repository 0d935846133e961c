#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The DOS "hidden" attribute of files and folders on the shared directory. A sender hides a
// parcel folder while it fills it and shows it again when the last item is in; recipients
// leave hidden entries alone. Copies on Windows and on Linux share one file server. Windows
// keeps the attribute itself; on Linux it is read and set where Windows sees it:
//   - on a CIFS/SMB3 mount: the kernel client's pseudo attribute "user.cifs.dosattrib";
//   - elsewhere (the Samba server's own disk, a local test share): Samba's own extended
//     attribute "user.DOSATTRIB", so Samba exporting that disk agrees;
//   - where the file system keeps no user extended attributes: for folders only, a marker
//     file ".vurna-hidden" inside the folder, which other Linux copies understand.
// Links (symbolic links; on Windows every reparse point, junctions too) have no state of their
// own here: a link reads Unknown and is never set, so no caller deletes or hides something
// through a link.
namespace DosAttributes {

enum class Hidden { No, Yes, Unknown };

// Attribute bits as Windows and Samba number them.
inline constexpr quint32 readOnlyBit = 0x01;
inline constexpr quint32 hiddenBit = 0x02;
inline constexpr quint32 systemBit = 0x04;
inline constexpr quint32 directoryBit = 0x10;
inline constexpr quint32 archiveBit = 0x20;
inline constexpr quint32 normalBit = 0x80; // "no other bit"; never combined with another

// The name of the marker file that hides a folder where no extended attribute can be kept.
inline constexpr char markerName[] = ".vurna-hidden";

// The hidden state of a file or folder. Unknown when it cannot be told: the path is a link or
// missing, the attribute cannot be read or is malformed, or (on Linux) a file lies on a file
// system without user extended attributes.
Hidden IsHidden(const QString& realPath);

// Sets or clears the hidden attribute. Setting keeps the other attribute bits; clearing a
// folder leaves it "directory only" (0x10), as the Windows copies leave their parcel folders,
// and clearing a file keeps its other bits. False when it could not be set anywhere.
bool SetHidden(const QString& realPath, bool hidden);

// The attribute bits held in a "user.DOSATTRIB" value as Samba writes it: the old hex text
// ("0x22"), or that text (empty from version 4 on) and a NUL followed by the NDR-encoded
// xattr_DOSATTRIB of version 1 to 5. Nothing when the value is malformed.
std::optional<quint32> ParseSambaDosAttrib(const QByteArray& value);

// A "user.DOSATTRIB" value holding `attrib`. When `previous` is a value Samba wrote, its version
// and its other fields (creation time, sizes) are kept; otherwise version 3 with only the
// attribute marked valid, which every Samba from 4.0 on reads (and 3.x reads its hex text).
QByteArray FormatSambaDosAttrib(quint32 attrib, const QByteArray& previous = {});

} // namespace DosAttributes
