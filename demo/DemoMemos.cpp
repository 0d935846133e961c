#include "demo/DemoBoard.h"

#include "platform/FileText.h"
#include "platform/SharePath.h"

#include <QStringList>

namespace DemoBoard {

namespace {

struct Memo
{
    const char* sender;
    bool delivery; // the note that comes with a Vurna便 delivery
    int minutesAgo;
    QStringList body;
};

// The header line a sending window puts above every memo.
QString header(const Memo& memo, const QDateTime& now)
{
    static const char* const weekdays[] = {"月", "火", "水", "木", "金", "土", "日"};
    const QDateTime sent = now.addSecs(-60 * memo.minutesAgo);
    const QDate d = sent.date();
    const QTime t = sent.time();
    return QStringLiteral("○%1%2送信日時: %3年 %4月%5日(%6) %7時%8分")
        .arg(QString::fromUtf8(memo.sender),
             memo.delivery ? QStringLiteral("より(Vurna便) ") : QStringLiteral("より(伝言)     "))
        .arg(d.year())
        .arg(d.month())
        .arg(d.day())
        .arg(QString::fromUtf8(weekdays[d.dayOfWeek() - 1]))
        .arg(t.hour())
        .arg(t.minute());
}

// Entries newest first, each followed by two empty lines: the layout of an unread-memo file,
// and of the memo board once those memos were taken in.
QByteArray entries(const QList<Memo>& memos, const QDateTime& now)
{
    QByteArray text;
    for (const Memo& memo : memos) {
        QStringList lines{header(memo, now), QString()};
        lines << memo.body;
        text += Sjis(lines.join(QStringLiteral("\r\n"))) + "\r\n\r\n\r\n";
    }
    return text;
}

} // namespace

QString WriteMemos(const QByteArray& shareDir, const QDateTime& now)
{
    const QList<Memo> unread = {
        {"佐藤　花子",
         false,
         12,
         {"山田さん、午後の来客（３名）の会議室を第１会議室で押さえました。", "お茶の用意もお願いしてあります。"}},
        {"田中　誠", true, 95, {"見積書の控えを送りました。受信箱を確認してください。"}},
    };
    const QList<Memo> read = {
        {"鈴木　一郎", false, 60 * 26, {"明日は大阪支社です。急ぎの件は携帯へお願いします。", "　080-2222-3333"}},
        {"中村　拓也", false, 60 * 50, {"社内システムの停止予定：", "　今週土曜 9:00〜12:00（棚卸し出勤日）"}},
    };
    const QList<Memo> forSuzuki = {
        {"山田　太郎", false, 40, {"大阪の資料、共有フォルダに置きました。"}},
    };
    const QByteArray own = shareDir + OwnMember;
    if (!WriteFileText(own + ".mil", entries(unread, now)) || !WriteFileText(own + ".old", entries(read, now)) ||
        !WriteFileText(SharePath::join(shareDir, "SUZUKI.mil"), entries(forSuzuki, now)))
        return QStringLiteral("cannot write the memo files");
    return {};
}

} // namespace DemoBoard
