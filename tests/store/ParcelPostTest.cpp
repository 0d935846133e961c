#include "store/ParcelPost.h"
#include "platform/SharePath.h"
#include "support/TestShare.h"

#include <gtest/gtest.h>

namespace {

struct SafeNameCase
{
    QByteArray name;
    QByteArray safe;
};

class SafeFolderName : public ::testing::TestWithParam<SafeNameCase>
{
};

TEST_P(SafeFolderName, NoNameNestsFoldersOrLeavesTheInbox)
{
    EXPECT_EQ(ParcelPost::SafeFolderName(GetParam().name), GetParam().safe);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SafeFolderName,
    ::testing::Values(SafeNameCase{"yamada", "yamada"}, SafeNameCase{"../../etc", ".._.._etc"},
                      SafeNameCase{"a\\b/c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
                      SafeNameCase{"tab\there\x01", "tab_here_"}, SafeNameCase{"..", "__"},
                      SafeNameCase{"dot. ", "dot__"},
                      // ソ and 表 end in 0x5C, ポ in 0x7C: trail bytes are not characters of their own.
                      SafeNameCase{sjis({0x83, 0x5C, 0x95, 0x5C}), sjis({0x83, 0x5C, 0x95, 0x5C})},
                      SafeNameCase{sjis({0x83, 0x7C}) + "|", sjis({0x83, 0x7C}) + "_"}));

TEST(ParcelPost, FileLineKeepsADroppedPathThatHoldsTheSeparatorTag)
{
    const QByteArray line = ParcelPost::FileLine("/home/u/a<T>b.txt", "/SHARE/YAMADA/label/");
    const std::optional<ParcelPost::FileLineParts> parts = ParcelPost::ParseFileLine(line);
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->source, "/home/u/a<T>b.txt");
    EXPECT_EQ(parts->destination, "/SHARE/YAMADA/label/");
    EXPECT_FALSE(ParcelPost::ParseFileLine("<F>/no/destination"));
    EXPECT_FALSE(ParcelPost::ParseFileLine("<N>/SHARE/A<M>memo"));
}

TEST(ParcelPost, MemoLineSplitsAtTheFirstTextTag)
{
    const auto parts = ParcelPost::ParseMemoLine("<N>/SHARE/A<M>  see <M> below \r\n");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->recipient, "/SHARE/A");
    EXPECT_EQ(parts->memo, "see <M> below");
    EXPECT_EQ(ParcelPost::KindOf("<X>other"), ParcelPost::LineKind::Other);
}

TEST(ParcelPost, OneSendingToTwoMembersWithTwoFiles)
{
    const QList<QByteArray> lines =
        ParcelPost::BuildSendList("L", {"/S/A", "/S/B"}, {"/f/one", "/f/two"}, "  hello\r\n");
    // The parcel folder is named with this PC's separator.
    const QByteArray in = QByteArray(1, SharePath::nativeSeparator) + "L" + SharePath::nativeSeparator;
    const QList<QByteArray> expected{"<F>/f/one<T>/S/A" + in, "<F>/f/two<T>/S/A" + in, "<N>/S/A<M>hello",
                                     "<F>/f/one<T>/S/B" + in, "<F>/f/two<T>/S/B" + in, "<N>/S/B<M>hello"};
    EXPECT_EQ(lines, expected);
}

TEST(ParcelPost, BatchLabelNamesSenderAndSecond)
{
    const QByteArray label =
        ParcelPost::BatchLabel(cp932(QStringLiteral("山田/太郎")), QDateTime(QDate(2024, 4, 1), QTime(9, 5, 3)));
    EXPECT_EQ(label, cp932(QStringLiteral("山田_太郎さんからのVurna便 4月1日 9時5分3秒")));
}

} // namespace
