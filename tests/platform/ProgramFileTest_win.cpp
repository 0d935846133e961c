// What the update check asks Windows about the running program and its folder.
#include "platform/NetworkPath.h"
#include "platform/ProgramFolder.h"
#include "platform/ProgramVersion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The programs of this build lie one folder above the test programs.
class ProgramVersionResource : public ::testing::TestWithParam<const char*>
{
};

TEST_P(ProgramVersionResource, HoldsTheBuildsVersionUnderItsJapaneseTranslation)
{
    const QDir tests(QCoreApplication::applicationDirPath());
    const QString program = tests.absoluteFilePath(QStringLiteral("../") + QLatin1String(GetParam()));
    if (!QFile::exists(program))
        GTEST_SKIP() << qPrintable(program) << " is not built";
    EXPECT_EQ(ProgramVersion::FromResource(program), ProgramVersion::Built());
}

INSTANTIATE_TEST_SUITE_P(Table, ProgramVersionResource, ::testing::Values("Vurna3.exe", "Vurnup.exe"));

TEST(ProgramFileWindows, WithoutAVersionResourceTheVersionIsUnknown)
{
    QTemporaryDir folder;
    QFile text(folder.filePath(QStringLiteral("Vurna3.exe")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a program");
    text.close();
    EXPECT_EQ(ProgramVersion::FromResource(text.fileName()), std::nullopt);
    EXPECT_EQ(ProgramVersion::FromResource(folder.filePath(QStringLiteral("missing.exe"))), std::nullopt);
    // This test program carries none; the version window still has the build's to show.
    EXPECT_EQ(ProgramVersion::Running(), std::nullopt);
    EXPECT_EQ(ProgramVersion::Text(), ProgramVersion::Built());
}

TEST(ProgramFileWindows, AFolderThatTakesANewFileIsTheUsersAndKeepsNoTrace)
{
    QTemporaryDir folder;
    QFile program(folder.filePath(QStringLiteral("Vurna3.exe")));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.close();
    EXPECT_TRUE(ProgramFolder::IsUsersOwn(program.fileName()));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{QStringLiteral("Vurna3.exe")});
    EXPECT_FALSE(ProgramFolder::IsUsersOwn(folder.filePath(QStringLiteral("gone/Vurna3.exe"))));
}

// No drive here is mapped. Paths in network form never reach a network provider, so nothing
// leaves the machine.
class NetworkPathUnmapped : public ::testing::TestWithParam<QString>
{
};

TEST_P(NetworkPathUnmapped, StaysAsGiven)
{
    EXPECT_EQ(NetworkPath::UniversalForm(GetParam()), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Table, NetworkPathUnmapped,
                         ::testing::Values(QStringLiteral("C:\\Users\\yamada\\AppData\\Local\\Vurnaboard"),
                                           QStringLiteral("C:/windows/"), QStringLiteral("\\\\SERVER\\SHARE\\VURNA\\"),
                                           QString()));

} // namespace
