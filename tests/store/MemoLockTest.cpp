#include "store/MemoLock.h"
#include "store/MemoFiles.h"
#include "support/TestShare.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

MemoFiles::Policy quickPolicy()
{
    MemoFiles::Policy policy;
    policy.files.delayMs = 1;
    policy.lock.maxPauseMs = 2;
    return policy;
}

// A guard left by another copy.
void placeForeignGuard(const TestShare& share, const QByteArray& content = "otherhost 4242 abc 1\r\n")
{
    share.writeBytes(QStringLiteral("YAMADA.mil.lock"), content);
}

TEST(MemoLock, WaitsForAnotherCopyAndThenAdds)
{
    TestShare share;
    share.writeBytes(QStringLiteral("YAMADA.mil"), "A\r\n\r\n\r\n");
    placeForeignGuard(share);
    MemoFiles::Policy policy = quickPolicy();
    int pauses = 0;
    policy.lock.beforePause = [&](int failedTry) {
        ++pauses;
        // While the other copy holds the guard, the unread file stays as it was.
        EXPECT_EQ(share.readBytes(QStringLiteral("YAMADA.mil")), QByteArray("A\r\n\r\n\r\n"));
        if (failedTry == 3)
            QFile::remove(share.realPath() + QStringLiteral("YAMADA.mil.lock"));
    };
    ASSERT_TRUE(MemoFiles::AddMemo(share.dataSource() + "YAMADA", "B", policy));
    EXPECT_EQ(pauses, 3);
    EXPECT_EQ(share.readBytes(QStringLiteral("YAMADA.mil")), QByteArray("B\r\n\r\n\r\nA\r\n\r\n\r\n"));
    EXPECT_FALSE(share.exists(QStringLiteral("YAMADA.mil.lock")));
}

TEST(MemoLock, GuardOfACrashedCopyIsBrokenOnceStale)
{
    TestShare share;
    placeForeignGuard(share);
    MemoFiles::Policy policy = quickPolicy();
    policy.lock.staleMs = 0; // unchanged since the first look counts as stale
    ASSERT_TRUE(MemoFiles::AddMemo(share.dataSource() + "YAMADA", "B", policy));
    EXPECT_EQ(share.readBytes(QStringLiteral("YAMADA.mil")), QByteArray("B\r\n\r\n\r\n"));
    // Neither the guard nor the copy moved aside to break it is left behind.
    EXPECT_EQ(QDir(share.realPath()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("YAMADA.mil")});
}

TEST(MemoLock, ALiveGuardIsNotBrokenAndTheMemoIsReportedUnsent)
{
    TestShare share;
    share.writeBytes(QStringLiteral("YAMADA.mil"), "A\r\n\r\n\r\n");
    placeForeignGuard(share);
    MemoFiles::Policy policy = quickPolicy();
    policy.lock.maxWaitMs = 30;
    EXPECT_FALSE(MemoFiles::AddMemo(share.dataSource() + "YAMADA", "B", policy));
    EXPECT_EQ(share.readBytes(QStringLiteral("YAMADA.mil")), QByteArray("A\r\n\r\n\r\n"));
    EXPECT_EQ(share.readBytes(QStringLiteral("YAMADA.mil.lock")), QByteArray("otherhost 4242 abc 1\r\n"));
}

// A guard that stands unchanged is judged by the stale time alone: the refusal time is for a
// guard that can be neither made nor found. Each row's guard is about maxWaitMs old at the end.
struct GuardAgeCase
{
    const char* name;
    int refusedMs;
    int staleMs;
    MemoLock::Result result;
};

class GuardAge : public ::testing::TestWithParam<GuardAgeCase>
{
};

