#include "MainFixture.h"

#include "board/BoardModel.h"
#include "board/UserFile.h"
#include "platform/SharePath.h"

#include <QDir>
#include <QLabel>

namespace {

// The share vanishes while the program runs (the file server restarts, a mapping is lost) and
// comes back: the board stays, the fault is in the status bar, nothing lands outside the share,
// and the next reload after its return is whole again.
class ShareAway : public MainFixture
{
protected:
    ShareAway()
    {
        addMember(QStringLiteral("yamada"),
                  userFile(QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("山田"), QStringLiteral("営業"), address));
        addMember(QStringLiteral("suzuki"),
                  userFile(QStringLiteral("ｽｽﾞｷ"), QStringLiteral("鈴木"), QStringLiteral("総務"), "127.0.0.9"));
        // Every hour (the shortest the site may ask for) the whole board is reloaded.
        share.writeBytes(QStringLiteral("vurna.ini"), "INTERVAL RELOADALLFILE=60 RELOADLASTCOMMIT=5\r\n");
        writeSettings(QStringLiteral("yamada"), QStringLiteral("山田"));
    }

    QString shareFolder() const { return QDir::cleanPath(share.realPath()); }
    QString awayFolder() const { return shareFolder() + QStringLiteral("-away"); }
    QStringList besideTheShare() const
    {
        return QFileInfo(shareFolder()).dir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    QString status() const { return window->findChild<QLabel*>(QStringLiteral("stsMainText"))->text(); }
    int members() { return state().Model.MemberHigh(); }
    void reloadPeriod()
    {
        for (int minute = 0; minute < 60; ++minute)
            state().Scheduler.MinuteTick();
    }
};

TEST_F(ShareAway, BoardStaysFaultIsReportedNothingIsWrittenElsewhereAndTheReturnIsReloaded)
{
    ASSERT_TRUE(start());
    const QStringList before = besideTheShare();
    ASSERT_TRUE(QDir().rename(shareFolder(), awayFolder()));
    const QStringList away = besideTheShare();

    reloadPeriod();
    action(QStringLiteral("popTrayHuzaiLunch"))->trigger();
    settle();
    EXPECT_TRUE(status().contains(QStringLiteral("山田 の行き先を保存できませんでした"))) << status().toStdString();
    EXPECT_TRUE(state().Own.Locate.isEmpty()) << "not shown as set when it was not stored";
    reloadPeriod();

    EXPECT_TRUE(boxes.shown().isEmpty()) << "a box a minute would pile up: "
                                         << boxes.shown().front().text.toStdString();
    EXPECT_TRUE(status().startsWith(QStringLiteral("【障害】"))) << status().toStdString();
    EXPECT_EQ(members(), 2) << "the board is kept";
    EXPECT_EQ(besideTheShare(), away) << "nothing written outside the share";

    ASSERT_TRUE(QDir().rename(awayFolder(), shareFolder()));
    reloadPeriod();
    EXPECT_EQ(besideTheShare(), before);
    EXPECT_EQ(members(), 2);
    EXPECT_FALSE(status().startsWith(QStringLiteral("【障害】"))) << "recovered: " << status().toStdString();
    TVurnaDataRec yamada;
    ParseUserFile(readShareFile(QStringLiteral("yamada.vrn")), yamada);
    EXPECT_TRUE(yamada.Locate.isEmpty()) << "the absence set while away never reached the file";
}

} // namespace
