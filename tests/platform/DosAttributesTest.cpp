#include "platform/DosAttributes.h"

#include <gtest/gtest.h>

namespace {

QByteArray le32(quint32 v)
{
    return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF) + char((v >> 16) & 0xFF) + char(v >> 24);
}

const QByteArray nul(1, '\0');
const QByteArray createTime = QByteArray::fromHex("00a1b2c3d4e5d601");

// Values as Samba writes them: hex text and NUL, version and union switch aligned to two bytes,
// the info aligned to four.
const QByteArray v3Hidden = "0x12" + nul + nul + QByteArray::fromHex("03000300") + nul + nul + le32(0x11) + le32(0x12) +
                            QByteArray(20, '\0') + createTime + QByteArray(8, '\0');
const QByteArray v4Archive = nul + nul + QByteArray::fromHex("04000400") + nul + nul + le32(0x51) + le32(0x20) +
                             QByteArray(8, '\x07') + createTime;
const QByteArray v5Hidden =
    nul + nul + QByteArray::fromHex("05000500") + nul + nul + le32(0x11) + le32(0x22) + createTime;

struct ParseCase
{
    const char* name;
    QByteArray value;
    std::optional<quint32> bits;
};

class SambaParse : public ::testing::TestWithParam<ParseCase>
{
};

TEST_P(SambaParse, ReadsWhatSambaWrites)
{
    EXPECT_EQ(DosAttributes::ParseSambaDosAttrib(GetParam().value), GetParam().bits) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    DosAttributes, SambaParse,
    ::testing::Values(
        ParseCase{"old hex text", "0x22", 0x22}, ParseCase{"old hex text with its NUL", "0x2" + nul, 0x2},
        ParseCase{"version 1",
                  "0x10" + nul + nul + QByteArray::fromHex("01000100") + nul + nul + le32(0x12) + QByteArray(36, '\0'),
                  0x12},
        ParseCase{"version 3", v3Hidden, 0x12}, ParseCase{"version 4", v4Archive, 0x20},
        ParseCase{"version 5", v5Hidden, 0x22}, ParseCase{"version 5 cut short", v5Hidden.left(22), std::nullopt},
        ParseCase{"switch differs from version", nul + nul + QByteArray::fromHex("05000400") + v5Hidden.mid(6),
                  std::nullopt},
        ParseCase{"unknown version", nul + nul + QByteArray::fromHex("09000900") + v5Hidden.mid(6), std::nullopt},
        ParseCase{"not hex", "hidden", std::nullopt}, ParseCase{"empty", "", std::nullopt}));

struct FormatCase
{
    const char* name;
    QByteArray previous;
    int versionAt; // where the version sits in the result
    quint16 version;
};

class SambaFormat : public ::testing::TestWithParam<FormatCase>
{
};

TEST_P(SambaFormat, KeepsTheVersionAndTheCreationTime)
{
    const FormatCase& c = GetParam();
    const QByteArray value = DosAttributes::FormatSambaDosAttrib(0x12, c.previous);
    EXPECT_EQ(DosAttributes::ParseSambaDosAttrib(value), 0x12u) << c.name;
    EXPECT_EQ(quint8(value.at(c.versionAt)), c.version) << c.name;
    EXPECT_EQ(value.contains(createTime), c.previous.contains(createTime)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(DosAttributes, SambaFormat,
                         ::testing::Values(FormatCase{"nothing before", {}, 6, 3},
                                           FormatCase{"old hex text before", "0x20", 6, 3},
                                           FormatCase{"version 3 before", v3Hidden, 6, 3},
                                           FormatCase{"version 4 before", v4Archive, 2, 4},
                                           FormatCase{"version 5 before", v5Hidden, 2, 5}));

TEST(DosAttributes, NewValueIsVersionThreeWithOnlyTheAttributeValid)
{
    const QByteArray expected = "0x12" + nul + nul + QByteArray::fromHex("03000300") + nul + nul + le32(0x1) +
                                le32(0x12) + QByteArray(36, '\0');
    EXPECT_EQ(DosAttributes::FormatSambaDosAttrib(0x12).toHex(' '), expected.toHex(' '));
}

} // namespace
