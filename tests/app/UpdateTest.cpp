#include "MainFixture.h"

#include "board/UserFile.h"
#include "platform/Cp932.h"
#include "platform/ProcessStarter.h"
#include "platform/ProgramVersion.h"
#include "platform/SharePath.h"
#include "session/UpdateCheck.h"
#include "store/ParmRec.h"
#include "support/TestShare.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <map>
#include <optional>

namespace {

struct VersionCase
{
    const char* newest;
    const char* local;
    bool newer;
};

class VersionOrder : public ::testing::TestWithParam<VersionCase>
{
};

TEST_P(VersionOrder, IsTextualLikeTheSitesNumberThem)
{
    EXPECT_EQ(UpdateCheck::IsNewer(GetParam().newest, GetParam().local), GetParam().newer);
}

INSTANTIATE_TEST_SUITE_P(UpdateCheck, VersionOrder,
                         ::testing::Values(VersionCase{"3.65", "3.64", true}, VersionCase{"3.64", "3.64", false},
                                           VersionCase{"10.00", "3.64", false}, VersionCase{"3.64a", "3.64", true},
                                           VersionCase{"0.00", "3.64", false}, VersionCase{"3.6", "3.64", false}));

TEST(UpdateCheck, OnlyTheSingleArgumentRebootMeansJustUpdated)
{
    EXPECT_TRUE(UpdateCheck::IsReboot({QStringLiteral(" -Reboot ")}));
    EXPECT_FALSE(UpdateCheck::IsReboot({QStringLiteral("-Reboot"), QStringLiteral("x")}));
    EXPECT_FALSE(UpdateCheck::IsReboot({QStringLiteral("-reboot")}));
    EXPECT_FALSE(UpdateCheck::IsReboot({}));
}

// A program folder and a share that offers a newer build and the updater.
class UpdateWorld : public ::testing::Test
{
protected:
    UpdateWorld()
    {
        board.ShareDir = share.dataSource();
        board.NewVersion = "3.65";
        board.AutoUpdate = true;
        share.writeBytes(QStringLiteral("Vurna3"), "new build");
        share.writeBytes(QStringLiteral("Vurnup.exe"), "updater");
        programFile = program.filePath(QStringLiteral("Vurna3"));
        writeFile(programFile, "old build");
    }

    UpdateCheck::Outcome run(const QStringList& arguments = {})
    {
        UpdateCheck::Context context;
        context.arguments = arguments;
        context.localVersion = localVersion;
        context.programFile = programFile;
        context.programFolder = QFileInfo(programFile).absolutePath();
        context.member = "yamada";
        context.starter = &starter;
        context.wait = [this](int ms) { waited += ms; };
        context.universalForm = universalForm;
        context.isUsersOwn = [this](const QString&) { return usersOwn; };
        return UpdateCheck::Run(board, context);
    }

    QString updaterCopy() const { return program.filePath(QStringLiteral("Vurnup.exe")); }
    QString log() const { return Cp932::toUnicode(share.readBytes(QStringLiteral("vurna.log"))); }

    TestShare share;
    QTemporaryDir program;
    QString programFile;
    ParmRec board;
    ScriptedProcessStarter starter;
    int waited = 0;
    std::optional<QByteArray> localVersion = "3.64";
    std::function<QString(const QString&)> universalForm;
    bool usersOwn = true;
};

TEST_F(UpdateWorld, NewerBuildCopiesTheUpdaterStartsItWithTheTwoPathsAndLogsWhatRuns)
{
    ASSERT_EQ(run(), UpdateCheck::Outcome::UpdaterStarted);
    const QByteArray digest = QCryptographicHash::hash("new build", QCryptographicHash::Sha256).toHex();
    ASSERT_EQ(starter.started().size(), 1);
    EXPECT_EQ(starter.started().front().program, updaterCopy());
    const QStringList arguments = starter.started().front().arguments;
    ASSERT_EQ(arguments.size(), 4);
    EXPECT_EQ(arguments[0], QStringLiteral("-Update"));
    // The share's path as the board holds it: Windows spells its names in upper case.
    EXPECT_TRUE(QFileInfo(arguments[1]) == QFileInfo(share.realPath() + QStringLiteral("Vurna3")))
        << arguments[1].toStdString();
    EXPECT_EQ(arguments.mid(2), QStringList({programFile, QStringLiteral("-SHA256=") + QString::fromLatin1(digest)}));
    QFile copy(updaterCopy());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("updater"));
    EXPECT_TRUE(copy.permissions() & QFileDevice::ExeOwner);
    EXPECT_EQ(waited, UpdateCheck::UpdaterStartDelayMs);
    EXPECT_TRUE(log().contains(QString::fromLatin1(digest))) << log().toStdString();
    EXPECT_TRUE(log().contains(QStringLiteral("(9 バイト"))) << log().toStdString();
    const QByteArray updaterDigest = QCryptographicHash::hash("updater", QCryptographicHash::Sha256).toHex();
    EXPECT_TRUE(log().contains(QString::fromLatin1(updaterDigest))) << "the updater that ran is logged too";
}

enum class Change {
    NoLocalVersion,
    NotNewer,
    NotAuto,
    NoUpdater,
    NoBuild,
    RunFromShare,
    RunFromMappedShare,
    NotUsersOwn,
    SameBuild,
    StartFails
};

