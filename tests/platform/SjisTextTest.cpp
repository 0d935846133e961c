#include "platform/SjisText.h"
#include "support/TestShare.h"

#include <gtest/gtest.h>

namespace {

// ソ (83 5C) and 表 (95 5C) carry a backslash as trail byte; ａ (82 81) and 一 (88 EA) are
// ordinary pairs; "\x82\x61" is Ａ in full width whose trail byte is ASCII 'a'.
const QByteArray so = sjis({0x83, 0x5C});
const QByteArray hyo = sjis({0x95, 0x5C});
const QByteArray fullA = sjis({0x82, 0x61});

struct UpperCase
{
    QByteArray in, out;
};
class SjisUpperCase : public ::testing::TestWithParam<UpperCase>
{
};

TEST_P(SjisUpperCase, ChangesOnlySingleByteLetters)
{
    EXPECT_EQ(SjisText::upperCase(GetParam().in).toHex(' '), GetParam().out.toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(Table, SjisUpperCase,
                         ::testing::Values(UpperCase{"abc", "ABC"},
                                           UpperCase{fullA + "a", fullA + "A"}, // trail byte 0x61 stays
                                           UpperCase{sjis({0x83, 0x61}) + "x", sjis({0x83, 0x61}) + "X"},
                                           UpperCase{"/share/" + so + "ny", "/SHARE/" + so + "NY"},
                                           UpperCase{QByteArray("a") + char(0x81),
                                                     QByteArray("A") + char(0x81)})); // lone lead byte at the end

struct PathParts
{
    QByteArray path, fileName, directory, base;
};
class SjisPathParts : public ::testing::TestWithParam<PathParts>
{
};

TEST_P(SjisPathParts, SplitOnlyOnRealSeparators)
{
    const PathParts& p = GetParam();
    EXPECT_EQ(SjisText::fileNamePart(p.path).toHex(' '), p.fileName.toHex(' '));
    EXPECT_EQ(SjisText::fileNamePartView(p.path).toByteArray().toHex(' '), p.fileName.toHex(' '));
    EXPECT_EQ(SjisText::directoryPart(p.path).toHex(' '), p.directory.toHex(' '));
    EXPECT_EQ(SjisText::baseName(p.path).toHex(' '), p.base.toHex(' '));
}

INSTANTIATE_TEST_SUITE_P(Table, SjisPathParts,
                         ::testing::Values(PathParts{"\\\\SRV\\SHARE\\" + so + hyo + ".vrn", so + hyo + ".vrn",
                                                     "\\\\SRV\\SHARE\\", so + hyo},
                                           PathParts{"/srv/share/" + hyo, hyo, "/srv/share/", hyo},
                                           PathParts{so + ".vrn", so + ".vrn", "", so},
                                           PathParts{"/srv/share/", "", "/srv/share/", ""},
                                           PathParts{"/srv/share/.vrn", ".vrn", "/srv/share/", ""},
                                           PathParts{"C:\\A.B\\NAME", "NAME", "C:\\A.B\\", "NAME"}));

TEST(SjisText, TrimKeepsPairsAndDropsControls)
{
    EXPECT_EQ(SjisText::trim(" \t\r\n" + so + " x \r\n"), so + " x");
    EXPECT_EQ(SjisText::trim("   "), QByteArray());
    // A trail byte of 0x40 is above the blank range and survives.
    EXPECT_EQ(SjisText::trim(sjis({0x81, 0x40})), sjis({0x81, 0x40}));
}

TEST(SjisText, IndexOfMatchesOnlyOnCharacterBoundaries)
{
    const QByteArray text = so + "\\" + hyo;
    EXPECT_EQ(SjisText::indexOf(text, "\\"), 2);
    EXPECT_EQ(SjisText::lastIndexOfChar(text, '\\'), 2);
    EXPECT_EQ(SjisText::indexOf(so + hyo, "\\"), -1);
    // "a" hides in the trail byte of Ａ.
    EXPECT_EQ(SjisText::indexOf(fullA + "xa", "a"), 3);
}

TEST(SjisText, LeftBytesNeverSplitsAPair)
{
    const QByteArray name = sjis({0x8E, 0x52, 0x93, 0x63}) + "x" + sjis({0x91, 0xBE}); // 山田x太
    EXPECT_EQ(SjisText::leftBytes(name, 5), name.left(5));
    EXPECT_EQ(SjisText::leftBytes(name, 6), name.left(5));
    EXPECT_EQ(SjisText::leftBytes(name, 7), name);
    EXPECT_EQ(SjisText::leftBytes(name, 3), name.left(2));
}

TEST(SjisText, CompareIsUnsignedBytewiseWithPrefixFirst)
{
    EXPECT_LT(SjisText::compareBytes("ABC", "ABCD"), 0);
    EXPECT_LT(SjisText::compareBytes("Z", sjis({0xB1})), 0); // ｱ (B1) after ASCII
    EXPECT_LT(SjisText::compareBytes(sjis({0xB1}), sjis({0xB2})), 0);
    EXPECT_EQ(SjisText::compareBytes("", ""), 0);
}

} // namespace
