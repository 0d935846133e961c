#pragma once

#include "store/FilterState.h"
#include "store/TInterval.h"

#include <QByteArray>
#include <QList>

#include <utility>

// One entry of a board's status table: the picture file (empty for the built-in marks) and
// the name shown for it. The index into the table is the display status code.
struct StatusEntry
{
    QByteArray IconFile;
    QByteArray Name;

    bool operator==(const StatusEntry&) const = default;
};

// Where the window takes the picture of one custom status entry from. The core only knows
// whether the file is there and its bytes; the window decodes `Picture` and uses its built-in picture
// `FallbackPicture` (3 for returning-today kinds, 4 for plain absence) when that fails, so
// that picture and status indexes stay aligned.
struct StatusIcon
{
    QByteArray IconPath; // board directory + icon file (in-memory path); empty when missing
    int FallbackPicture = 4;
    QByteArray Picture; // the file's bytes, read with the site configuration
    static constexpr qsizetype MaxBytes = 1024 * 1024;

    bool operator==(const StatusIcon&) const = default;
};

// A group declared by the site administrator (SHARECUSTOMGROUP).
struct SiteCustomGroup
{
    QByteArray Name;
    QByteArray Members; // member list as the group file gives it

    bool operator==(const SiteCustomGroup&) const = default;
};

// Number of status entries built into the program (stopped, running, overdue, back today,
// absent); custom marks follow them in pairs.
constexpr int BuiltinStatusCount = 5;

// The five built-in entries ("停止中", "起動中", "不在(予定超過)", "不在(本日戻り)", "不在").
QList<StatusEntry> BuiltinStatusTable();
// "08:00" .. "23:00", "00:00" .. "07:00".
QList<QByteArray> DefaultTimeTable();

// The settings of one board, read from its vurna.ini, plus the member's filter state for it.
// Text is CP932 bytes. Directory paths end in the separator.
struct ParmRec
{
    // Kept across configuration loads.
    QByteArray BoardName;
    QByteArray ShareDir;
    bool SlowLine = false;
    bool AutoSmall = true;       // own board only, from the local settings
    bool AutoDengonOpen = false; // own board only, from the local settings
    FilterState Filter;

    // Reset by every configuration load.
    QByteArray NewVersion = "0.00";
    bool AutoUpdate = false;
    bool SilentUpdate = false;
    QList<QByteArray> TimeTable = DefaultTimeTable();
    QList<StatusEntry> StatusTable = BuiltinStatusTable();
    QList<StatusIcon> StatusIcons; // one per StatusTable entry from index 5 on
    qint32 UdpMode = 1;            // 0 off, 1 IPDIRECT, 3 broadcast
    qint32 UdpPort = 1990;
    TInterval Interval = DefaultInterval();
    QList<QByteArray> WorkDays; // "yyyy/mm/dd" followed directly by a name
    QList<QByteArray> Holidays; // same form
    QByteArray Weekend;         // WEEKEND= as written, e.g. "土日" or "土日祝"
    QList<SiteCustomGroup> ShareCustomGroups;
    bool ShortcutProtect = false;
    qint32 SortPriority = 0; // 0 not used, else 1..10

    static TInterval DefaultInterval()
    {
        TInterval i;
        i.CheckMsg = 5;
        i.ReloadLastCommit = 15;
        i.ReloadAllFile = 180;
        return i;
    }

    // Puts every configuration field back to its default; board name, directory, slow
    // line, the local flags and the filter state stay.
    void ResetConfig()
    {
        ParmRec fresh;
        fresh.BoardName = BoardName;
        fresh.ShareDir = ShareDir;
        fresh.SlowLine = SlowLine;
        fresh.AutoSmall = AutoSmall;
        fresh.AutoDengonOpen = AutoDengonOpen;
        fresh.Filter = Filter;
        *this = std::move(fresh);
    }

    // Status marks a user can choose: mark i is status table entry 2i + 4.
    int MarkCount() const { return int((StatusTable.size() - 3) / 2); }

    bool operator==(const ParmRec&) const = default;
};

// The boards known to the program. Element 0 is the own board; the others come from the
// own board's SHAREDIR lines, in file order.
using ParmRecList = QList<ParmRec>;
