#include "platform/FileText.h"
#include "platform/ShareFiles.h"
#include "platform/SharePath.h"
#include "support/TestShare.h"

#include <QDir>
#include <QScopeGuard>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

// rename() puts the new file in the old one's place in one step.
extern const bool rewriteLeavesAMomentWithoutFile = false;

namespace {

// A case-sensitive file system: the share keeps each file's own spelling.
TEST(SharePath, MixedCaseShareOnACaseSensitiveFileSystem)
{
    TestShare share(QStringLiteral("Mixed/Office Share"));
    share.writeBytes(QStringLiteral("Yamada.vrn"), "\"x\"");
    QDir().mkpath(share.realPath() + QStringLiteral("sub"));
    share.writeBytes(QStringLiteral("sub/Memo.mil"), "m");

    const QByteArray upper = share.dataSource(); // everything upper-cased, as held in memory
    EXPECT_EQ(ReadFileText(upper + "YAMADA.vrn"), QByteArray("\"x\""));
    EXPECT_EQ(ReadFileText(upper + "yamada.VRN"), QByteArray("\"x\""));
    EXPECT_EQ(ReadFileText(upper + "SUB/MEMO.MIL"), QByteArray("m"));
    EXPECT_EQ(SharePath::resolve(upper + "YAMADA.vrn"), share.realPath() + QStringLiteral("Yamada.vrn"));

    // Rewriting keeps the file's own spelling; a new file takes the spelling given.
    ASSERT_TRUE(WriteFileText(upper + "YAMADA.VRN", "\"y\""));
    EXPECT_EQ(share.readBytes(QStringLiteral("Yamada.vrn")), QByteArray("\"y\""));
    EXPECT_FALSE(share.exists(QStringLiteral("YAMADA.VRN")));
    ASSERT_TRUE(WriteFileText(upper + "SATO.vrn", "s"));
    EXPECT_TRUE(share.exists(QStringLiteral("SATO.vrn")));
    EXPECT_TRUE(ShareFiles::exists(upper + "sato.VRN"));
}

// A disk that takes no more bytes, for this process only and without root: under a file size
// limit of 0 every write to a regular file fails (EFBIG, once SIGXFSZ is ignored).
TEST(FileText, AWriteTheDiskRefusesLeavesTheOldFileWhole)
{
    TestShare share;
    share.writeBytes(QStringLiteral("A.vrn"), "old bytes");
    RetryPolicy once;
    once.attempts = 1;
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit full = before;
    full.rlim_cur = 0;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    bool written = true;
    {
        const auto restore = qScopeGuard([&] {
            ::setrlimit(RLIMIT_FSIZE, &before);
            std::signal(SIGXFSZ, handler);
        });
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &full), 0);
        written = WriteFileText(share.dataSource() + "A.vrn", "new bytes", once);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(share.readBytes(QStringLiteral("A.vrn")), QByteArray("old bytes"));
    EXPECT_EQ(QDir(share.realPath()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("A.vrn")});
}

} // namespace
