#include "board/Datagram.h"
#include "board/NoticeRouting.h"
#include "platform/SharePath.h"
#include "support/TestShare.h"

#include <gtest/gtest.h>

namespace {

using namespace Datagram;

// 大阪 and 会議 in CP932, written byte for byte.
const QByteArray Osaka = sjis({0x91, 0xE5, 0x8D, 0xE3});
const QByteArray Kaigi = sjis({0x89, 0xEF, 0x8B, 0x63});
// ソ: its trail byte is a backslash.
const QByteArray So = sjis({0x83, 0x5C});

struct BuildCase
{
    const char* name;
    QByteArray built;
    QByteArray expected;
};
class DatagramBytes : public ::testing::TestWithParam<BuildCase>
{
};

TEST_P(DatagramBytes, AreExactlyTheWireText)
{
    EXPECT_EQ(GetParam().built, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DatagramBytes,
    ::testing::Values(
        BuildCase{"StatusLocateLastWithItsLineBreak",
                  StatusText("/SRV/SHARE/YAMADA", "2026/12/09", "17:00", 2, Osaka + "\r\n" + Kaigi),
                  "\x01Vrn3_Dat\\SRV\\SHARE\\YAMADA\x01Vrn3_Date2026/12/09\x01Vrn3_Time17:00\x01Vrn3_Icon2"
                  "\x01Vrn3_Locate" +
                      Osaka + "\r\n" + Kaigi},
        BuildCase{"StartedCarriesTheOwnAddress", StartedText("/S/ITO", "192.168.1.20"),
                  "\x01Vrn3_On\\S\\ITO\x01Vrn3_IP192.168.1.20"},
        BuildCase{"WirePathKeepsDoubleByteNames", WirePath("/SRV/" + So + "/A"), "\\SRV\\" + So + "\\A"},
        BuildCase{"NativePathLeavesATrailBackslash", NativePath("\\\\SRV\\" + So + "\\" + So),
                  QByteArray("//SRV/").replace('/', SharePath::nativeSeparator) + So + SharePath::nativeSeparator + So},
        BuildCase{"WindowsPathStaysOnTheWire", WirePath("C:\\SHARE\\ITO"), "C:\\SHARE\\ITO"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ValueCase
{
    const char* name;
    QByteArray text;
    QByteArray key;
    QByteArray expected;
};
class DatagramValue : public ::testing::TestWithParam<ValueCase>
{
};

TEST_P(DatagramValue, IsTheTextAfterTheFirstKey)
{
    EXPECT_EQ(Value(GetParam().text, GetParam().key), GetParam().expected);
}

const QByteArray Status = "\x01Vrn3_Dat\\S\\ITO\x01Vrn3_Date2026/12/09\x01Vrn3_Time17:00\x01Vrn3_Icon2\x01Vrn3_Locate" +
                          Osaka + "\r\n" + Kaigi + "\x01Vrn3_Eod";

INSTANTIATE_TEST_SUITE_P(
    Table, DatagramValue,
    ::testing::Values(ValueCase{"DatIsThePathNotTheDate", Status, KeyDat, "\\S\\ITO"},
                      ValueCase{"DateIsTheDate", Status, KeyDate, "2026/12/09"},
                      ValueCase{"Time", Status, KeyTime, "17:00"}, ValueCase{"Icon", Status, KeyIcon, "2"},
                      ValueCase{"LocateKeepsItsLines", Status, KeyLocate, Osaka + "\r\n" + Kaigi},
                      ValueCase{"MissingKeyIsEmpty", Status, KeyIP, ""},
                      ValueCase{"LastValueRunsToTheEnd", "\x01Vrn3_Off\\S\\ITO", KeyOff, "\\S\\ITO"},
                      ValueCase{"StartedKeyIsNotInAStopped", "\x01Vrn3_Off\\S\\ITO", KeyOn, ""},
                      ValueCase{"FirstOccurrenceWins", "\x01Vrn3_On\\S\\A\x01Vrn3_On\\S\\B", KeyOn, "\\S\\A"},
                      ValueCase{"TrailBackslashStaysInTheValue", "\x01Vrn3_Locate" + So + "\\" + So + "\x01Vrn3_Eod",
                                KeyLocate, So + "\\" + So},
                      ValueCase{"LoneLeadByteDoesNotSwallowTheNextKey", "\x01Vrn3_Locate\x83\x01Vrn3_Eod", KeyLocate,
                                "\x83"},
                      ValueCase{"EmptyValueBeforeTheNextKey", "\x01Vrn3_On\x01Vrn3_IP1.2.3.4", KeyOn, ""}),

    [](const auto& info) { return std::string(info.param.name); });

struct KindCase
{
    const char* name;
    QByteArray text;
    Kind kind;
};
class DatagramKind : public ::testing::TestWithParam<KindCase>
{
};

TEST_P(DatagramKind, IsDecidedByTheStart)
{
    EXPECT_EQ(KindOf(GetParam().text), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DatagramKind,
    ::testing::Values(KindCase{"Started", "\x01Vrn3_On\\S\\A\x01Vrn3_IP1.2.3.4\x01Vrn3_Eod", Kind::Started},
                      KindCase{"StartedOnEightCharacters", "\x01Vrn3_Onward", Kind::Started},
                      KindCase{"StoppedIsNotStarted", "\x01Vrn3_Off\\S\\A", Kind::Stopped},
                      KindCase{"Memo", "\x01Vrn3_Msg\\S\\A\x01Vrn3_Eod", Kind::Memo},
                      KindCase{"Status", Status, Kind::Status},
                      KindCase{"DateAloneStartsLikeStatus", "\x01Vrn3_Date2026/12/09", Kind::Status},
                      KindCase{"Reload", "\x01Vrn3_Rel\x01Vrn3_Eod", Kind::Reload},
                      KindCase{"Share", "\x01Vrn3_Shr=\\\\SRV\\BOARD", Kind::Share},
                      KindCase{"End", "\x01Vrn3_End", Kind::End}, KindCase{"ShortKey", "\x01Vrn3_Of", Kind::Unknown},
                      KindCase{"KeyNotAtTheStart", "x\x01Vrn3_On\\S\\A", Kind::Unknown},
                      KindCase{"LetterCaseCounts", "\x01vrn3_on\\S\\A", Kind::Unknown},
                      KindCase{"Empty", "", Kind::Unknown}),
    [](const auto& info) { return std::string(info.param.name); });

struct TextCase
{
    const char* name;
    QByteArray input;
    QByteArray expected;
};
class BroadcastAddressTable : public ::testing::TestWithParam<TextCase>
{
};

TEST_P(BroadcastAddressTable, ReplacesTheLastPart)
{
    EXPECT_EQ(BroadcastAddress(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, BroadcastAddressTable,
                         ::testing::Values(TextCase{"ClassC", "192.168.1.20", "192.168.1.255"},
                                           TextCase{"Loopback", "127.0.0.2", "127.0.0.255"},
                                           TextCase{"NoDot", "localhost", "localhost"}, TextCase{"Empty", "", ""},
                                           TextCase{"TrailingDot", "10.0.0.", "10.0.0.255"}),
                         [](const auto& info) { return std::string(info.param.name); });

class ShareValueTable : public ::testing::TestWithParam<TextCase>
{
};

TEST_P(ShareValueTable, SkipsTheKeyAndOneCharacter)
{
    EXPECT_EQ(ShareValue(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShareValueTable,
    ::testing::Values(TextCase{"WholeRest", "\x01Vrn3_Shr=\\\\SRV\\BOARD\\", "\\\\SRV\\BOARD\\"},
                      TextCase{"ClosingKeyIsNoPartOfThePath", "\x01Vrn3_Shr=/home/board\x01Vrn3_Eod", "/home/board"},
                      TextCase{"BlanksAndLineBreaksTrimmed", "\x01Vrn3_Shr= /home/board\r\n", "/home/board"},
                      TextCase{"NothingAfterTheKey", "\x01Vrn3_Shr=", ""},
                      TextCase{"NotAShareDatagram", "\x01Vrn3_End=/home/board", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Routing

struct Member
{
    const char* file;
    bool running;
    const char* ip;
};

struct RouteCase
{
    const char* name;
    qint32 mode;
    QByteArray ownAddress;
    QList<Member> members;
    QList<QByteArray> expected;
};
class NoticeRouting : public ::testing::TestWithParam<RouteCase>
{
};

TEST_P(NoticeRouting, SendsToTheseAddresses)
{
    TVurnaDataArray members{TVurnaDataRec{}};
    for (const Member& m : GetParam().members) {
        TVurnaDataRec r;
        r.FileName = m.file;
        r.Running = m.running;
        r.IP = m.ip;
        members.append(r);
    }
    EXPECT_EQ(NoticeDestinations(GetParam().mode, GetParam().ownAddress, "/S/OWN", members), GetParam().expected);
}

const QList<Member> Office{{"/S/OWN", true, "192.168.1.20"},
                           {"/S/NEAR", true, "192.168.1.30"},
                           {"/S/FAR", true, "192.168.2.5"},
                           {"/S/GONE", false, "192.168.3.9"},
                           {"/S/SILENT", true, ""}};

INSTANTIATE_TEST_SUITE_P(
    Table, NoticeRouting,
    ::testing::Values(
        RouteCase{"BroadcastThenOtherNetworks", 3, "192.168.1.20", Office, {"192.168.1.255", "192.168.2.5"}},
        RouteCase{"ModeTwoIsBroadcast", 2, "192.168.1.20", Office, {"192.168.1.255", "192.168.2.5"}},
        RouteCase{"DirectSkipsOwnStoppedAndSilent", 1, "192.168.1.20", Office, {"192.168.1.30", "192.168.2.5"}},
        RouteCase{"ModeZeroSendsNothing", 0, "192.168.1.20", Office, {}},
        RouteCase{"NoOwnAddressSendsNothing", 1, "", Office, {}},
        RouteCase{"BroadcastEvenToAnEmptyBoard", 3, "10.0.0.7", {}, {"10.0.0.255"}},
        RouteCase{"OneDatagramPerMember",
                  1,
                  "192.168.1.20",
                  {{"/S/A", true, "192.168.1.30"}, {"/S/B", true, "192.168.1.30"}, {"/S/C", true, "192.168.1.31"}},
                  {"192.168.1.30", "192.168.1.30", "192.168.1.31"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
