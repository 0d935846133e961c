#include "platform/FileText.h"
#include "support/TestShare.h"

#include <QDir>
#include <gtest/gtest.h>

#include <windows.h>

// ReplaceFileW renames the old file away before the new one takes its name.
extern const bool rewriteLeavesAMomentWithoutFile = true;

namespace {

struct HeldCase
{
    const char* name;
    DWORD share; // what the program that holds the file open lets others do
    bool replaced;
};

class ReplaceWhileOpen : public ::testing::TestWithParam<HeldCase>
{
};

TEST_P(ReplaceWhileOpen, TheOpenReaderKeepsTheOldFileWhole)
{
    const HeldCase& c = GetParam();
    TestShare share;
    share.writeBytes(QStringLiteral("Yamada.vrn"), "old");
    const HANDLE held =
        ::CreateFileW(reinterpret_cast<const wchar_t*>((share.realPath() + QStringLiteral("Yamada.vrn")).utf16()),
                      GENERIC_READ, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RetryPolicy quick;
    quick.delayMs = 1;

    EXPECT_EQ(WriteFileText(share.dataSource() + "YAMADA.VRN", "new", quick), c.replaced) << c.name;
    char seen[8] = {};
    DWORD n = 0;
    EXPECT_TRUE(::ReadFile(held, seen, sizeof seen, &n, nullptr));
    ::CloseHandle(held);
    EXPECT_EQ(QByteArray(seen, int(n)), "old") << c.name;
    EXPECT_EQ(share.readBytes(QStringLiteral("Yamada.vrn")), c.replaced ? "new" : "old") << c.name;
    // No temporary file or backup stays, and the file keeps its own spelling.
    EXPECT_EQ(QDir(share.realPath()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{QStringLiteral("Yamada.vrn")})
        << c.name;
}

INSTANTIATE_TEST_SUITE_P(FileText, ReplaceWhileOpen,
                         ::testing::Values(HeldCase{"a reader as the board opens files",
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true},
                                           HeldCase{"a reader that denies deleting", FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                    false}));

} // namespace
