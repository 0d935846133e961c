#include "platform/ProgramFolder.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// The superuser writes every folder, so there only a file that changed hands tells; anyone else
// cannot give a file away, so there only a folder without write permission tells.
enum class Install { Own, FolderNotWritable, AnotherUsersFile };
class ProgramFolderOwner : public ::testing::TestWithParam<Install>
{
};

TEST_P(ProgramFolderOwner, OnlyTheUsersOwnInstallIsReplaced)
{
    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("Vurna3"));
    QFile file(program);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const bool superuser = ::geteuid() == 0;
    if (GetParam() == Install::FolderNotWritable) {
        if (superuser)
            GTEST_SKIP() << "the superuser writes every folder";
        QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    } else if (GetParam() == Install::AnotherUsersFile) {
        if (!superuser)
            GTEST_SKIP() << "only the superuser can give a file away";
        ASSERT_EQ(::chown(QFile::encodeName(program).constData(), 65534, 65534), 0);
    }
    EXPECT_EQ(ProgramFolder::IsUsersOwn(program), GetParam() == Install::Own);
    QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

INSTANTIATE_TEST_SUITE_P(Table, ProgramFolderOwner,
                         ::testing::Values(Install::Own, Install::FolderNotWritable, Install::AnotherUsersFile));

} // namespace
