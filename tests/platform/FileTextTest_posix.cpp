#include "platform/FileText.h"
#include "platform/ShareFiles.h"
#include "platform/SharePath.h"
#include "support/TestShare.h"

#include <QDir>
#include <gtest/gtest.h>

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

    const QByteArray upper = share.dataSource();  // everything upper-cased, as held in memory
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

} // namespace
