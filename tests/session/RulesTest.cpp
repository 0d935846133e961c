// The session's rules: caption, tray tip, filter choice, own-entry and shortcut-protection tests.

#include "session/GroupFilterChoice.h"
#include "session/MainCaption.h"
#include "session/MainState.h"
#include "session/ShortcutProtection.h"
#include "session/TrayTip.h"
#include "support/TestShare.h"

#include <gtest/gtest.h>

namespace {

struct CaptionCase
{
    QDate today;
    const char* name; // UTF-8; empty for a guest
    const char* caption;
};

class Caption : public ::testing::TestWithParam<CaptionCase>
{
};

TEST_P(Caption, ReadsAsTheBoardWritesIt)
{
    const CaptionCase& c = GetParam();
    const QByteArray name = *c.name ? cp932(QString::fromUtf8(c.name)) : QByteArray();
    EXPECT_EQ(MainCaptionText(c.today, name), QString::fromUtf8(c.caption));
}

INSTANTIATE_TEST_SUITE_P(
    Dates, Caption,
    ::testing::Values(
        CaptionCase{QDate(2024, 4, 1), "山田", "Vurnaboard　　　2024年 4月1日（月）　　　使用者： 山田さん"},
        CaptionCase{QDate(2024, 4, 1), "", "Vurnaboard　　　2024年 4月1日（月）　　　使用者： ゲストさん"},
        CaptionCase{QDate(2023, 12, 31), "ｽｽﾞｷ", "Vurnaboard　　　2023年 12月31日（日）　　　使用者： ｽｽﾞｷさん"},
        CaptionCase{QDate(2024, 3, 9), "表示", "Vurnaboard　　　2024年 3月9日（土）　　　使用者： 表示さん"}));

TEST(TrayTip, CutAtSixtyThreeCharacters)
{
    const QString sixtyThree = QString(60, QChar(u'伝')) + QStringLiteral("abc");
    EXPECT_EQ(TrayTipText(sixtyThree), sixtyThree);
    EXPECT_EQ(TrayTipText(sixtyThree + QStringLiteral("d")), sixtyThree);
    EXPECT_EQ(TrayTipText(QStringLiteral("Vurnaが起動処理中です。")), QStringLiteral("Vurnaが起動処理中です。"));
    // A character outside the BMP counts once and is never split.
    const QString wide = QString(62, QChar(u'a')) + QString::fromUtf8("𠮷𠮷");
    EXPECT_EQ(TrayTipText(wide), QString(62, QChar(u'a')) + QString::fromUtf8("𠮷"));
}

TEST(GroupChoice, ItemsComeInKindOrder)
{
    const QList<SiteCustomGroup> shared = {{"Z", "A,B"}, {"M", "C"}};
    const QList<QByteArray> items = GroupFilterChoice::GroupItems({"A", "B"}, shared);
    EXPECT_EQ(items, (QList<QByteArray>{"0A", "0B", '1' + cp932(QStringLiteral("カスタムグループ")), "2M", "2Z"}));
}

TEST(GroupChoice, TicksFollowTheStoredText)
{
    EXPECT_TRUE(GroupFilterChoice::IsGroupTicked("0SALES", ",DEV,SALES,"));
    EXPECT_FALSE(GroupFilterChoice::IsGroupTicked("0SALE", ",DEV,SALES,"));
    EXPECT_FALSE(GroupFilterChoice::IsGroupTicked("0DEV", ""));
    EXPECT_TRUE(GroupFilterChoice::IsStatusTicked(3, ",0,3,"));
    EXPECT_FALSE(GroupFilterChoice::IsStatusTicked(1, ",10,"));
    EXPECT_EQ(GroupFilterChoice::SelectStatuses(5, ",4,0,9,"), (QList<QByteArray>{",0,", ",4,"}));
}

TEST(GroupChoice, CustomGroupMembersNeverRunTogether)
{
    const QList<SiteCustomGroup> shared = {{"P", "C,D"}, {"Q", ",E,"}, {"P", "F"}};
    const QByteArray own = cp932(QStringLiteral("カスタムグループ"));
    const auto selection = GroupFilterChoice::SelectGroups({"0SALES", '1' + own, "2P", "2Q", "9X"}, ",A,B", shared);
    EXPECT_EQ(selection.Groups, QList<QByteArray>{"SALES"});
    EXPECT_EQ(selection.CustomGrpMember, QByteArray(",A,B,C,D,F,E,"));
    EXPECT_EQ(GroupFilterChoice::SelectGroups({"2P"}, "X", shared).CustomGrpMember, QByteArray("C,D,F"));
}

struct EntryCase
{
    QByteArray fileName;
    bool own;
};

class OwnEntry : public ::testing::TestWithParam<EntryCase>
{
};

TEST_P(OwnEntry, NeedsAFileNameThatIsNotTheDriveRoot)
{
    TVurnaDataRec own;
    own.FileName = GetParam().fileName;
    EXPECT_EQ(HasOwnEntry(own), GetParam().own) << own.FileName.constData();
}

INSTANTIATE_TEST_SUITE_P(Paths, OwnEntry,
                         ::testing::Values(EntryCase{"", false}, EntryCase{"   ", false}, EntryCase{"C:\\", false},
                                           EntryCase{" c:\\ ", false}, EntryCase{"/SRV/SHARE/", false},
                                           EntryCase{"/SRV/SHARE/YAMADA", true}, EntryCase{"C:\\YAMADA", true},
                                           EntryCase{sjis({0x83, 0x5C}), true}));

TEST(ShortcutProtection, ComparesFoldersWithoutCaseOrFinalSeparator)
{
    EXPECT_TRUE(IsRunFromShare("/srv/share", "/SRV/SHARE/"));
    EXPECT_TRUE(IsRunFromShare("\\\\SRV\\SHARE\\", "//srv/share"));
    EXPECT_FALSE(IsRunFromShare("/srv/share/bin", "/SRV/SHARE/"));
    EXPECT_FALSE(IsRunFromShare("/opt/vurna", ""));
    // ソ ends in the byte 5C: it is no separator.
    EXPECT_FALSE(IsRunFromShare("/A" + sjis({0x83, 0x5C}), "/A" + sjis({0x83}) + "/"));
}

} // namespace
