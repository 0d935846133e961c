// Runs the demo board generator (the program the run command uses) and loads what it wrote
// with the board's own readers, at a pinned moment: Monday 1 April 2024, 10:00.
#include "board/StatusText.h"
#include "board/UserLoader.h"
#include "platform/Cp932.h"
#include "platform/FileText.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"
#include "store/FilterFile.h"
#include "store/LocalSettings.h"
#include "store/SiteConfig.h"
#include "support/TestShare.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QDateTime pinned(QDate(2024, 4, 1), QTime(10, 0));

// The generator sits beside the test programs in the build tree.
QString generatorPath()
{
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../demo/make_demo_board"));
}

int runGenerator(const QString& folder, const QString& now, QString* output = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(generatorPath(), {folder, QStringLiteral("--now"), now});
    if (!p.waitForFinished(60000))
        return -1;
    if (output)
        *output = QString::fromLocal8Bit(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

QByteArray inMemory(const QString& realDir)
{
    return SjisText::upperCase(SharePath::fromNative(realDir));
}

class DemoBoard : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(QFileInfo::exists(generatorPath())) << generatorPath().toStdString();
        s_dir = std::make_unique<QTemporaryDir>();
        QString output;
        ASSERT_EQ(runGenerator(s_dir->path(), QStringLiteral("2024-04-01T10:00"), &output), 0) << output.toStdString();
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    static QString folder() { return s_dir->path(); }
    static QString shareReal() { return s_dir->path() + QStringLiteral("/share/"); }
    static QByteArray share() { return inMemory(shareReal()); }

    static TVurnaDataArray load()
    {
        TVurnaDataArray members;
        EXPECT_EQ(LoadUserFiles(share(), members, AllMembers, true), AllMembersLoaded);
        return members;
    }

    static std::unique_ptr<QTemporaryDir> s_dir;
};
std::unique_ptr<QTemporaryDir> DemoBoard::s_dir;

struct Expected
{
    const char* key;
    int code;
    const char* text; // the return text drawn on the board
};

class DemoMemberStates : public DemoBoard, public ::testing::WithParamInterface<Expected>
{
};

// Every state the board can show, under the built-in mark and both custom marks.
INSTANTIATE_TEST_SUITE_P(AtTenOnMonday, DemoMemberStates,
                         ::testing::Values(Expected{"YAMADA", 1, ""}, Expected{"SATO", 1, ""}, Expected{"NOTO", 0, ""},
                                           Expected{"TAKAHASHI", 3, "本日 11:00"}, Expected{"WATANABE", 1, ""},
                                           Expected{"ITO", 4, "復帰日未定"}, Expected{"SUZUKI", 4, "明日 10:00"},
                                           Expected{"TANAKA", 2, "03/31日 17:00"},
                                           Expected{"KOBAYASHI", 7, "本日 13:00"}, Expected{"KATO", 8, "04/08月 09:00"},
                                           Expected{"YOSHIDA", 0, ""}, Expected{"YAMAMOTO", 4, "明後日 13:00"},
                                           Expected{"NAKAMURA", 1, ""}, Expected{"HAYASHI", 5, "本日 11:00"},
                                           Expected{"SHIMIZU", 6, "明日 13:00"}, Expected{"MORI", 1, ""},
                                           Expected{"IKEDA", 4, "04/08月 "}, Expected{"HASHIMOTO", 0, ""},
                                           Expected{"ISHIKAWA", 1, ""}, Expected{"OGAWA", 3, "本日 12:00"},
                                           Expected{"MAEDA", 2, "03/30土 "}, Expected{"FUJITA", 1, ""},
                                           Expected{"OKADA", 4, "明日 17:30"}, Expected{"HASEGAWA", 1, ""}),
                         [](const ::testing::TestParamInfo<Expected>& info) { return std::string(info.param.key); });

TEST_P(DemoMemberStates, LoadsWithTheIntendedDisplayStatus)
{
    const TVurnaDataArray members = load();
    const QByteArray path = share() + GetParam().key;
    const auto found =
        std::find_if(members.begin() + 1, members.end(), [&](const TVurnaDataRec& r) { return r.FileName == path; });
    ASSERT_NE(found, members.end()) << GetParam().key;
    QByteArray text;
    int code = -1;
    GetStatusText(*found, pinned, text, code);
    EXPECT_EQ(code, GetParam().code);
    EXPECT_EQ(text, cp932(QString::fromUtf8(GetParam().text)));
}

TEST_F(DemoBoard, TwentyFourMembersInFourGroupsWithTheirOddities)
{
    const TVurnaDataArray members = load();
    ASSERT_EQ(members.size(), 25);
    QSet<QByteArray> groups;
    for (int i = 1; i < members.size(); ++i)
        groups.insert(members.at(i).Group);
    EXPECT_EQ(groups, (QSet<QByteArray>{cp932(QStringLiteral("総務部")), cp932(QStringLiteral("営業部")),
                                        cp932(QStringLiteral("開発部")), cp932(QStringLiteral("製造部"))}));
    // Priority codes come first: the three "1" members, then 山田 with "2".
    EXPECT_EQ(members.at(1).SortPrefix, "1");
    EXPECT_EQ(members.at(4).FileName, share() + "YAMADA");
    const auto byKey = [&](const char* key) {
        for (const TVurnaDataRec& r : members)
            if (r.FileName == share() + key)
                return r;
        ADD_FAILURE() << key;
        return TVurnaDataRec{};
    };
    EXPECT_EQ(byKey("SUZUKI").Locate, cp932(QStringLiteral("大阪支社\r\n新製品説明会")));
    const TVurnaDataRec innerOnly = byKey("WATANABE");
    EXPECT_TRUE(innerOnly.Locate.isEmpty());
    EXPECT_FALSE(innerOnly.InnerLine.isEmpty());
    // A backslash trail byte in a name survives the round trip: 能 is 94 5C.
    EXPECT_TRUE(byKey("NOTO").Name.startsWith(sjis({0x94, 0x5C})));
}

TEST_F(DemoBoard, FilesAreCp932WithCrLfOnly)
{
    for (const QString& name : QDir(shareReal()).entryList(QDir::Files)) {
        if (name.endsWith(QLatin1String(".png")) || name.endsWith(QLatin1String(".off")))
            continue;
        const QByteArray bytes = ReadFileText(inMemory(shareReal()) + SharePath::fromNative(name));
        ASSERT_FALSE(bytes.isEmpty()) << name.toStdString();
        EXPECT_TRUE(Cp932::isValid(bytes)) << name.toStdString();
        EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << name.toStdString();
        EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n")) << name.toStdString();
    }
    EXPECT_EQ(QFileInfo(shareReal() + QStringLiteral("NOTO.off")).size(), 0);
}

TEST_F(DemoBoard, SiteConfigurationDeclaresMarksTimesCalendarGroupAndPriority)
{
    ParmRecList boards(1);
    boards[0].ShareDir = share();
    ASSERT_TRUE(SiteConfig::Load(share(), boards, 0, true, {}));
    const ParmRec& site = boards.at(0);
    ASSERT_EQ(site.StatusTable.size(), 9);
    EXPECT_EQ(site.StatusTable.at(5).Name, cp932(QStringLiteral("会議(本日戻り)")));
    EXPECT_EQ(site.StatusTable.at(8).Name, cp932(QStringLiteral("出張")));
    ASSERT_EQ(site.StatusIcons.size(), 4);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(QFileInfo::exists(SharePath::resolve(site.StatusIcons.at(i).IconPath))) << i;
    // The absent picture of 出張 is missing on purpose: the built-in absent picture stands in.
    EXPECT_TRUE(site.StatusIcons.at(3).IconPath.isEmpty());
    EXPECT_EQ(site.StatusIcons.at(3).FallbackPicture, 4);
    EXPECT_EQ(site.TimeTable.size(), 14);
    EXPECT_EQ(site.TimeTable.constFirst(), "08:30");
    EXPECT_EQ(site.Weekend, cp932(QStringLiteral("土日")));
    EXPECT_EQ(site.Holidays.size(), 11);
    EXPECT_EQ(site.WorkDays, QList<QByteArray>{cp932(QStringLiteral("2024/04/06棚卸し出勤日"))});
    ASSERT_EQ(site.ShareCustomGroups.size(), 1);
    EXPECT_EQ(site.ShareCustomGroups.at(0).Name, cp932(QStringLiteral("新製品 プロジェクト")));
    EXPECT_EQ(site.ShareCustomGroups.at(0).Members, "NAKAMURA,HAYASHI,SHIMIZU,SUZUKI,OGAWA");
    EXPECT_EQ(site.SortPriority, 1);
    EXPECT_EQ(site.UdpMode, 0);
}

TEST_F(DemoBoard, OwnMemoBoardHasUnreadAndReadMemos)
{
    const QByteArray own = share() + "YAMADA";
    const QByteArray unread = ReadFileText(own + ".mil");
    const QByteArray header =
        cp932(QStringLiteral("○佐藤　花子より(伝言)     送信日時: 2024年 4月1日(月) 9時48分\r\n\r\n"));
    EXPECT_TRUE(unread.startsWith(header)) << unread.left(80).toHex().constData();
    // Entries, newest first, each followed by two empty lines.
    EXPECT_TRUE(unread.endsWith("\r\n\r\n\r\n"));
    EXPECT_TRUE(unread.contains(
        cp932(QStringLiteral("\r\n\r\n\r\n○田中　誠より(Vurna便) 送信日時: 2024年 4月1日(月) 8時25分"))));
    EXPECT_TRUE(ReadFileText(own + ".old").startsWith(cp932(QStringLiteral("○鈴木　一郎より(伝言)     "))));
    EXPECT_TRUE(QFileInfo::exists(shareReal() + QStringLiteral("SUZUKI.mil")));
}

TEST_F(DemoBoard, ProfileOpensTheBoardShownAsTheDemoUser)
{
    // The program reads NativeFormat; on Linux that is this ini file under XDG_CONFIG_HOME.
    const QString previous = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder() + QStringLiteral("/config"));
    LocalSettings settings;
    ParmRecList boards;
    settings.ReadLocalSettings(boards);
    TVurnaDataRec own;
    settings.LoadOwnIdentity(own, {});
    // Read as stored: a missing value must fail here, not fall back to the default.
    const QVariant smallFont =
        QSettings(folder() + QStringLiteral("/config/Quaxosoft/Vurna.conf"), QSettings::IniFormat)
            .value(QStringLiteral("SmallFont"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, previous);

    ASSERT_EQ(boards.size(), 1);
    EXPECT_EQ(boards.at(0).ShareDir, share());
    EXPECT_FALSE(boards.at(0).AutoSmall);
    EXPECT_EQ(smallFont, QVariant(QStringLiteral("0")));
    EXPECT_EQ(own.FileName, share() + "YAMADA");
    EXPECT_EQ(own.Name, cp932(QStringLiteral("山田　太郎")));
    EXPECT_EQ(own.Furigana, cp932(QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ")));
    EXPECT_EQ(own.SortPrefix, "2");
    // The own custom group the program will find in the filter file.
    ASSERT_TRUE(FilterFile::Read(own.FileName + FilterFile::Extension, boards));
    EXPECT_EQ(boards.at(0).Filter.CustomGroup, ",SATO,SUZUKI,HAYASHI,FUJITA,");
}

TEST_F(DemoBoard, RefusesToWriteOverAnExistingBoard)
{
    const QByteArray before = QFileInfo(shareReal() + QStringLiteral("YAMADA.vrn")).lastModified().toString().toUtf8();
    QString output;
    EXPECT_EQ(runGenerator(folder(), QStringLiteral("2024-05-01T10:00"), &output), 1);
    EXPECT_TRUE(output.contains(QLatin1String("remove it first"))) << output.toStdString();
    TVurnaDataArray members = load();
    for (int i = 1; i < members.size(); ++i)
        EXPECT_FALSE(members.at(i).Date.startsWith("2024/05")) << members.at(i).FileName.constData();
    EXPECT_EQ(QFileInfo(shareReal() + QStringLiteral("YAMADA.vrn")).lastModified().toString().toUtf8(), before);
}

// Late in the evening a member who is back "in an hour" would be back tomorrow: the entry
// keeps today's date without a time, so it reads as back today until 23:59, not overdue.
TEST(DemoBoardLate, BackTodayWithoutATimeNearMidnight)
{
    QTemporaryDir dir;
    ASSERT_EQ(runGenerator(dir.path(), QStringLiteral("2024-04-01T23:20")), 0);
    TVurnaDataArray members;
    const QByteArray share = inMemory(dir.path() + QStringLiteral("/share/"));
    ASSERT_EQ(LoadUserFiles(share, members, AllMembers, true), AllMembersLoaded);
    for (const char* key : {"TAKAHASHI", "HAYASHI", "KOBAYASHI", "OGAWA"}) {
        const auto r = std::find_if(members.begin() + 1, members.end(),
                                    [&](const TVurnaDataRec& m) { return m.FileName == share + key; });
        ASSERT_NE(r, members.end()) << key;
        EXPECT_EQ(r->Date, "2024/04/01") << key;
        EXPECT_TRUE(r->Time.isEmpty()) << key;
        QByteArray text;
        int code = -1;
        GetStatusText(*r, QDateTime(QDate(2024, 4, 1), QTime(23, 20)), text, code);
        EXPECT_EQ(code % 2, 1) << key;
        EXPECT_GE(code, 3) << key;
    }
}

} // namespace
