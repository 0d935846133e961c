#include "board/UserLoader.h"
#include "board/EFileIOError.h"
#include "platform/ShareDirectory.h"
#include "support/BoardFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

QList<QByteArray> names(const TVurnaDataArray& members)
{
    QList<QByteArray> out;
    for (int i = 1; i < members.size(); ++i)
        out.append(members.at(i).Name);
    return out;
}

TEST(LoadUserFiles, EmptyShareHoldsOnlyThePlaceholder)
{
    TestShare share;
    TVurnaDataArray members{TVurnaDataRec{}, TVurnaDataRec{}};
    members[1].FileName = "STALE";
    EXPECT_EQ(LoadUserFiles(share.dataSource(), members, AllMembers, false), AllMembersLoaded);
    ASSERT_EQ(members.size(), 1);
    EXPECT_TRUE(members[0].FileName.isEmpty());
}

TEST(LoadUserFiles, MixedCaseNamesLoadUpperCasedWithTheirStopMarkers)
{
    TestShare share(QStringLiteral("Office/Board"));
    share.writeBytes(QStringLiteral("Yamada.vrn"), memberFile(QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("山田")));
    share.writeBytes(QStringLiteral("sato.VRN"), memberFile(QStringLiteral("ｻﾄｳ"), QStringLiteral("佐藤")));
    share.writeBytes(QStringLiteral("SATO.off"), "");
    share.writeBytes(QStringLiteral("ソ表.vrn"), memberFile(QStringLiteral("ｿﾋｮｳ"), QStringLiteral("ソ表")));
    share.writeBytes(QStringLiteral("timestmp.dat"), "3\r\nSATO\r\n");
    share.writeBytes(QStringLiteral("Yamada.vrn.tmp1"), "not a member");
    QDir().mkpath(share.realPath() + QStringLiteral("folder.vrn"));
    QDir().mkpath(share.realPath() + QStringLiteral("YAMADA.off")); // a folder is no stop marker

    TVurnaDataArray members;
    ASSERT_EQ(LoadUserFiles(share.dataSource(), members, AllMembers, false), AllMembersLoaded);
    ASSERT_EQ(members.size(), 4);
    // ｻ (BB) < ｿ (BF) < ﾔ (D4)
    EXPECT_EQ(names(members), (QList<QByteArray>{cp932(QStringLiteral("佐藤")), cp932(QStringLiteral("ソ表")),
                                                 cp932(QStringLiteral("山田"))}));
    EXPECT_EQ(members[1].FileName, share.dataSource() + "SATO");
    EXPECT_EQ(members[2].FileName, share.dataSource() + sjis({0x83, 0x5C, 0x95, 0x5C}));
    EXPECT_EQ(members[3].FileName, share.dataSource() + "YAMADA");
    EXPECT_FALSE(members[1].Running);
    EXPECT_TRUE(members[2].Running);
    EXPECT_TRUE(members[3].Running);
    EXPECT_TRUE(members[3].FileTime.isValid());
    EXPECT_EQ(members[3].FileTime.toLocalTime(),
              QFileInfo(share.realPath() + QStringLiteral("Yamada.vrn")).lastModified());
}

QStringList* boardWarnings = nullptr;

void keepBoardWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && context.category && QByteArray(context.category) == "vurna.board")
        boardWarnings->append(message);
}