class UpdateRefused : public UpdateWorld, public ::testing::WithParamInterface<Change>
{
};

TEST_P(UpdateRefused, LeavesTheProgramAloneAndNoUpdaterBehind)
{
    switch (GetParam()) {
    case Change::NoLocalVersion:
        localVersion.reset();
        break;
    case Change::NotNewer:
        board.NewVersion = "3.64";
        break;
    case Change::NotAuto:
        board.AutoUpdate = false;
        break;
    case Change::NoUpdater:
        QFile::remove(share.realPath() + QStringLiteral("Vurnup.exe"));
        break;
    case Change::NoBuild:
        QFile::remove(share.realPath() + QStringLiteral("Vurna3"));
        break;
    case Change::RunFromShare:
        programFile = share.realPath() + QStringLiteral("Vurna3");
        break;
    case Change::RunFromMappedShare: {
        // The program folder is the share reached through a drive letter; the server spells
        // names in its own letter case.
        const QString folder = QFileInfo(programFile).absolutePath();
        universalForm = [this, folder](const QString& path) {
            return path == folder ? share.realPath().toLower() : path.toUpper();
        };
        break;
    }
    case Change::NotUsersOwn:
        usersOwn = false;
        break;
    case Change::SameBuild:
        writeFile(programFile, "new build");
        break;
    case Change::StartFails:
        starter.result = false;
        break;
    }
    EXPECT_EQ(run(), UpdateCheck::Outcome::NothingToDo);
    EXPECT_FALSE(QFile::exists(updaterCopy()));
    if (GetParam() != Change::StartFails) {
        EXPECT_TRUE(starter.started().isEmpty());
    }
    // What an administrator reads in the board's log about why a PC never updates.
    const std::map<Change, QString> told{{Change::SameBuild, QStringLiteral("同じ")},
                                         {Change::NotUsersOwn, QStringLiteral("自動更新しません")},
                                         {Change::NoLocalVersion, QStringLiteral("情報の取得に失敗しました")}};
    if (told.count(GetParam())) {
        EXPECT_TRUE(log().contains(told.at(GetParam()))) << log().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(UpdateCheck, UpdateRefused,
                         ::testing::Values(Change::NoLocalVersion, Change::NotNewer, Change::NotAuto, Change::NoUpdater,
                                           Change::NoBuild, Change::RunFromShare, Change::RunFromMappedShare,
                                           Change::NotUsersOwn, Change::SameBuild, Change::StartFails));

// Through the board window: the hand-over and the greeting after it.
class UpdateStart : public MainFixture
{
protected:
    UpdateStart()
    {
        addMember(QStringLiteral("yamada"),
                  userFile(QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("山田"), QString(), address, {}, {}, {}, 1));
        share.writeBytes(QStringLiteral("yamada.def"),
                         "\"17:00\"\r\n\"1\"\r\n\"" + cp932(QStringLiteral("直帰")) + "\"");
        writeSettings(QStringLiteral("yamada"), QStringLiteral("山田"));
        programFile = program.filePath(QStringLiteral("Vurna3"));
        QFile file(programFile);
        file.open(QIODevice::WriteOnly);
        file.write("old build");
    }

    void offerUpdate(const QByteArray& options)
    {
        share.writeBytes(QStringLiteral("vurna.ini"), "[UPDATE]\r\nUPDATE=AUTO VERSION=9.99 " + options + "\r\n");
        share.writeBytes(QStringLiteral("Vurna3"), "new build");
        share.writeBytes(QStringLiteral("Vurnup.exe"), "updater");
    }

    TVurnaDataRec stored() const
    {
        TVurnaDataRec record;
        ParseUserFile(readShareFile(QStringLiteral("yamada.vrn")), record);
        return record;
    }

    QTemporaryDir program;
};

TEST_F(UpdateStart, HandingOverEndsTheProgramWithoutTheExitDefaultAbsence)
{
    if (!ProgramVersion::Running())
        GTEST_SKIP() << "this test program carries no version resource, so it never updates";
    offerUpdate({});
    EXPECT_FALSE(start());
    ASSERT_EQ(starter.started().size(), 1);
    EXPECT_TRUE(stored().Locate.isEmpty()) << "colleagues would see the user gone home";
    EXPECT_TRUE(shareHas(QStringLiteral("yamada.off")));
}

TEST_F(UpdateStart, RebootGreetsTheUserUnlessTheSiteAsksForSilence)
{
    for (const QByteArray& options : {QByteArray(), QByteArray("SILENT=YES")}) {
        window.reset();
        offerUpdate(options);
        arguments = {QStringLiteral("-Reboot")};
        QFile copy(program.filePath(QStringLiteral("Vurnup.exe")));
        copy.open(QIODevice::WriteOnly);
        copy.close();
        const qsizetype before = boxes.shown().size();
        ASSERT_TRUE(start());
        EXPECT_TRUE(starter.started().isEmpty());
        EXPECT_TRUE(copy.exists()) << "the updater may still be ending: its copy goes 10 s later";
        EXPECT_EQ(boxes.shown().size() - before, options.isEmpty() ? 1 : 0) << options.constData();
        if (options.isEmpty()) {
            EXPECT_EQ(boxes.shown().back().text, QStringLiteral("Vurnaを最新版に更新しました。"));
        }
    }
}

} // namespace
