#include "store/LocalSettings.h"
#include "platform/SharePath.h"
#include "support/TestShare.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

namespace {

// Points the per-user settings at an empty temporary profile, so the user's own settings
// stay untouched. Also set through QSettings::setPath, which QSettings honours even after
// it has cached the configuration folder of an earlier test.
class FreshProfile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_previous = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        native().clear();
    }
    void TearDown() override
    {
        if (m_previous.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", m_previous);
    }

    // The store as another program (or an administrator) sees it: the profile's file under
    // XDG_CONFIG_HOME, or the registry key on Windows.
    static QSettings native()
    {
        return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quaxosoft"),
                         QStringLiteral("Vurna"));
    }
    void storeRaw(const QString& name, const QVariant& value) const { native().setValue(name, value); }
    QVariant rawValue(const QString& name) const { return native().value(name); }

    QTemporaryDir m_dir;
    QByteArray m_previous;
};

TEST_F(FreshProfile, DefaultsOnAFreshProfile)
{
    LocalSettings settings;
    ParmRecList boards;
    settings.ReadLocalSettings(boards);
    ASSERT_EQ(boards.size(), 1);
    EXPECT_TRUE(boards[0].ShareDir.isEmpty());
    EXPECT_TRUE(boards[0].AutoSmall);
    EXPECT_FALSE(boards[0].AutoDengonOpen);
    EXPECT_EQ(boards[0].BoardName, cp932(QStringLiteral("自分が所属する掲示板")));
    EXPECT_TRUE(settings.ShareDir().isEmpty());
    EXPECT_TRUE(settings.Name().isEmpty());

    TVurnaDataRec own;
    settings.LoadOwnIdentity(own, "192.168.0.7");
    EXPECT_TRUE(own.FileName.isEmpty());
    EXPECT_TRUE(own.Name.isEmpty());
    EXPECT_EQ(own.StatusIndex, 0);
    EXPECT_TRUE(own.Running);
    EXPECT_EQ(own.IP, QByteArray("192.168.0.7"));

    const StoredPlacement placement = settings.ReadStoredPlacement();
    EXPECT_FALSE(placement.NormalLeft || placement.NormalTop || placement.NormalBottom || placement.MaxLeft ||
                 placement.MaxTop);
    // Reading creates nothing.
    EXPECT_TRUE(native().allKeys().isEmpty());
}

// The value names are shared with copies on other PCs and with administrators, so each
// accessor is pinned here to its name (at the top level of Quaxosoft/Vurna) and default.
struct FlagCase
{
    const char* name;
    bool fresh; // read from a fresh profile
    bool (LocalSettings::*get)() const;
    void (LocalSettings::*set)(bool);
};

class Flags : public FreshProfile, public ::testing::WithParamInterface<FlagCase>
{
};

TEST_P(Flags, StoredAsZeroOrOneUnderTheirNames)
{
    const FlagCase& c = GetParam();
    LocalSettings settings;
    EXPECT_EQ((settings.*c.get)(), c.fresh);
    (settings.*c.set)(!c.fresh);
    EXPECT_EQ(rawValue(QString::fromLatin1(c.name)).toString(), c.fresh ? QStringLiteral("0") : QStringLiteral("1"));
    EXPECT_EQ((settings.*c.get)(), !c.fresh);
}

INSTANTIATE_TEST_SUITE_P(
    LocalSettings, Flags,
    ::testing::Values(FlagCase{"AutoSmall", true, &LocalSettings::AutoSmall, &LocalSettings::SetAutoSmall},
                      FlagCase{"AutoDengonOpen", false, &LocalSettings::AutoDengonOpen,
                               &LocalSettings::SetAutoDengonOpen},
                      FlagCase{"SmallFont", false, &LocalSettings::SmallFont, &LocalSettings::SetSmallFont},
                      FlagCase{"RegistSortPriority", false, &LocalSettings::RegistSortPriority,
                               &LocalSettings::SetRegistSortPriority}),
    [](const auto& info) { return std::string(info.param.name); });

// The other values, each distinct, as the store keeps them; the round trips below read them
// back by the same names.
const char* const storedValues[][2] = {
    {"ShareDir", "/srv/ソ"}, // as held: neither upper-cased nor given a separator
    {"FileName", "/SRV/SHARE/YAMADA"},
    {"Furigana", "ﾔﾏﾀﾞ"},
    {"Name", "山田"},
    {"Group", "営業部"},
    {"InnerLine", "123"},
    {"WarningCall", "090"},
    {"StatusIndex", "3"},
    {"SortPrefix", "1"},
    {"NormalLeft", "101"},
    {"NormalTop", "102"},
    {"NormalRight", "103"},
    {"NormalBottom", "104"},
    {"MaxLeft", "105"},
    {"MaxTop", "0"}, // whatever the maximised top
};

