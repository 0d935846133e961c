#include "platform/FileText.h"
#include "platform/ShareDirectory.h"
#include "platform/SharePath.h"
#include "support/TestShare.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

// Whether a reader may find no file at all for the moment a rewrite takes the old file's place
// (Windows renames the old file away first); beside this file, per OS.
extern const bool rewriteLeavesAMomentWithoutFile;

namespace {

RetryPolicy countingPolicy(int* failures)
{
    RetryPolicy p;
    p.delayMs = 1;
    p.beforeRetry = [failures](int) { ++*failures; };
    return p;
}

TEST(SharePath, NamesWithBackslashTrailBytesResolve)
{
    TestShare share;
    share.writeBytes(QStringLiteral("ソ表.vrn"), "ok");
    const QByteArray path = share.dataSource() + sjis({0x83, 0x5C, 0x95, 0x5C}) + ".VRN";
    EXPECT_EQ(ReadFileText(path), QByteArray("ok"));
    const QList<ShareDirectory::Entry> entries = ShareDirectory(share.dataSource()).entries();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].name, sjis({0x83, 0x5C, 0x95, 0x5C}) + ".vrn");
}

TEST(SharePath, ANewFileInADirectoryListedEarlierIsFound)
{
    TestShare share(QStringLiteral("Cached"));
    share.writeBytes(QStringLiteral("a.vrn"), "a");
    EXPECT_EQ(ReadFileText(share.dataSource() + "A.VRN"), QByteArray("a"));
    share.writeBytes(QStringLiteral("b.vrn"), "b"); // same second: the directory time may not move
    EXPECT_EQ(ReadFileText(share.dataSource() + "B.VRN"), QByteArray("b"));
}

struct JoinCase
{
    const char* name;
    QByteArray dir;
    QByteArray joined; // dir joined with "A.vrn"
};

class JoinTable : public ::testing::TestWithParam<JoinCase>
{
};

TEST_P(JoinTable, OneSeparatorBetweenDirectoryAndName)
{
    EXPECT_EQ(SharePath::join(GetParam().dir, "A.vrn").toHex(' '), GetParam().joined.toHex(' ')) << GetParam().name;
}

// 表 is 95 5C and ソ is 83 5C: their trail byte is a backslash that ends no directory.
const QByteArray sep(1, SharePath::nativeSeparator);
INSTANTIATE_TEST_SUITE_P(
    SharePath, JoinTable,
    ::testing::Values(
        JoinCase{"ends in 表", "/srv/" + sjis({0x95, 0x5C}), "/srv/" + sjis({0x95, 0x5C}) + sep + "A.vrn"},
        JoinCase{"ends in ソ", "/srv/" + sjis({0x83, 0x5C}), "/srv/" + sjis({0x83, 0x5C}) + sep + "A.vrn"},
        JoinCase{"表 then a backslash", "C:\\" + sjis({0x95, 0x5C}) + "\\", "C:\\" + sjis({0x95, 0x5C}) + "\\A.vrn"},
        JoinCase{"ends in a slash", "/srv/x/", "/srv/x/A.vrn"},
        JoinCase{"plain name", "/srv/x", "/srv/x" + sep + "A.vrn"}, JoinCase{"no directory", "", "A.vrn"}));

TEST(FileText, MissingFileReadsEmptyAtOnce)
{
    TestShare share;
    int failures = 0;
    EXPECT_TRUE(ReadFileText(share.dataSource() + "NOBODY.vrn", countingPolicy(&failures)).isEmpty());
    EXPECT_EQ(failures, 0);
}

TEST(FileText, GivesUpAfterThreeAttempts)
{
    TestShare share;
    // A directory where a file is expected can be neither read nor replaced, even by root.
    QDir().mkpath(share.realPath() + QStringLiteral("BLOCKED.vrn"));
    int readFailures = 0;
    EXPECT_TRUE(ReadFileText(share.dataSource() + "BLOCKED.vrn", countingPolicy(&readFailures)).isEmpty());
    EXPECT_EQ(readFailures, 2); // waits between the three attempts, none after the last

    int writeFailures = 0;
    EXPECT_FALSE(WriteFileText(share.dataSource() + "BLOCKED.vrn", "x", countingPolicy(&writeFailures)));
    EXPECT_EQ(writeFailures, 2);
}