TEST_P(GuardAge, OnlyAGuardOlderThanTheStaleTimeIsTakenOver)
{
    TestShare share;
    placeForeignGuard(share);
    MemoLockPolicy policy;
    policy.maxPauseMs = 2;
    policy.maxWaitMs = 200;
    policy.refusedMs = GetParam().refusedMs;
    policy.staleMs = GetParam().staleMs;
    MemoLock lock(share.dataSource() + "YAMADA", policy);
    EXPECT_EQ(lock.acquire(), GetParam().result) << GetParam().name;
    EXPECT_EQ(share.readBytes(QStringLiteral("YAMADA.mil.lock")) == "otherhost 4242 abc 1\r\n",
              GetParam().result == MemoLock::Result::TimedOut);
}

INSTANTIATE_TEST_SUITE_P(
    MemoLock, GuardAge,
    ::testing::Values(GuardAgeCase{"past the refusal time only", 0, 3600000, MemoLock::Result::TimedOut},
                      GuardAgeCase{"past the stale time only", 3600000, 0, MemoLock::Result::Acquired}));

TEST(MemoLock, AShareThatTakesNoGuardIsReportedWithoutWaitingOutAHolderThatIsNotThere)
{
    // No guard can be made where the folder is gone, as on a full or read-only disk; the whole
    // wait would stall the window for a minute per memo.
    TestShare share;
    MemoLockPolicy policy;
    policy.maxPauseMs = 2;
    policy.refusedMs = 0;
    MemoLock lock(share.dataSource() + "GONE/YAMADA", policy);
    EXPECT_EQ(lock.acquire(), MemoLock::Result::Refused);
}

TEST(MemoLock, AGuardThatChangesIsNeverStale)
{
    TestShare share;
    placeForeignGuard(share, "x 1 a 0\r\n");
    MemoFiles::Policy policy = quickPolicy();
    policy.lock.staleMs = 0;
    int lastTry = 0;
    policy.lock.beforePause = [&](int failedTry) {
        lastTry = failedTry;
        // Other copies take the guard again and again: a broken guard would let this
        // writer through at its second try, but it has to wait until the guard is gone.
        placeForeignGuard(share, "x 1 a " + QByteArray::number(failedTry) + "\r\n");
        if (failedTry == 5)
            QFile::remove(share.realPath() + QStringLiteral("YAMADA.mil.lock"));
    };
    ASSERT_TRUE(MemoFiles::AddMemo(share.dataSource() + "YAMADA", "B", policy));
    EXPECT_EQ(lastTry, 5);
}

TEST(MemoLock, ANestedCallOnTheSameBoardFailsAtOnceInsteadOfWaitingForItself)
{
    TestShare share;
    const QByteArray p = share.dataSource() + "YAMADA";
    MemoLock outer(p);
    ASSERT_EQ(outer.acquire(), MemoLock::Result::Acquired);
    MemoFiles::Policy policy = quickPolicy();
    int pauses = 0;
    policy.lock.beforePause = [&](int) { ++pauses; };
    EXPECT_FALSE(MemoFiles::AddMemo(p, "B", policy));
    EXPECT_EQ(pauses, 0);
    EXPECT_FALSE(MemoFiles::TakeInOwnMemos(p, policy).movedToRead);
    outer.release();
    EXPECT_FALSE(share.exists(QStringLiteral("YAMADA.mil.lock")));
    EXPECT_TRUE(MemoFiles::AddMemo(p, "B", policy));
}

TEST(MemoLock, ReleaseLeavesAGuardThatIsNoLongerOurs)
{
    TestShare share;
    MemoLock lock(share.dataSource() + "YAMADA");
    ASSERT_EQ(lock.acquire(), MemoLock::Result::Acquired);
    placeForeignGuard(share, "after a break\r\n");
    lock.release();
    EXPECT_EQ(share.readBytes(QStringLiteral("YAMADA.mil.lock")), QByteArray("after a break\r\n"));
}

// --- Several processes against one memo board -------------------------------------------

constexpr int memosPerWriter = 200;
constexpr int writers = 4;

QByteArray memoText(int writer, int n)
{
    return cp932(QStringLiteral("○送信者%1より(伝言)     送信日時: 2024年 4月1日(月) 9時5分").arg(writer)) +
           "\r\n\r\nMEMO " + QByteArray::number(writer) + "-" + QByteArray::number(n) + "\r\n" +
           cp932(QStringLiteral("本文の二行目"));
}