TEST_F(FreshProfile, OtherValuesAreStoredUnderTheirNames)
{
    TVurnaDataRec own;
    own.FileName = "/SRV/SHARE/YAMADA";
    own.Furigana = cp932(QStringLiteral("ﾔﾏﾀﾞ"));
    own.Name = cp932(QStringLiteral("山田"));
    own.Group = cp932(QStringLiteral("営業部"));
    own.InnerLine = "123";
    own.WarningCall = "090";
    own.StatusIndex = 3;
    own.SortPrefix = "1";
    WindowPlacement placement;
    placement.Normal = {101, 102, 103, 104};
    placement.MaxPosition = {105, 106};
    const QByteArray shareDir = "/srv/" + sjis({0x83, 0x5C});

    LocalSettings settings;
    settings.SetShareDir(shareDir);
    settings.SaveOwnIdentity(own);
    settings.SaveWindowPlacement(placement);
    for (const auto& [name, stored] : storedValues)
        EXPECT_EQ(rawValue(QString::fromLatin1(name)).toString(), QString::fromUtf8(stored)) << name;
    EXPECT_EQ(settings.ShareDir(), shareDir);
    EXPECT_EQ(settings.Name(), own.Name);
}

// How a stored flag or integer is read, whoever stored it: through a flag that defaults to
// false, one that defaults to true, and an integer that has no default of its own.
struct ReadCase
{
    const char* name;
    const char* stored; // nullptr: missing
    bool smallFont;
    bool autoSmall;
    std::optional<int> normalLeft;
};

class ReadValues : public FreshProfile, public ::testing::WithParamInterface<ReadCase>
{
};

TEST_P(ReadValues, FlagsAndIntegersFallBackSilently)
{
    const ReadCase& c = GetParam();
    if (c.stored) {
        for (const char* name : {"SmallFont", "AutoSmall", "NormalLeft"})
            storeRaw(QString::fromLatin1(name), QString::fromLatin1(c.stored));
    }
    LocalSettings settings;
    EXPECT_EQ(settings.SmallFont(), c.smallFont);
    EXPECT_EQ(settings.AutoSmall(), c.autoSmall);
    EXPECT_EQ(settings.ReadStoredPlacement().NormalLeft, c.normalLeft);
}