TEST(LoadUserFiles, NamesWithoutACp932FormStayOffTheBoardWithOneWarning)
{
    TestShare share;
    share.writeBytes(QStringLiteral("Yamada.vrn"), memberFile(QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("山田")));
    // Extension kanji and the wave dash a Linux input method types both have a CP932 form.
    share.writeBytes(QStringLiteral("髙橋〜.vrn"), memberFile(QStringLiteral("ﾀｶﾊｼ"), QStringLiteral("髙橋")));
    // Held with '?' for what they lack, these would pass for this member and stop it.
    // Windows file systems take no '?' in a name: there the case cannot arise.
    QFile questionMarks(share.realPath() + QStringLiteral("??.vrn"));
    const bool hasQuestionMarks =
        questionMarks.open(QIODevice::WriteOnly) &&
        questionMarks.write(memberFile(QStringLiteral("ﾊﾃﾅ"), QStringLiteral("Question"))) > 0;
    questionMarks.close();
    share.writeBytes(QStringLiteral("한국.vrn"), memberFile(QStringLiteral("ｶﾝ"), QStringLiteral("Hangul")));
    share.writeBytes(QStringLiteral("한국.off"), "");
    share.writeBytes(QStringLiteral("😀.vrn"), memberFile(QStringLiteral("ｴ"), QStringLiteral("Emoji")));

    QStringList warnings;
    boardWarnings = &warnings;
    const QtMessageHandler previous = qInstallMessageHandler(keepBoardWarnings);
    TVurnaDataArray members;
    LoadUserFiles(share.dataSource(), members, AllMembers, false);
    qInstallMessageHandler(previous);

    // ﾀ (C0) < ﾊ (CA) < ﾔ (D4)
    QList<QByteArray> expected{cp932(QStringLiteral("髙橋")), cp932(QStringLiteral("山田"))};
    if (hasQuestionMarks)
        expected.insert(1, "Question");
    EXPECT_EQ(names(members), expected);
    ASSERT_EQ(members.size(), expected.size() + 1);
    if (hasQuestionMarks) {
        EXPECT_TRUE(members[2].Running);
    }
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].contains(QStringLiteral(" 2 "))) << warnings[0].toStdString();
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("한국.vrn"))) << warnings[0].toStdString();
    EXPECT_TRUE(warnings[0].contains(QStringLiteral("😀.vrn"))) << warnings[0].toStdString();
}

TEST(LoadUserFiles, EqualKeysKeepTheDirectoryListingOrder)
{
    TestShare share;
    for (int i = 0; i < 12; ++i)
        share.writeBytes(QStringLiteral("m%1.vrn").arg(i),
                         memberFile(QStringLiteral("ｵﾅｼﾞ"), QStringLiteral("N%1").arg(i)));
    share.writeBytes(QStringLiteral("first.vrn"), memberFile(QStringLiteral("ｱ"), QStringLiteral("A")));

    QList<QByteArray> listed;
    for (const ShareDirectory::Entry& e : ShareDirectory(share.dataSource()).entries()) {
        if (e.name.startsWith('m'))
            listed.append("N" + e.name.mid(1, e.name.indexOf('.') - 1));
    }
    TVurnaDataArray members;
    LoadUserFiles(share.dataSource(), members, AllMembers, false);
    ASSERT_EQ(members.size(), 14);
    EXPECT_EQ(members[1].Name, "A");
    EXPECT_EQ(names(members).mid(1), listed);
}

TEST(LoadUserFiles, SortPriorityPutsThePrefixFirst)
{
    TestShare share;
    share.writeBytes(QStringLiteral("a.vrn"),
                     memberFile(QStringLiteral("ｱ"), QStringLiteral("A"), QStringLiteral("g"), QStringLiteral("2")));
    share.writeBytes(QStringLiteral("b.vrn"),
                     memberFile(QStringLiteral("ｲ"), QStringLiteral("B"), QStringLiteral("g"), QStringLiteral("1")));
    share.writeBytes(QStringLiteral("c.vrn"),
                     memberFile(QStringLiteral("ｳ"), QStringLiteral("C"), QStringLiteral("g")));
    TVurnaDataArray members;
    LoadUserFiles(share.dataSource(), members, AllMembers, true);
    // Prefix and reading compare as one key: "1ｲ" < "2ｱ" < "ｳ" (digits before half-width kana).
    EXPECT_EQ(names(members), (QList<QByteArray>{"B", "A", "C"}));
    LoadUserFiles(share.dataSource(), members, AllMembers, false);
    EXPECT_EQ(names(members), (QList<QByteArray>{"A", "B", "C"}));
}

struct ReloadCase
{
    const char* label;
    QString newFurigana;
    QList<QByteArray> order;
    int returned;
};
class SingleReload : public ::testing::TestWithParam<ReloadCase>
{
};

