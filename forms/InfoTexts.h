#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

// The texts that the detail window makes from members' records and from what the user types;
// plain functions so that their exact forms are tested apart from the window.
namespace InfoTexts {

// The window caption for the selected members: "山田さんを選択しています。" for one, and for
// several the first and last with the count, "山田さん ～ 鈴木さんを選択しています。(計:3人)".
QString SelectionCaption(const QString& firstName, const QString& lastName, int count);

// The header line with which every memo begins, and the empty line after it: the sender (or
// "ゲスト"), what is sent and when, e.g. "○山田より(伝言)     送信日時: 2024年 5月1日(水) 9時5分".
QString MemoHeader(const QString& senderName, bool parcel, const QDateTime& now);

// The return date and time as the detail panel shows them: "2024年 5月1日(水) 9時05分" when the
// record's date is a date; otherwise the stored texts as they stand (a status mark's name kept
// as the date, for instance).
QString ReturnText(const QByteArray& date, const QByteArray& time, const QDate& today);

// When an absence was set, from the status file's last write: "5月1日 9時5分 に不在になりました".
QString LastUpdateText(const QDateTime& fileTime);

// The short weekday name of a date: 日 月 火 水 木 金 土.
QString WeekdayName(const QDate& date);

// Why text typed for a member's status file cannot be stored, or nothing when it can: every
// character needs a CP932 form, and no line of a reason may end in '"', which would close the
// quoted value early and shift every later value of the file for every reader.
std::optional<QString> RefusalForReason(const QString& text);
// The same for memo text, which lands in memo files, where quotes are harmless.
std::optional<QString> RefusalForMemo(const QString& text);

} // namespace InfoTexts