INSTANTIATE_TEST_SUITE_P(LocalSettings, ReadValues,
                         ::testing::Values(ReadCase{"Missing", nullptr, false, true, std::nullopt},
                                           ReadCase{"Zero", "0", false, false, 0}, ReadCase{"One", "1", true, true, 1},
                                           ReadCase{"AnyNonZeroIsTrue", "7", true, true, 7},
                                           ReadCase{"Negative", "-3", true, true, -3},
                                           ReadCase{"NotANumber", "abc", false, true, std::nullopt},
                                           ReadCase{"TooLarge", "99999999999", false, true, std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FreshProfile, ShareDirWrittenInLowerCaseIsUsedUpperCased)
{
    storeRaw(QStringLiteral("ShareDir"), QStringLiteral("/srv/office/share/"));
    storeRaw(QStringLiteral("AutoSmall"), 0);
    storeRaw(QStringLiteral("AutoDengonOpen"), 1);
    ParmRecList boards;
    LocalSettings().ReadLocalSettings(boards);
    EXPECT_EQ(boards[0].ShareDir, QByteArray("/SRV/OFFICE/SHARE/"));
    EXPECT_FALSE(boards[0].AutoSmall);
    EXPECT_TRUE(boards[0].AutoDengonOpen);
}

TEST_F(FreshProfile, ShareDirWithoutItsSeparatorStillNamesTheDirectory)
{
    // ソ ends in the byte 5C, which is no separator: the name must not run into the next one.
    const struct
    {
        QString stored;
        QByteArray held;
    } cases[] = {{QStringLiteral("/srv/share"), SharePath::withSeparator("/SRV/SHARE")},
                 {QStringLiteral("/srv/ソ"), SharePath::withSeparator("/SRV/" + sjis({0x83, 0x5C}))}};
    for (const auto& c : cases) {
        storeRaw(QStringLiteral("ShareDir"), c.stored);
        ParmRecList boards;
        LocalSettings().ReadLocalSettings(boards);
        EXPECT_EQ(boards[0].ShareDir.toHex(' '), c.held.toHex(' ')) << c.stored.toStdString();
    }
}

TEST_F(FreshProfile, ReadingKeepsTheOtherBoardsAndTheOwnBoardsConfiguration)
{
    ParmRecList boards(2);
    boards[0].UdpPort = 2000;
    boards[1].BoardName = "B";
    LocalSettings().ReadLocalSettings(boards);
    ASSERT_EQ(boards.size(), 2);
    EXPECT_EQ(boards[0].UdpPort, 2000);
    EXPECT_EQ(boards[1].BoardName, QByteArray("B"));
}

TEST_F(FreshProfile, WriteStoresTheDirectoryAsHeldThenUpperCasesIt)
{
    ParmRec own;
    own.ShareDir = "/srv/Share/";
    own.AutoSmall = false;
    own.AutoDengonOpen = true;
    LocalSettings settings;
    settings.WriteLocalSettings(own);
    EXPECT_EQ(own.ShareDir, QByteArray("/SRV/SHARE/"));
    EXPECT_EQ(rawValue(QStringLiteral("ShareDir")).toString(), QStringLiteral("/srv/Share/"));
    EXPECT_EQ(rawValue(QStringLiteral("AutoSmall")).toInt(), 0);
    EXPECT_EQ(rawValue(QStringLiteral("AutoDengonOpen")).toInt(), 1);
}

TEST_F(FreshProfile, OwnIdentityRoundTripsThroughUnicode)
{
    TVurnaDataRec own;
    own.FileName = "/srv/share/" + sjis({0x83, 0x5C, 0x95, 0x5C}); // ソ表: trail bytes 5C
    own.Furigana = sjis({0xD4, 0xCF, 0xC0, 0xDE});                 // ﾔﾏﾀﾞ
    own.Name = cp932(QStringLiteral("山田〜太郎"));
    own.Group = cp932(QStringLiteral("営業部"));
    own.InnerLine = "123";
    own.WarningCall = "090-0000-0000";
    own.StatusIndex = 2;
    own.SortPrefix = "1";
    own.Locate = "not an identity value";
    LocalSettings settings([] { return QByteArray("10.0.0.5"); });
    settings.SaveOwnIdentity(own);
    // Unicode in the store: 81 60 is the full-width tilde there.
    EXPECT_EQ(rawValue(QStringLiteral("Name")).toString(), QStringLiteral("山田\uFF5E太郎"));
    EXPECT_FALSE(rawValue(QStringLiteral("Locate")).isValid());

    const TVurnaDataRec loaded = settings.LoadOwnIdentity();
    EXPECT_EQ(loaded.FileName, "/SRV/SHARE/" + sjis({0x83, 0x5C, 0x95, 0x5C}));
    EXPECT_EQ(loaded.Furigana, own.Furigana);
    EXPECT_EQ(loaded.Name, own.Name);
    EXPECT_EQ(loaded.Group, own.Group);
    EXPECT_EQ(loaded.InnerLine, own.InnerLine);
    EXPECT_EQ(loaded.WarningCall, own.WarningCall);
    EXPECT_EQ(loaded.StatusIndex, 2);
    EXPECT_EQ(loaded.SortPrefix, own.SortPrefix);
    EXPECT_TRUE(loaded.Running);
    EXPECT_EQ(loaded.IP, QByteArray("10.0.0.5"));
    EXPECT_TRUE(loaded.Locate.isEmpty());
}

TEST_F(FreshProfile, LoadingKeepsTheRecordsOtherFields)
{
    TVurnaDataRec own;
    own.Locate = cp932(QStringLiteral("会議"));
    own.Date = "2024/04/01";
    LocalSettings().LoadOwnIdentity(own, {});
    EXPECT_EQ(own.Locate, cp932(QStringLiteral("会議")));
    EXPECT_EQ(own.Date, QByteArray("2024/04/01"));
}

TEST_F(FreshProfile, PlacementRoundTripWritesMaxTopAsZero)
{
    WindowPlacement placement;
    placement.Normal = {100, 50, 740, 610};
    placement.MaxPosition = {1280, 30};
    LocalSettings settings;
    settings.SaveWindowPlacement(placement);
    EXPECT_EQ(rawValue(QStringLiteral("NormalRight")).toInt(), 740);
    const StoredPlacement stored = settings.ReadStoredPlacement();
    EXPECT_EQ(stored.NormalLeft, 100);
    EXPECT_EQ(stored.NormalTop, 50);
    EXPECT_EQ(stored.NormalBottom, 610);
    EXPECT_EQ(stored.MaxLeft, 1280);
    EXPECT_EQ(stored.MaxTop, 0);
}

// --- Placement arithmetic ------------------------------------------------------------------

struct LimitsCase
{
    int dpi;
    WindowSizeLimits limits;
};

class MainWindowLimits : public ::testing::TestWithParam<LimitsCase>
{
};

TEST_P(MainWindowLimits, ScaledAndTruncated)
{
    EXPECT_EQ(MainWindowSizeLimits(GetParam().dpi), GetParam().limits);
}

INSTANTIATE_TEST_SUITE_P(WindowPlacement, MainWindowLimits,
                         ::testing::Values(LimitsCase{96, {640, 460, 640}}, LimitsCase{120, {800, 575, 800}},
                                           LimitsCase{144, {960, 690, 960}}, LimitsCase{97, {646, 464, 646}}),
                         [](const auto& info) { return std::to_string(info.param.dpi) + "dpi"; });

TEST(WindowPlacement, FreshProfilePlacesTheMaximisedColumnAtTheRightEdge)
{
    const RectEdges current{10, 20, 650, 500};
    const WindowPlacement p = RestoredPlacement(current, QSize(1920, 1080), {});
    EXPECT_EQ(p.Normal, current);
    EXPECT_EQ(p.MaxPosition, QPoint(1280, 0));
    EXPECT_EQ(p.MinPosition, QPoint(1920, 1080)); // off screen
    EXPECT_TRUE(p.RestoreToMaximized);
    EXPECT_TRUE(p.Hidden);
}

TEST(WindowPlacement, StoredValuesWinAndTheWidthStays)
{
    StoredPlacement stored;
    stored.NormalLeft = 900;
    stored.NormalTop = 40;
    stored.NormalBottom = 700;
    stored.MaxLeft = 200;
    stored.MaxTop = 0;
    const WindowPlacement p = RestoredPlacement({10, 20, 650, 500}, QSize(1920, 1080), stored);
    EXPECT_EQ(p.Normal, (RectEdges{900, 40, 1540, 700}));
    EXPECT_EQ(p.MaxPosition, QPoint(200, 0));
}

struct OnDemandCase
{
    const char* name;
    int dpi;
    std::optional<QPoint> placementMax;
    std::optional<QRect> workArea;
    MinMaxInfo expected;
};

class SizeLimits : public ::testing::TestWithParam<OnDemandCase>
{
};

TEST_P(SizeLimits, MaximisedIsAFullHeightColumn)
{
    const OnDemandCase& c = GetParam();
    EXPECT_EQ(SizeLimitsOnDemand(MainWindowSizeLimits(c.dpi), QSize(1920, 1080), c.placementMax, c.workArea),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(WindowPlacement, SizeLimits,
                         ::testing::Values(
                             // Task bar 40 high at the bottom: the column ends on its top edge.
                             OnDemandCase{"TaskBarAtBottom",
                                          96,
                                          QPoint(1280, 0),
                                          QRect(0, 0, 1920, 1040),
                                          {QSize(640, 460), QPoint(1280, 0), QSize(640, 1040), QSize(640, 1040)}},
                             OnDemandCase{"At120Dpi",
                                          120,
                                          std::nullopt,
                                          QRect(0, 0, 1920, 1040),
                                          {QSize(800, 575), QPoint(1120, 0), QSize(800, 1040), QSize(800, 1040)}},
                             OnDemandCase{"NegativeStoredLeftFallsBack",
                                          96,
                                          QPoint(-5, 0),
                                          QRect(0, 0, 1920, 1040),
                                          {QSize(640, 460), QPoint(1280, 0), QSize(640, 1040), QSize(640, 1040)}},
                             OnDemandCase{"NoWorkAreaUsesTheScreen",
                                          96,
                                          QPoint(0, 0),
                                          std::nullopt,
                                          {QSize(640, 460), QPoint(0, 0), QSize(640, 1080), QSize(640, 1080)}},
                             // Task bar at the top: the work area starts lower, its bottom edge is the screen's.
                             OnDemandCase{"TaskBarAtTop",
                                          96,
                                          QPoint(100, 0),
                                          QRect(0, 40, 1920, 1040),
                                          {QSize(640, 460), QPoint(100, 0), QSize(640, 1080), QSize(640, 1080)}}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
