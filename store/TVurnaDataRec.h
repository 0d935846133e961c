#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>

// One board member. A value: every holder (the board model, the grid's cells, a dialog, the
// datagram handler) keeps its own copy. Text fields are CP932 bytes exactly as the user
// status file carries them.
struct TVurnaDataRec
{
    bool Running = false; // the member's stop marker does not exist
    QByteArray FileName;  // path of the user status file without extension, upper-cased
    QByteArray Furigana;  // reading, half-width katakana; the sort key
    QByteArray Name;
    QByteArray Group;         // normalised on load; "未設定" when empty
    QByteArray InnerLine;     // extension number or note
    QByteArray Locate;        // destination or reason; may hold CR LF
    QByteArray Date;          // empty: present; "yyyy/mm/dd": absent until then; other: absent, no date
    QByteArray Time;          // "hh:nn" or empty
    QByteArray WarningCall;   // emergency contact
    QByteArray IP;            // dotted decimal, as last announced
    qint32 StatusIndex = 0;   // 0 built-in absence mark, 1.. the site's custom marks
    qint32 DefaultOnExit = 0; // 1: write the default absence on exit while present
    QByteArray SortPrefix;    // "1".."9" or empty
    QDateTime FileTime;       // last-write time of the status file when loaded (UTC; show as local time)

    bool operator==(const TVurnaDataRec&) const = default;
};

// Element 0 is an empty placeholder that is never shown; members are elements 1 .. High.
using TVurnaDataArray = QList<TVurnaDataRec>;
