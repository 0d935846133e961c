#include "demo/DemoBoard.h"

#include "platform/Cp932.h"
#include "platform/FileText.h"
#include "platform/SharePath.h"
#include "store/FilterFile.h"

#include <QFile>
#include <QStringList>

namespace DemoBoard {

namespace {

// Custom marks: the pictures the demo copies into the share. The absent picture of 出張 is
// left out on purpose, so the board shows the built-in absent picture in its place.
struct IconCopy
{
    const char* resource;
    const char* shareName;
};
const IconCopy icons[] = {
    {":/demo/meeting_today.png", "kaigi_y.png"},
    {":/demo/meeting_away.png", "kaigi_r.png"},
    {":/demo/trip_today.png", "shutcho_y.png"},
};

// Holidays that fall on the same date every year.
struct FixedHoliday
{
    int month, day;
    const char* name;
};
const FixedHoliday holidays[] = {
    {1, 1, "元日"},       {2, 11, "建国記念の日"}, {2, 23, "天皇誕生日"}, {4, 29, "昭和の日"}, {5, 3, "憲法記念日"},
    {5, 4, "みどりの日"}, {5, 5, "こどもの日"},    {8, 11, "山の日"},     {11, 3, "文化の日"}, {11, 23, "勤労感謝の日"},
};

QString dateText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

QStringList configLines(const QDateTime& now)
{
    const QDate today = now.date();
    QStringList lines = {
        QStringLiteral("' Vurnaboard デモ掲示板の初期設定ファイル（%1 作成）").arg(now.toString("yyyy/MM/dd hh:mm")),
        QStringLiteral("' デモは一台で動かすので、通知の電文は送らない"),
        QStringLiteral("UDPMESSAGE SEND=NO"),
        QStringLiteral("INTERVAL RELOADALLFILE=60 RELOADLASTCOMMIT=5 DENGONCHECK=1"),
        QStringLiteral("' 独自の状態マーク：会議は両方の絵、出張は本日戻りの絵だけを置いてある"),
        QStringLiteral("CUSTOMICON YELLOWICON=kaigi_y.png REDICON=kaigi_r.png NAME=会議"),
        QStringLiteral("CUSTOMICON YELLOWICON=shutcho_y.png REDICON=shutcho_r.png NAME=出張"),
        QStringLiteral("' 戻り時刻の選択肢"),
    };
    for (const char* time : {"08:30", "09:00", "09:30", "10:00", "11:00", "12:00", "13:00", "14:00", "15:00", "16:00",
                             "17:00", "17:30", "18:00", "19:00"})
        lines << QStringLiteral("TIMETABLE=%1").arg(QLatin1String(time));
    lines << QStringLiteral("WEEKEND=土日");
    for (const FixedHoliday& h : holidays)
        lines << QStringLiteral("HOLIDAY=%1,%2")
                     .arg(dateText(QDate(today.year(), h.month, h.day)), QString::fromUtf8(h.name));
    lines << QStringLiteral("HOLIDAY=%1,創立記念日").arg(dateText(today.addDays(10)));
    // The coming Saturday is a working day this time.
    const int toSaturday = (Qt::Saturday - today.dayOfWeek() + 7) % 7;
    const QDate saturday = today.addDays(toSaturday == 0 ? 7 : toSaturday);
    lines << QStringLiteral("WORKDAY=%1,棚卸し出勤日").arg(dateText(saturday));
    lines << QStringLiteral("SHARECUSTOMGROUP FILE=newproduct.grp NAME=\"新製品 プロジェクト\"");
    lines << QStringLiteral("' 管理者の意図した順序（優先コード１桁）");
    lines << QStringLiteral("SORTPRIORITY=USE LENGTH=1");
    lines << QStringLiteral("SHORTCUTPROTECT=YES");
    return lines;
}

} // namespace

QByteArray Sjis(const QString& text)
{
    const Cp932::Encoded encoded = Cp932::fromUnicode(text);
    if (!encoded.ok)
        qFatal("demo text without a CP932 form: %s", qPrintable(encoded.unmappable));
    return encoded.bytes;
}

QString WriteSite(const QByteArray& shareDir, const QDateTime& now)
{
    if (!WriteFileText(SharePath::join(shareDir, "vurna.ini"),
                       Sjis(configLines(now).join(QStringLiteral("\r\n")) + "\r\n")))
        return QStringLiteral("cannot write vurna.ini");
    for (const IconCopy& icon : icons) {
        QFile picture(QString::fromLatin1(icon.resource));
        if (!picture.open(QIODevice::ReadOnly))
            return QStringLiteral("picture %1 is not built in").arg(QLatin1String(icon.resource));
        if (!WriteFileText(shareDir + icon.shareName, picture.readAll()))
            return QStringLiteral("cannot write %1").arg(QLatin1String(icon.shareName));
    }
    const QByteArray group = QByteArray(FilterFile::ShareGroupHeader) + "\r\nNAKAMURA,HAYASHI,SHIMIZU,SUZUKI,OGAWA\r\n";
    if (!WriteFileText(SharePath::join(shareDir, "newproduct.grp"), group))
        return QStringLiteral("cannot write the group file");

    // The demo user's own custom group, as the custom group editor would have left it.
    ParmRecList boards(1);
    boards[0].ShareDir = shareDir;
    boards[0].Filter.CustomGroup = ",SATO,SUZUKI,HAYASHI,FUJITA,";
    if (!FilterFile::Write(shareDir + OwnMember + FilterFile::Extension, boards))
        return QStringLiteral("cannot write the filter file");
    return {};
}

} // namespace DemoBoard
