#include "platform/SingleInstance.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include <windows.h>

// These use the default session: the names that the installer and the updater look for.
namespace {

using RunningCopy = SingleInstance::RunningCopy;

constexpr char NoWindowHint[] = "no top-level window could be made: a Wine without a display needs the null "
                                "driver (HKCU\\Software\\Wine\\Drivers, Graphics=null)";

// Holds "VurnaMutex" on a thread of its own, as another copy of the program would; a mutex
// belongs to a thread, so this one is foreign to the test's thread.
class OtherCopy final
{
public:
    // `dies`: the thread ends without letting go, as a copy that crashed.
    explicit OtherCopy(bool dies) : m_mutex(CreateMutexW(nullptr, FALSE, L"VurnaMutex"))
    {
        std::promise<void> taken;
        std::future<void> hasTaken = taken.get_future();
        std::future<void> mayEnd = m_end.get_future();
        m_thread = std::thread([this, dies, &taken, mayEnd = std::move(mayEnd)] {
            WaitForSingleObject(m_mutex, INFINITE);
            taken.set_value();
            if (dies)
                return;
            mayEnd.wait();
            ReleaseMutex(m_mutex);
        });
        hasTaken.wait();
        if (dies)
            m_thread.join();
    }
    ~OtherCopy()
    {
        if (m_thread.joinable()) {
            m_end.set_value();
            m_thread.join();
        }
        CloseHandle(m_mutex);
    }

private:
    HANDLE m_mutex;
    std::promise<void> m_end;
    std::thread m_thread;
};

// (the other copy died, the updater looks instead of a second start)
class OtherCopyHolds : public ::testing::TestWithParam<std::tuple<bool, bool>>
{
};

TEST_P(OtherCopyHolds, RefusesUnlessItDied)
{
    const auto [died, updater] = GetParam();
    OtherCopy other(died);
    if (updater) {
        EXPECT_EQ(SingleInstance::WaitForRunningCopyToEnd(50), died ? RunningCopy::Gone : RunningCopy::StillRunning);
        return;
    }
    SingleInstance second;
    EXPECT_EQ(second.TryAcquire(), died);
}

INSTANTIATE_TEST_SUITE_P(SingleInstance, OtherCopyHolds, ::testing::Combine(::testing::Bool(), ::testing::Bool()));

TEST(SingleInstance, OwnerAnswersToTheFixedNames)
{
    {
        SingleInstance owner;
        ASSERT_TRUE(owner.TryAcquire());
        ASSERT_TRUE(owner.Listen()) << NoWindowHint;
        // What the installer checks before it replaces the files.
        HANDLE seen = OpenMutexW(SYNCHRONIZE, FALSE, L"VurnaMutex");
        EXPECT_NE(seen, nullptr);
        CloseHandle(seen);

        QSignalSpy woken(&owner, &SingleInstance::WakeupRequested);
        ASSERT_TRUE(PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"VurnaWakeup"), 0, 0));
        EXPECT_TRUE(woken.wait(5000));
    }
    EXPECT_EQ(OpenMutexW(SYNCHRONIZE, FALSE, L"VurnaMutex"), nullptr);
}

TEST(SingleInstance, NameTakenByAnotherKindOfObjectIsUnusable)
{
    HANDLE squatter = CreateEventW(nullptr, TRUE, FALSE, L"VurnaMutex");
    ASSERT_NE(squatter, nullptr);
    EXPECT_EQ(SingleInstance::WaitForRunningCopyToEnd(0), RunningCopy::Unusable);
    EXPECT_FALSE(SingleInstance().TryAcquire());
    CloseHandle(squatter);
}

} // namespace
