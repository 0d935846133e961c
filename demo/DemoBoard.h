#pragma once

#include "store/TVurnaDataRec.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// A demo board for trying the program and for screenshots: a shared directory with members
// in every state, the site configuration, memos and a change stamp, plus a settings profile
// that opens the board as one of its members. Everything is dated relative to one moment, so
// the board looks the same (today, tomorrow, overdue ...) whenever it is made.
//
//   <folder>/share/                      the board
//   <folder>/config/Quaxosoft/Vurna.conf the settings profile (XDG_CONFIG_HOME=<folder>/config)
namespace DemoBoard {

// When a member is back.
enum class Back {
    Present, // no absence
    Today,   // today, `laterHours` from now (no time when that is tomorrow already)
    Tomorrow,
    DayAfter,   // the day after tomorrow
    NextWeek,   // today + 7 days
    Yesterday,  // already overdue
    TwoDaysAgo, // overdue
    NoDate,     // absent without a return date: `noDateText` stands in the date
};

struct Member
{
    QString diskName; // base name of the member's files on disk
    QString name;
    QString furigana; // half-width katakana
    QString group;
    QString innerLine;
    QString locate; // may hold CR LF
    QString warningCall;
    QString sortPrefix;
    QString ip;
    bool stopped = false; // has a stop marker
    Back back = Back::Present;
    int laterHours = 0;  // Back::Today
    QString time;        // fixed return time ("hh:nn") for the other kinds
    QString noDateText;  // Back::NoDate
    int statusIndex = 0; // 0 built-in mark, 1 会議, 2 出張
};

// The member whose profile the demo opens.
inline constexpr char OwnMember[] = "YAMADA";

QList<Member> Members();

// The member's record as of `now`; FileName is the in-memory path in `shareDir`.
TVurnaDataRec ToRecord(const Member& member, const QByteArray& shareDir, const QDateTime& now);

struct Options
{
    QString folder; // made absolute by the caller
    QDateTime now;  // the moment the board is dated to
    bool smallFont = false;
};

QString ShareFolder(const QString& folder); // ends in '/'
QString ProfileFile(const QString& folder);

// Writes the whole demo into `options.folder`, which must not hold a board yet. Returns an
// empty text on success, else what went wrong.
QString Write(const Options& options);

// Parts of Write, each writing into the share (in-memory path, ends in the separator).
QString WriteSite(const QByteArray& shareDir, const QDateTime& now);
QString WriteMembers(const QByteArray& shareDir, const QDateTime& now);
QString WriteMemos(const QByteArray& shareDir, const QDateTime& now);
QString WriteProfile(const Options& options, const QByteArray& shareDir);

// Program text as CP932; the demo's texts are all representable, so a failure is a fault here.
QByteArray Sjis(const QString& text);

} // namespace DemoBoard