TEST(FileText, SucceedsWhenTheObstacleGoesAwayBetweenAttempts)
{
    TestShare share;
    const QString blocked = share.realPath() + QStringLiteral("LATE.vrn");
    QDir().mkpath(blocked);
    RetryPolicy policy;
    policy.delayMs = 1;
    policy.beforeRetry = [&](int attempt) {
        if (attempt == 2)
            QDir(blocked).removeRecursively();
    };
    EXPECT_TRUE(WriteFileText(share.dataSource() + "LATE.vrn", "late", policy));
    EXPECT_EQ(share.readBytes(QStringLiteral("LATE.vrn")), QByteArray("late"));
}

TEST(FileText, EmptyBaseNameWritesNothing)
{
    TestShare share;
    EXPECT_FALSE(WriteFileText(share.dataSource(), "x"));
    EXPECT_FALSE(WriteFileText(share.dataSource() + ".vrn", "x"));
    EXPECT_TRUE(QDir(share.realPath()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(FileText, WritingLeavesNoTemporaryFileBehind)
{
    TestShare share;
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(WriteFileText(share.dataSource() + "A.vrn", QByteArray(100 * i, 'x')));
    EXPECT_EQ(QDir(share.realPath()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("A.vrn")});
}

// The content of rewrite number n: its length varies so a torn read shows as a bad tail.
QByteArray rewriteContent(int n)
{
    const QByteArray head = "BEGIN " + QByteArray::number(n) + "\r\n";
    return head + QByteArray(50 + (n * 7919) % 4000, char('a' + n % 26)) + "\r\nEND";
}

bool isWholeRewrite(const QByteArray& text)
{
    if (!text.startsWith("BEGIN ") || !text.endsWith("\r\nEND"))
        return false;
    const int n = text.mid(6, text.indexOf('\r') - 6).toInt();
    return text == rewriteContent(n);
}

// Runs in a child process started by ReadersNeverSeeATornFile.
TEST(FileText, TornReaderChild)
{
    const QByteArray target = qgetenv("VURNA_TORN_TARGET");
    if (target.isEmpty())
        GTEST_SKIP() << "only runs as the reader of ReadersNeverSeeATornFile";
    const QString stop = QString::fromUtf8(qgetenv("VURNA_TORN_STOP"));
    int reads = 0;
    int torn = 0;
    while (!QFile::exists(stop)) {
        const QByteArray text = ReadFileText(target);
        ++reads;
        if (!isWholeRewrite(text) && !(text.isEmpty() && rewriteLeavesAMomentWithoutFile))
            ++torn;
    }
    printf("reads=%d torn=%d\n", reads, torn);
    EXPECT_EQ(torn, 0);
    EXPECT_GT(reads, 0);
}

TEST(FileText, ReadersNeverSeeATornFile)
{
    TestShare share;
    const QByteArray target = share.dataSource() + "TORN.vrn";
    ASSERT_TRUE(WriteFileText(target, rewriteContent(0)));
    const QString stop = share.realPath() + QStringLiteral("stop.flag");

    QProcess reader;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VURNA_TORN_TARGET"), QString::fromLocal8Bit(target));
    env.insert(QStringLiteral("VURNA_TORN_STOP"), stop);
    reader.setProcessEnvironment(env);
    reader.setProcessChannelMode(QProcess::MergedChannels);
    reader.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=FileText.TornReaderChild")});
    ASSERT_TRUE(reader.waitForStarted());

    for (int n = 1; n <= 1000; ++n)
        ASSERT_TRUE(WriteFileText(target, rewriteContent(n)));
    QFile(stop).open(QIODevice::WriteOnly);
    ASSERT_TRUE(reader.waitForFinished(60000));
    const QByteArray output = reader.readAll();
    EXPECT_EQ(reader.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("torn=0")) << output.toStdString();
}

} // namespace
