#include "demo/DemoBoard.h"

#include "board/ChangeStamp.h"
#include "board/UserFile.h"
#include "platform/FileText.h"

namespace DemoBoard {

namespace {

constexpr int Meeting = 1; // first custom mark, 会議
constexpr int Trip = 2;    // second custom mark, 出張, whose absent picture is missing on purpose

QString dateText(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

// `hours` from now, rounded up to the next half hour; empty when that is no longer today,
// so the member is still back "today" (by 23:59) rather than overdue at once.
QString laterToday(const QDateTime& now, int hours)
{
    QDateTime t = now.addSecs(hours * 3600);
    const QTime clock = t.time();
    int minutes = clock.hour() * 60 + clock.minute() + (clock.second() > 0 ? 1 : 0);
    minutes = (minutes + 29) / 30 * 30;
    if (t.date() != now.date() || minutes >= 24 * 60)
        return {};
    return QTime(minutes / 60, minutes % 60).toString(QStringLiteral("hh:mm"));
}

} // namespace

namespace {

Member present(const char* disk, const char* name, const char* furigana, const char* group, const char* innerLine,
               int host)
{
    Member m;
    m.diskName = QString::fromUtf8(disk);
    m.name = QString::fromUtf8(name);
    m.furigana = QString::fromUtf8(furigana);
    m.group = QString::fromUtf8(group);
    m.innerLine = QString::fromUtf8(innerLine);
    m.ip = QStringLiteral("192.168.10.%1").arg(host);
    return m;
}

Member away(Member m, Back back, const char* locate, const char* time = "", int mark = 0)
{
    m.back = back;
    m.locate = QString::fromUtf8(locate);
    m.time = QString::fromUtf8(time);
    m.statusIndex = mark;
    return m;
}

Member awayToday(Member m, const char* locate, int laterHours, int mark = 0)
{
    m = away(std::move(m), Back::Today, locate, "", mark);
    m.laterHours = laterHours;
    return m;
}

Member awayNoDate(Member m, const char* locate, const char* dateText)
{
    m = away(std::move(m), Back::NoDate, locate);
    m.noDateText = QString::fromUtf8(dateText);
    return m;
}

Member stopped(Member m)
{
    m.stopped = true;
    return m;
}

Member prefixed(Member m, const char* prefix)
{
    m.sortPrefix = QString::fromUtf8(prefix);
    return m;
}

Member contact(Member m, const char* phone)
{
    m.warningCall = QString::fromUtf8(phone);
    return m;
}

} // namespace

QList<Member> Members()
{
    using B = Back;
    // Names are spaced with an ideographic space, readings with a half-width one. 能 (94 5C)
    // and 表 (95 5C) carry a backslash as their trail byte.
    return {
        // 総務部
        contact(prefixed(present("YAMADA", "山田　太郎", "ﾔﾏﾀﾞ ﾀﾛｳ", "総務部", "内線 101", 11), "2"), "090-1234-5678"),
        present("SATO", "佐藤　花子", "ｻﾄｳ ﾊﾅｺ", "総務部", "内線 102", 12),
        stopped(present("NOTO", "能登　真一", "ﾉﾄ ｼﾝｲﾁ", "総務部", "内線 103", 13)),
        awayToday(present("TAKAHASHI", "高橋　美咲", "ﾀｶﾊｼ ﾐｻｷ", "総務部", "内線 104", 14), "銀行・郵便局", 1),
        present("WATANABE", "渡辺　直美", "ﾜﾀﾅﾍﾞ ﾅｵﾐ", "総務部", "内線 105（受付当番）", 15),
        awayNoDate(present("ITO", "伊藤　健", "ｲﾄｳ ｹﾝ", "総務部", "内線 106", 16), "育児休業", "復帰日未定"),
        // 営業部
        contact(prefixed(away(present("SUZUKI", "鈴木　一郎", "ｽｽﾞｷ ｲﾁﾛｳ", "営業部", "内線 201", 21), B::Tomorrow,
                              "大阪支社\r\n新製品説明会", "10:00"),
                         "1"),
                "080-2222-3333"),
        away(present("TANAKA", "田中　誠", "ﾀﾅｶ ﾏｺﾄ", "営業部", "内線 202", 22), B::Yesterday, "顧客訪問（丸の内）",
             "17:00"),
        awayToday(present("KOBAYASHI", "小林　さくら", "ｺﾊﾞﾔｼ ｻｸﾗ", "営業部", "内線 203", 23), "名古屋出張", 3, Trip),
        away(present("KATO", "加藤　大輔", "ｶﾄｳ ﾀﾞｲｽｹ", "営業部", "内線 204", 24), B::NextWeek,
             "福岡出張（九州営業所）", "09:00", Trip),
        stopped(present("YOSHIDA", "吉田　真由美", "ﾖｼﾀﾞ ﾏﾕﾐ", "営業部", "内線 205", 25)),
        away(present("YAMAMOTO", "山本　翔", "ﾔﾏﾓﾄ ｼｮｳ", "営業部", "内線 206", 26), B::DayAfter, "研修（本社）",
             "13:00"),
        // 開発部 (one file name in mixed case: names match without regard to case)
        prefixed(present("Nakamura", "中村　拓也", "ﾅｶﾑﾗ ﾀｸﾔ", "開発部", "内線 301", 31), "1"),
        awayToday(present("HAYASHI", "林　優子", "ﾊﾔｼ ﾕｳｺ", "開発部", "内線 302", 32), "第２会議室（設計レビュー）", 1,
                  Meeting),
        away(present("SHIMIZU", "清水　亮", "ｼﾐｽﾞ ﾘｮｳ", "開発部", "内線 303", 33), B::Tomorrow, "客先打合せ（横浜）",
             "13:00", Meeting),
        present("MORI", "森　あゆみ", "ﾓﾘ ｱﾕﾐ", "開発部", "内線 304", 34),
        away(present("IKEDA", "池田　隼人", "ｲｹﾀﾞ ﾊﾔﾄ", "開発部", "内線 305", 35), B::NextWeek, "夏季休暇"),
        stopped(present("HASHIMOTO", "橋本　恵", "ﾊｼﾓﾄ ﾒｸﾞﾐ", "開発部", "内線 306", 36)),
        // 製造部
        prefixed(present("ISHIKAWA", "石川　浩二", "ｲｼｶﾜ ｺｳｼﾞ", "製造部", "内線 401", 41), "1"),
        awayToday(present("OGAWA", "小川　由紀", "ｵｶﾞﾜ ﾕｷ", "製造部", "内線 402", 42), "第１工場　表彰式", 2),
        away(present("MAEDA", "前田　剛", "ﾏｴﾀﾞ ﾂﾖｼ", "製造部", "内線 403", 43), B::TwoDaysAgo, "通院"),
        contact(present("FUJITA", "藤田　智子", "ﾌｼﾞﾀ ﾄﾓｺ", "製造部", "内線 404", 44), "070-4444-5555"),
        away(present("OKADA", "岡田　健太郎", "ｵｶﾀﾞ ｹﾝﾀﾛｳ", "製造部", "内線 405", 45), B::Tomorrow,
             "外部研修（品質管理）", "17:30"),
        present("HASEGAWA", "長谷川　由美子", "ﾊｾｶﾞﾜ ﾕﾐｺ", "製造部", "内線 406", 46),
    };
}

TVurnaDataRec ToRecord(const Member& m, const QByteArray& shareDir, const QDateTime& now)
{
    const QDate today = now.date();
    TVurnaDataRec r;
    r.Running = !m.stopped;
    r.FileName = shareDir + Sjis(m.diskName.toUpper());
    r.Furigana = Sjis(m.furigana);
    r.Name = Sjis(m.name);
    r.Group = Sjis(m.group);
    r.InnerLine = Sjis(m.innerLine);
    r.WarningCall = Sjis(m.warningCall);
    r.IP = Sjis(m.ip);
    r.StatusIndex = m.back == Back::Present ? 0 : m.statusIndex;
    r.SortPrefix = Sjis(m.sortPrefix);
    if (m.back == Back::Present)
        return r;
    r.Locate = Sjis(m.locate);
    QString date, time = m.time;
    switch (m.back) {
    case Back::Present:
        break;
    case Back::Today:
        date = dateText(today);
        time = laterToday(now, m.laterHours);
        break;
    case Back::Tomorrow:
        date = dateText(today.addDays(1));
        break;
    case Back::DayAfter:
        date = dateText(today.addDays(2));
        break;
    case Back::NextWeek:
        date = dateText(today.addDays(7));
        break;
    case Back::Yesterday:
        date = dateText(today.addDays(-1));
        break;
    case Back::TwoDaysAgo:
        date = dateText(today.addDays(-2));
        break;
    case Back::NoDate:
        date = m.noDateText;
        break;
    }
    r.Date = Sjis(date);
    r.Time = Sjis(time);
    return r;
}

QString WriteMembers(const QByteArray& shareDir, const QDateTime& now)
{
    const QList<Member> members = Members();
    for (const Member& m : members) {
        const QByteArray path = shareDir + Sjis(m.diskName);
        if (!WriteFileText(path + ".vrn", BuildUserFileText(ToRecord(m, shareDir, now))))
            return QStringLiteral("cannot write the member file of %1").arg(m.diskName);
        if (m.stopped && !WriteFileText(path + ".off", QByteArray()))
            return QStringLiteral("cannot write the stop marker of %1").arg(m.diskName);
    }
    // As if every member had set their entry once, the demo user last.
    if (!WriteFileText(shareDir + ChangeStamp::fileName, ChangeStamp::build(int(members.size()), OwnMember)))
        return QStringLiteral("cannot write the change stamp");
    return {};
}

} // namespace DemoBoard