// Runs in the child processes started by NoMemoIsLostBetweenWritersAndTakeIn.
TEST(MemoLock, WriterChild)
{
    const QByteArray target = qgetenv("VURNA_MEMO_TARGET");
    if (target.isEmpty())
        GTEST_SKIP() << "only runs as a writer of NoMemoIsLostBetweenWritersAndTakeIn";
    const int writer = qEnvironmentVariableIntValue("VURNA_MEMO_WRITER");
    const QString go = QString::fromUtf8(qgetenv("VURNA_MEMO_GO"));
    while (!QFile::exists(go))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    MemoFiles::Policy policy;
    policy.files.delayMs = 5;
    for (int n = 0; n < memosPerWriter; ++n) {
        ASSERT_TRUE(MemoFiles::AddMemo(target, memoText(writer, n), policy)) << "memo " << n;
        // A sender lets events run between memos; the short pause also gives the member's
        // take-in its turns at the guard, so that both sides really interleave.
        QCoreApplication::processEvents();
        QThread::usleep(500);
    }
}

TEST(MemoLock, NoMemoIsLostBetweenWritersAndTakeIn)
{
    TestShare share;
    const QByteArray p = share.dataSource() + "YAMADA";
    const QString go = share.realPath() + QStringLiteral("../go.flag");

    std::vector<std::unique_ptr<QProcess>> children;
    for (int w = 0; w < writers; ++w) {
        auto child = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VURNA_MEMO_TARGET"), QString::fromLocal8Bit(p));
        env.insert(QStringLiteral("VURNA_MEMO_WRITER"), QString::number(w));
        env.insert(QStringLiteral("VURNA_MEMO_GO"), go);
        child->setProcessEnvironment(env);
        child->setProcessChannelMode(QProcess::MergedChannels);
        child->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=MemoLock.WriterChild")});
        ASSERT_TRUE(child->waitForStarted());
        children.push_back(std::move(child));
    }
    QFile(go).open(QIODevice::WriteOnly);

    // The member reads their memos over and over while the others write.
    MemoFiles::Policy policy;
    policy.files.delayMs = 5;
    int moves = 0;
    auto running = [&] {
        bool any = false;
        for (const auto& child : children) {
            // Also lets this process notice a child's end.
            if (child->state() != QProcess::NotRunning && !child->waitForFinished(1))
                any = true;
        }
        return any;
    };
    while (running()) {
        if (MemoFiles::TakeInOwnMemos(p, policy).movedToRead)
            ++moves;
    }
    if (MemoFiles::TakeInOwnMemos(p, policy).movedToRead)
        ++moves;

    for (const auto& child : children) {
        const QByteArray output = child->readAll();
        EXPECT_EQ(child->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child->exitCode(), 0) << output.toStdString();
    }
    printf("take-ins that moved memos: %d\n", moves);
    EXPECT_GE(moves, 2) << "the take-ins never overlapped the writers";

    // Every memo stands exactly once in the unread or the read board.
    QHash<QByteArray, int> seen;
    const QList<QByteArray> lines = MemoFiles::splitLines(share.readBytes(QStringLiteral("YAMADA.mil")) +
                                                          share.readBytes(QStringLiteral("YAMADA.old")));
    for (const QByteArray& line : lines) {
        if (line.startsWith("MEMO "))
            ++seen[line];
    }
    for (int w = 0; w < writers; ++w) {
        for (int n = 0; n < memosPerWriter; ++n) {
            const QByteArray key = "MEMO " + QByteArray::number(w) + "-" + QByteArray::number(n);
            EXPECT_EQ(seen.value(key), 1) << key.toStdString();
        }
    }
    EXPECT_EQ(seen.size(), writers * memosPerWriter);
    EXPECT_FALSE(share.exists(QStringLiteral("YAMADA.mil.lock")));
    EXPECT_EQ(QDir(share.realPath()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("YAMADA.old")});
}

} // namespace
