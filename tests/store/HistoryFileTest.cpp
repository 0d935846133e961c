#include "store/HistoryFile.h"
#include "support/TestShare.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// Lines "<prefix>from" to "<prefix>to" joined by CR LF.
QByteArray numbered(const char* prefix, int from, int to)
{
    QList<QByteArray> lines;
    for (int i = from; i <= to; ++i)
        lines.append(prefix + QByteArray::number(i));
    return lines.join("\r\n");
}

struct MergeCase
{
    const char* name;
    QByteArray oldText;
    QByteArray newText;
    int limit;
    QByteArray merged;
};
class MergeTable : public ::testing::TestWithParam<MergeCase>
{
};

TEST_P(MergeTable, NewestFirstWithoutRepeats)
{
    const MergeCase& c = GetParam();
    EXPECT_EQ(HistoryFile::MergeHistory(c.oldText, c.newText, c.limit).toHex(' '), c.merged.toHex(' ')) << c.name;
}

// ハ (83 6E) and ク (83 4E) differ only in a trail byte that is a letter's case; ソ (83 5C) is followed by a letter.
const QByteArray ha = sjis({0x83, 0x6E});
const QByteArray ku = sjis({0x83, 0x4E});
const QByteArray so = sjis({0x83, 0x5C});
// ｍｔｇ and ＭＴＧ.
const QByteArray mtgLower = sjis({0x82, 0x8D, 0x82, 0x94, 0x82, 0x87});
const QByteArray mtgUpper = sjis({0x82, 0x6C, 0x82, 0x73, 0x82, 0x66});

INSTANTIATE_TEST_SUITE_P(
    Table, MergeTable,
    ::testing::Values(
        MergeCase{"a repeat in another case moves to the top", "Meeting\r\nLunch", "MEETING", 15, "MEETING\r\nLunch"},
        MergeCase{"only the first equal old line goes", "a\r\nA\r\nb", "a", 15, "a\r\nA\r\nb"},
        MergeCase{"full-width letters in another case", mtgLower + "\r\nx", mtgUpper, 15, mtgUpper + "\r\nx"},
        MergeCase{"ASCII after a double-byte character", so + "a\r\nx", so + "A", 15, so + "A\r\nx"},
        MergeCase{"a trail byte is no letter", ha, ku, 15, ku + "\r\n" + ha},
        MergeCase{"blanks around and inside kept", "x", " a  b ", 15, " a  b \r\nx"},
        MergeCase{"two new lines above the older ones, in order", "x\r\ny", "a\r\nb", 15, "a\r\nb\r\nx\r\ny"},
        MergeCase{"CR, LF and CR LF end lines", "x\ry\nz", "a\r\nb\rc\nd", 15, "a\r\nb\r\nc\r\nd\r\nx\r\ny\r\nz"},
        MergeCase{"blank lines skipped but take positions", "c\r\nd", "a\r\n \t\r\nb", 2, "a\r\nb"},
        MergeCase{"sixteen of twenty", numbered("L", 1, 20), "N", 15, "N\r\n" + numbered("L", 1, 15)}));

TEST(HistoryFile, AddsToEveryMemberAndLeavesAnUnreadableHistoryAlone)
{
    TestShare share;
    const RetryPolicy quick{1, 0, {}};
    share.writeBytes(QStringLiteral("yamada.lst"), "old1\r\nold2");
    ASSERT_TRUE(QDir().mkpath(share.realPath() + QStringLiteral("SATO.lst")));
    const QList<QByteArray> members{share.dataSource() + "YAMADA", share.dataSource() + "SATO",
                                    share.dataSource() + "KATO"};

    EXPECT_EQ(HistoryFile::AddToMembers(members, "new", quick), 1);
    EXPECT_EQ(share.readBytes(QStringLiteral("yamada.lst")), "new\r\nold1\r\nold2");
    EXPECT_EQ(QDir(share.realPath()).entryList({QStringLiteral("yamada.lst")}),
              QStringList{QStringLiteral("yamada.lst")});
    EXPECT_EQ(share.readBytes(QStringLiteral("KATO.lst")), "new");
    EXPECT_EQ(HistoryFile::Read(members.at(0), quick).lines, (QList<QByteArray>{"new", "old1", "old2"}));
    EXPECT_FALSE(HistoryFile::Read(members.at(1), quick).ok);
    EXPECT_TRUE(QFileInfo(share.realPath() + QStringLiteral("SATO.lst")).isDir());
}

} // namespace
