#include "platform/FileTree.h"
#include "support/TestShare.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A parcel as senders make them: Japanese names, a nested folder, a file of several buffers,
// and links that point out of the tree.
void makeParcel(const QString& dir, const QString& outside)
{
    writeFile(dir + QStringLiteral("/報告書.txt"), "report");
    writeFile(dir + QStringLiteral("/写真/大きい.bin"), QByteArray(200000, 'p'));
    writeFile(outside + QStringLiteral("/secret.txt"), "outside");
    ASSERT_TRUE(QFile::link(outside, dir + QStringLiteral("/写真/外へ")));
    ASSERT_TRUE(QFile::link(outside + QStringLiteral("/secret.txt"), dir + QStringLiteral("/secret-link")));
}

void expectParcelCopied(const QString& dir)
{
    EXPECT_EQ(readFile(dir + QStringLiteral("/報告書.txt")), QByteArray("report"));
    EXPECT_EQ(readFile(dir + QStringLiteral("/写真/大きい.bin")), QByteArray(200000, 'p'));
    EXPECT_FALSE(QFileInfo(dir + QStringLiteral("/写真/外へ")).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(dir + QStringLiteral("/secret-link")));
}

TEST(FileTree, CopyLeavesLinksOutAndListsThem)
{
    QTemporaryDir tmp;
    const QString source = tmp.path() + QStringLiteral("/parcel");
    const QString outside = tmp.path() + QStringLiteral("/outside");
    makeParcel(source, outside);
    const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1700000000);
    QFile report(source + QStringLiteral("/報告書.txt"));
    ASSERT_TRUE(report.open(QIODevice::Append) && report.setFileTime(stamp, QFileDevice::FileModificationTime));
    report.close();

    const FileTree::Result result = FileTree::Copy(source, tmp.path() + QStringLiteral("/copy"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    expectParcelCopied(tmp.path() + QStringLiteral("/copy"));
    EXPECT_EQ(QFileInfo(tmp.path() + QStringLiteral("/copy/報告書.txt")).lastModified(), stamp);
    QStringList links = result.skippedLinks;
    links.sort();
    EXPECT_EQ(links, QStringList({source + QStringLiteral("/secret-link"), source + QStringLiteral("/写真/外へ")}));
    EXPECT_EQ(QDir(outside).entryList(QDir::Files), QStringList{QStringLiteral("secret.txt")});
    EXPECT_FALSE(FileTree::Copy(source, tmp.path() + QStringLiteral("/copy")).ok); // the target exists
}

TEST(FileTree, RemoveUnlinksLinksWithoutFollowingThem)
{
    QTemporaryDir tmp;
    const QString tree = tmp.path() + QStringLiteral("/parcel");
    const QString outside = tmp.path() + QStringLiteral("/outside");
    makeParcel(tree, outside);
    ASSERT_TRUE(QFile::link(outside, tmp.path() + QStringLiteral("/toplink")));

    EXPECT_TRUE(FileTree::Remove(tmp.path() + QStringLiteral("/toplink")));
    EXPECT_TRUE(FileTree::Remove(tree));
    EXPECT_FALSE(QFileInfo::exists(tree));
    EXPECT_EQ(readFile(outside + QStringLiteral("/secret.txt")), QByteArray("outside"));
}

TEST(FileTree, MoveAcrossFileSystems)
{
    QTemporaryDir tmp;
    QTemporaryDir shm(QStringLiteral("/dev/shm/vurna-filetree-XXXXXX"));
    struct stat a, b;
    if (!shm.isValid() || ::stat(QFile::encodeName(tmp.path()), &a) != 0 ||
        ::stat(QFile::encodeName(shm.path()), &b) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "/dev/shm is missing or on the same file system as the temporary folder";
    const QString source = tmp.path() + QStringLiteral("/田中さんからのVurna便");
    makeParcel(source, tmp.path() + QStringLiteral("/outside"));

    const QString target = shm.path() + QStringLiteral("/受信");
    const FileTree::Result result = FileTree::Move(source, target);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    expectParcelCopied(target);
    EXPECT_EQ(result.skippedLinks.size(), 2);
    EXPECT_FALSE(QFileInfo::exists(source));
}

// Ways to make a copy fail part-way, with the reason a run cannot use one.
enum class Breaker { UnreadableFile, FileSizeLimit };

class FailedCopy : public ::testing::TestWithParam<Breaker>
{
};

TEST_P(FailedCopy, LeavesTheSourceWholeAndNoPartialTarget)
{
    if (GetParam() == Breaker::UnreadableFile && ::geteuid() == 0)
        GTEST_SKIP() << "root reads a file of mode 000 anyway";
    QTemporaryDir tmp;
    const QString source = tmp.path() + QStringLiteral("/parcel");
    makeParcel(source, tmp.path() + QStringLiteral("/outside"));
    const QString locked = source + QStringLiteral("/写真/大きい.bin");

    struct rlimit saved;
    ::getrlimit(RLIMIT_FSIZE, &saved);
    if (GetParam() == Breaker::UnreadableFile) {
        QFile(locked).setPermissions({});
    } else {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails with EFBIG instead
        struct rlimit small = saved;
        small.rlim_cur = 4096;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    const FileTree::Result result = FileTree::Copy(source, tmp.path() + QStringLiteral("/copy"));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    QFile(locked).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains(QStringLiteral("大きい.bin"))) << result.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(tmp.path() + QStringLiteral("/copy")));
    EXPECT_EQ(readFile(locked), QByteArray(200000, 'p'));
    EXPECT_EQ(readFile(source + QStringLiteral("/報告書.txt")), QByteArray("report"));
}

INSTANTIATE_TEST_SUITE_P(FileTree, FailedCopy, ::testing::Values(Breaker::UnreadableFile, Breaker::FileSizeLimit));

struct InsideCase
{
    const char* name;
    QString path; // below the temporary folder, where "inbox" is the root
    bool inside;
};

class Inside : public ::testing::TestWithParam<InsideCase>
{
};

TEST_P(Inside, LexicallyAndWithoutLinks)
{
    QTemporaryDir tmp;
    QDir().mkpath(tmp.path() + QStringLiteral("/inbox/sub"));
    QDir().mkpath(tmp.path() + QStringLiteral("/inbox2"));
    QDir().mkpath(tmp.path() + QStringLiteral("/outside/deep"));
    QFile::link(tmp.path() + QStringLiteral("/outside"), tmp.path() + QStringLiteral("/inbox/link"));
    EXPECT_EQ(FileTree::IsInside(tmp.path() + QStringLiteral("/inbox/"), tmp.path() + GetParam().path),
              GetParam().inside)
        << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(FileTree, Inside,
                         ::testing::Values(InsideCase{"child", "/inbox/x", true},
                                           InsideCase{"grandchild", "/inbox/sub/x", true},
                                           InsideCase{"dot and dot-dot inside", "/inbox/./sub/../x", true},
                                           InsideCase{"the link itself", "/inbox/link", true},
                                           InsideCase{"the root itself", "/inbox", false},
                                           InsideCase{"climbs out", "/inbox/../inbox2/x", false},
                                           InsideCase{"sibling with the root as prefix", "/inbox2/x", false},
                                           InsideCase{"through a link", "/inbox/link/deep", false},
                                           InsideCase{"dot-dot over a link", "/inbox/link/../x", false}));

} // namespace
