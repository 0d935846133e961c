#pragma once

#include <QByteArray>

// The absence that is entered for a user who ends the program while present (when they ask
// for it): kept beside their status file as FileName + ".def".
struct TVurnaDefaultValue
{
    QByteArray ReturnTime = "09:00";
    qint32 StatusMark = 0;
    QByteArray Locate = DefaultLocate();

    // "帰宅" in CP932.
    static QByteArray DefaultLocate() { return QByteArray("\x8B\x41\x91\xEE"); }
};

namespace DefaultValueFile {

constexpr char Extension[] = ".def";

// Three values, each between double quotes, CR LF between them and none after the last. The
// destination keeps its own line breaks, so it may span lines. Nothing is written for a path
// without a file name (a user who has not chosen one).
bool WriteDefaultValue(const QByteArray& path, const TVurnaDefaultValue& value);

// What a missing or unreadable file, or a value not read, leaves: "09:00", 0, "帰宅". A
// line that opens no quoted value swallows itself and every line after it, so the values
// not yet read keep their defaults.
TVurnaDefaultValue ReadDefaultValue(const QByteArray& path);
// The reading of a file's text, apart from the file.
TVurnaDefaultValue ParseDefaultValue(const QByteArray& text);

} // namespace DefaultValueFile