TEST_P(SingleReload, MovesOnlyTowardsTheFront)
{
    TestShare share;
    share.writeBytes(QStringLiteral("a.vrn"), memberFile(QStringLiteral("ｱ"), QStringLiteral("A")));
    share.writeBytes(QStringLiteral("c.vrn"), memberFile(QStringLiteral("ｳ"), QStringLiteral("C")));
    share.writeBytes(QStringLiteral("e.vrn"), memberFile(QStringLiteral("ｵ"), QStringLiteral("E")));
    TVurnaDataArray members;
    LoadUserFiles(share.dataSource(), members, AllMembers, false);
    ASSERT_EQ(names(members), (QList<QByteArray>{"A", "C", "E"}));

    share.writeBytes(QStringLiteral("c.vrn"), memberFile(GetParam().newFurigana, QStringLiteral("C")));
    EXPECT_EQ(LoadUserFiles(share.dataSource().toLower(), members, share.dataSource().toLower() + "c", false),
              GetParam().returned);
    EXPECT_EQ(names(members), GetParam().order) << GetParam().label;
}

INSTANTIATE_TEST_SUITE_P(
    Table, SingleReload,
    ::testing::Values(ReloadCase{"key grew past E: stays", QStringLiteral("ﾜ"), {"A", "C", "E"}, 2},
                      ReloadCase{"key shrank below A: moves to the front", QStringLiteral(" "), {"C", "A", "E"}, 2},
                      ReloadCase{"equal to A: goes after A", QStringLiteral("ｱ"), {"A", "C", "E"}, 2}));

TEST(LoadUserFiles, SingleReloadOfAnUnknownOrDeletedMember)
{
    TestShare share;
    share.writeBytes(QStringLiteral("a.vrn"), memberFile(QStringLiteral("ｱ"), QStringLiteral("A")));
    TVurnaDataArray members;
    LoadUserFiles(share.dataSource(), members, AllMembers, false);
    share.writeBytes(QStringLiteral("new.vrn"), memberFile(QStringLiteral("ｲ"), QStringLiteral("NEW")));
    EXPECT_EQ(LoadUserFiles(share.dataSource(), members, share.dataSource() + "NEW", false), -1);
    EXPECT_EQ(members.size(), 2);

    QFile::remove(share.realPath() + QStringLiteral("a.vrn"));
    EXPECT_EQ(LoadUserFiles(share.dataSource(), members, share.dataSource() + "A", false), 1);
    EXPECT_EQ(members[1].Name, "A");
}

TEST(LoadUserFiles, SingleReloadPicksUpTheStopMarkerAndKeepsMissingFields)
{
    TestShare share;
    share.writeBytes(QStringLiteral("a.vrn"), memberFile(QStringLiteral("ｱ"), QStringLiteral("A")));
    TVurnaDataArray members;
    LoadUserFiles(share.dataSource(), members, AllMembers, false);
    ASSERT_TRUE(members[1].Running);
    share.writeBytes(QStringLiteral("a.vrn"), userFileText({"X", "Renamed"}));
    share.writeBytes(QStringLiteral("A.OFF"), "");
    LoadUserFiles(share.dataSource(), members, share.dataSource() + "A", false);
    EXPECT_EQ(members[1].Name, "Renamed");
    EXPECT_EQ(members[1].Group, cp932(QStringLiteral("営業"))); // not in the new text: kept
    EXPECT_FALSE(members[1].Running);
}

TEST(LoadUserFiles, UnreadableShareRaisesAndKeepsTheBoard)
{
    TestShare share;
    share.writeBytes(QStringLiteral("a.vrn"), memberFile(QStringLiteral("ｱ"), QStringLiteral("A")));
    TVurnaDataArray members;
    LoadUserFiles(share.dataSource(), members, AllMembers, false);
    const QByteArray gone = share.dataSource() + "MISSING/";
    try {
        LoadUserFiles(gone, members, AllMembers, false);
        FAIL() << "no error raised";
    } catch (const EFileIOError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("次のユーザーファイルのロード中に問題が発生しました。(")));
        EXPECT_TRUE(e.message().endsWith(QStringLiteral("MISSING/)")));
    }
    EXPECT_EQ(members.size(), 2);
}

} // namespace
