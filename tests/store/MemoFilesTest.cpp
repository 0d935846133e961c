#include "store/MemoFiles.h"
#include "store/TVurnaDataRec.h"
#include "support/TestShare.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

MemoFiles::Policy quickPolicy()
{
    MemoFiles::Policy policy;
    policy.files.delayMs = 1;
    policy.lock.maxWaitMs = 2000;
    return policy;
}

// "○山田より(伝言)     " as the sending window writes it.
QByteArray header(const QString& sender)
{
    return cp932(QStringLiteral("○") + sender + QStringLiteral("より(伝言)     送信日時: 2024年 4月1日(月) 9時5分"));
}

struct SplitCase
{
    const char* name;
    QByteArray text;
    QList<QByteArray> lines;
};

class SplitLines : public ::testing::TestWithParam<SplitCase>
{
};

TEST_P(SplitLines, AsTheMemoViewHoldsThem)
{
    const SplitCase& c = GetParam();
    EXPECT_EQ(MemoFiles::splitLines(c.text), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    MemoFiles, SplitLines,
    ::testing::Values(
        SplitCase{"Empty", "", {}}, SplitCase{"OneLineWithBreak", "a\r\n", {"a"}},
        SplitCase{"OneLineWithoutBreak", "a", {"a"}}, SplitCase{"EntryWithSeparator", "a\r\n\r\n\r\n", {"a", "", ""}},
        SplitCase{"BareLfAndCr", "a\nb\rc", {"a", "b", "c"}},
        // 表 (95 5C) and ソ (83 5C) end in the byte of "\": they stay whole.
        SplitCase{"TrailBytes", sjis({0x95, 0x5C, 0x0D, 0x0A, 0x83, 0x5C}), {sjis({0x95, 0x5C}), sjis({0x83, 0x5C})}},
        // A stray lead byte before a line break keeps the break (a
        // rewrite would otherwise turn CR LF into CR CR LF).
        SplitCase{"LoneLeadByteBeforeCrLf", sjis({0x61, 0x83, 0x0D, 0x0A, 0x62}), {sjis({0x61, 0x83}), "b"}},
        SplitCase{"LoneLeadByteBeforeLf", sjis({0x0A, 0xF3}), {"", sjis({0xF3})}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MemoFiles, FirstMemoCreatesTheUnreadFile)
{
    TestShare share;
    const QByteArray p = share.dataSource() + "YAMADA";
    EXPECT_FALSE(MemoFiles::HasUnreadMemos(p));
    ASSERT_TRUE(MemoFiles::AddMemo(p, cp932(QStringLiteral("  こんにちは\r\n")), quickPolicy()));
    EXPECT_TRUE(MemoFiles::HasUnreadMemos(p));
    // Trimmed, then two empty lines: 82 B1 82 F1 82 C9 82 BF 82 CD.
    EXPECT_EQ(share.readBytes(QStringLiteral("YAMADA.mil")),
              sjis({0x82, 0xB1, 0x82, 0xF1, 0x82, 0xC9, 0x82, 0xBF, 0x82, 0xCD, 0x0D, 0x0A, 0x0D, 0x0A, 0x0D, 0x0A}));
    EXPECT_FALSE(share.exists(QStringLiteral("YAMADA.mil.lock")));
}

TEST(MemoFiles, NewestMemoStandsOnTop)
{
    TestShare share;
    const QByteArray p = share.dataSource() + "YAMADA";
    const QByteArray a = header(QStringLiteral("佐藤")) + "\r\n\r\nA";
    const QByteArray b = header(QStringLiteral("鈴木")) + "\r\n\r\nB";
    ASSERT_TRUE(MemoFiles::AddMemo(p, a, quickPolicy()));
    ASSERT_TRUE(MemoFiles::AddMemo(p, b, quickPolicy()));
    EXPECT_EQ(share.readBytes(QStringLiteral("YAMADA.mil")), b + "\r\n\r\n\r\n" + a + "\r\n\r\n\r\n");
}

TEST(MemoFiles, AddsToTheUnreadFileWhateverItsCase)
{
    TestShare share;
    share.writeBytes(QStringLiteral("yamada.mil"), "old\r\n\r\n\r\n");
    ASSERT_TRUE(MemoFiles::AddMemo(share.dataSource() + "YAMADA", "new", quickPolicy()));
    EXPECT_EQ(share.readBytes(QStringLiteral("yamada.mil")), QByteArray("new\r\n\r\n\r\nold\r\n\r\n\r\n"));
}

TEST(MemoFiles, EmptyMemoIsStoredLikeAnyOther)
{
    TestShare share;
    ASSERT_TRUE(MemoFiles::AddMemo(share.dataSource() + "YAMADA", " \r\n", quickPolicy()));
    EXPECT_EQ(share.readBytes(QStringLiteral("YAMADA.mil")), QByteArray("\r\n\r\n\r\n"));
}

TEST(MemoFiles, UnreadableUnreadFileIsNeverOverwritten)
{
    TestShare share;
    // A folder where the file should be: it exists but cannot be read.
    QDir().mkpath(share.realPath() + QStringLiteral("YAMADA.mil/keep"));
    EXPECT_FALSE(MemoFiles::AddMemo(share.dataSource() + "YAMADA", "lost?", quickPolicy()));
    EXPECT_TRUE(QDir(share.realPath() + QStringLiteral("YAMADA.mil/keep")).exists());
}

TEST(MemoFiles, TakeInMovesUnreadMemosOnTopOfTheReadOnes)
{
    TestShare share;
    const QByteArray p = share.dataSource() + "YAMADA";
    const QByteArray unread = "B\r\n\r\n\r\n" + header(QStringLiteral("佐藤")) + "\r\n\r\nA\r\n\r\n\r\n";
    const QByteArray read = header(QStringLiteral("鈴木")) + "\r\nold\r\n";
    share.writeBytes(QStringLiteral("YAMADA.mil"), unread);
    share.writeBytes(QStringLiteral("YAMADA.old"), read);

    const MemoFiles::TakeIn takeIn = MemoFiles::TakeInOwnMemos(p, quickPolicy());
    EXPECT_TRUE(takeIn.board.hadUnread);
    EXPECT_TRUE(takeIn.movedToRead);
    EXPECT_EQ(takeIn.board.unread, unread);
    EXPECT_EQ(takeIn.board.read, read);
    EXPECT_FALSE(share.exists(QStringLiteral("YAMADA.mil")));
    EXPECT_FALSE(MemoFiles::HasUnreadMemos(p));
    EXPECT_EQ(share.readBytes(QStringLiteral("YAMADA.old")), unread + read);
    EXPECT_EQ(takeIn.readText, unread + read);

    // Nothing new: the board is shown and nothing is rewritten.
    const MemoFiles::TakeIn again = MemoFiles::TakeInOwnMemos(p, quickPolicy());
    EXPECT_FALSE(again.board.hadUnread);
    EXPECT_FALSE(again.movedToRead);
    EXPECT_EQ(again.board.read, unread + read);
    EXPECT_EQ(again.readText, unread + read);
}

TEST(MemoFiles, TakeInWithoutReadBoardStartsOne)
{
    TestShare share;
    share.writeBytes(QStringLiteral("YAMADA.mil"), "A\r\n\r\n\r\n");
    EXPECT_TRUE(MemoFiles::TakeInOwnMemos(share.dataSource() + "YAMADA", quickPolicy()).movedToRead);
    EXPECT_EQ(share.readBytes(QStringLiteral("YAMADA.old")), QByteArray("A\r\n\r\n\r\n"));
}

TEST(MemoFiles, TakeInKeepsUnreadMemosWhenTheBoardCannotBeRead)
{
    TestShare share;
    share.writeBytes(QStringLiteral("YAMADA.mil"), "A\r\n\r\n\r\n");
    QDir().mkpath(share.realPath() + QStringLiteral("YAMADA.old"));
    const MemoFiles::TakeIn takeIn = MemoFiles::TakeInOwnMemos(share.dataSource() + "YAMADA", quickPolicy());
    EXPECT_TRUE(takeIn.board.hadUnread);
    EXPECT_FALSE(takeIn.board.ok);
    EXPECT_FALSE(takeIn.movedToRead);
    EXPECT_EQ(share.readBytes(QStringLiteral("YAMADA.mil")), QByteArray("A\r\n\r\n\r\n"));
}

TEST(MemoFiles, EraseRemovesBothFiles)
{
    TestShare share;
    const QByteArray p = share.dataSource() + "YAMADA";
    share.writeBytes(QStringLiteral("YAMADA.mil"), "A\r\n\r\n\r\n");
    share.writeBytes(QStringLiteral("YAMADA.old"), "B\r\n");
    EXPECT_TRUE(MemoFiles::EraseOwnBoard(p, quickPolicy()));
    EXPECT_FALSE(share.exists(QStringLiteral("YAMADA.mil")));
    EXPECT_FALSE(share.exists(QStringLiteral("YAMADA.old")));
    EXPECT_FALSE(MemoFiles::HasUnreadMemos(p));
    EXPECT_TRUE(MemoFiles::EraseOwnBoard(p, quickPolicy())); // nothing left to erase
}

TEST(MemoFiles, SaveWritesTheBoardWhole)
{
    TestShare share;
    share.writeBytes(QStringLiteral("YAMADA.old"), "long old board\r\n");
    ASSERT_TRUE(MemoFiles::SaveOwnBoard(share.dataSource() + "YAMADA", "edited\r\n", quickPolicy()));
    EXPECT_EQ(share.readBytes(QStringLiteral("YAMADA.old")), QByteArray("edited\r\n"));
}

struct MayTakeInCase
{
    const char* name;
    QByteArray fileName;
    QByteArray memberName;
    QByteArray shareDir;
    bool expected;
};

class MayTakeIn : public ::testing::TestWithParam<MayTakeInCase>
{
};

TEST_P(MayTakeIn, OnlyForTheOwnEntryInTheOwnBoard)
{
    const MayTakeInCase& c = GetParam();
    TVurnaDataRec own;
    own.FileName = c.fileName;
    own.Name = c.memberName;
    EXPECT_EQ(MemoFiles::MayTakeInMemos(own, c.shareDir), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    MemoFiles, MayTakeIn,
    ::testing::Values(MayTakeInCase{"OwnEntry", "/SRV/SHARE/YAMADA", "yamada", "/SRV/SHARE/", true},
                      MayTakeInCase{"NoFileName", "", "yamada", "/SRV/SHARE/", false},
                      MayTakeInCase{"NoName", "/SRV/SHARE/YAMADA", "", "/SRV/SHARE/", false},
                      MayTakeInCase{"DriveRoot", " c:\\ ", "yamada", "C:\\", false},
                      MayTakeInCase{"OtherBoard", "/SRV/OTHER/YAMADA", "yamada", "/SRV/SHARE/", false},
                      MayTakeInCase{"NoShareDir", "/SRV/SHARE/YAMADA", "yamada", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
