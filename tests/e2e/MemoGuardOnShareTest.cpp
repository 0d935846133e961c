// The memo guard on a real file server. On an SMB share a file that another program has open
// cannot be deleted (the server refuses while the open lasts), and copies waiting for the guard
// open it many times a second to read who holds it. Letting go of the guard must still leave
// nothing behind, and the same copy must be able to take it again.
//
// Runs in the folder that VURNA_SMB_SHARE names (tests/e2e/smb_share.py sets it to the mounted
// share), else in a local temporary folder.

#include "platform/Cp932.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"
#include "store/MemoLock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

struct GuardCase
{
    const char* name;
    int readMs;      // another copy has the guard open this long as it is let go (0: nobody)
    bool leftBehind; // the reader outlasts every retry of the removal
};

class MemoGuardOnShare : public ::testing::TestWithParam<GuardCase>
{
protected:
    void SetUp() override
    {
        const QString root = qEnvironmentVariable("VURNA_SMB_SHARE");
        folder = root.isEmpty() ? std::make_unique<QTemporaryDir>()
                                : std::make_unique<QTemporaryDir>(root + QStringLiteral("/memo-guard-XXXXXX"));
        ASSERT_TRUE(folder->isValid());
        member = SjisText::upperCase(Cp932::fromUnicodeLossy(folder->path() + QStringLiteral("/suzuki")));
        // Spelled as the program spells it: a file server client may remember a name spelled
        // otherwise as present for a while after the file went.
        guardFile = SharePath::resolve(MemoLock::lockPath(member));
    }

    std::unique_ptr<QTemporaryDir> folder;
    QByteArray member;
    QString guardFile;
};

TEST_P(MemoGuardOnShare, LettingGoLeavesNoGuardAndTheGuardCanBeTakenAgain)
{
    MemoLockPolicy quick;
    quick.staleMs = 1000;
    quick.maxWaitMs = 8000;
    std::thread reader;
    {
        MemoLock lock(member, quick);
        ASSERT_EQ(lock.acquire(), MemoLock::Result::Acquired);
        if (GetParam().readMs > 0) {
            auto waiter = std::make_shared<QFile>(guardFile);
            ASSERT_TRUE(waiter->open(QIODevice::ReadOnly));
            reader = std::thread([waiter, ms = GetParam().readMs] {
                std::this_thread::sleep_for(std::chrono::milliseconds(ms));
                waiter->close();
            });
        }
        lock.release();
    }
    if (reader.joinable())
        reader.join();
    // Only a file server that refuses to delete an open file leaves the guard behind.
    if (!GetParam().leftBehind) {
        EXPECT_FALSE(QFile::exists(guardFile)) << "guard left behind";
    }

    // Even a guard this program left behind is no reason to refuse its next memo.
    MemoLock again(member, quick);
    EXPECT_EQ(again.acquire(), MemoLock::Result::Acquired);
    again.release();
    EXPECT_FALSE(QFile::exists(guardFile));
}

INSTANTIATE_TEST_SUITE_P(Cases, MemoGuardOnShare,
                         ::testing::Values(GuardCase{"NobodyReading", 0, false},
                                           GuardCase{"AnotherCopyReadingForAMoment", 300, false},
                                           GuardCase{"AReaderOutlastingTheRelease", 3000, true}),
                         [](const ::testing::TestParamInfo<GuardCase>& info) { return info.param.name; });

} // namespace
