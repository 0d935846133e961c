#include "platform/DosAttributes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <windows.h>

namespace {

using DosAttributes::Hidden;

DWORD attributesOf(const QString& path)
{
    return ::GetFileAttributesW(reinterpret_cast<const wchar_t*>(path.utf16()));
}

struct AttributeCase
{
    const char* name;
    bool folder;
    DWORD before; // set on the new entry
    DWORD hidden; // after SetHidden(true)
    DWORD shown;  // after SetHidden(false)
};

class WindowsHiddenAttribute : public ::testing::TestWithParam<AttributeCase>
{
};

TEST_P(WindowsHiddenAttribute, SetClearedAndRead)
{
    const AttributeCase& c = GetParam();
    QTemporaryDir tmp;
    const QString path = tmp.path() + QStringLiteral("/山田さんからのVurna便");
    ASSERT_TRUE(c.folder ? QDir().mkdir(path) : QFile(path).open(QIODevice::WriteOnly));
    ASSERT_TRUE(
        ::SetFileAttributesW(reinterpret_cast<const wchar_t*>(path.utf16()), c.before & ~FILE_ATTRIBUTE_DIRECTORY));
    ASSERT_EQ(attributesOf(path), c.before) << c.name;
    EXPECT_EQ(DosAttributes::IsHidden(path), Hidden::No) << c.name;

    EXPECT_TRUE(DosAttributes::SetHidden(path, true)) << c.name;
    EXPECT_EQ(attributesOf(path), c.hidden) << c.name;
    EXPECT_EQ(DosAttributes::IsHidden(path), Hidden::Yes) << c.name;
    EXPECT_TRUE(DosAttributes::SetHidden(path, false)) << c.name;
    EXPECT_EQ(attributesOf(path), c.shown) << c.name;
    EXPECT_EQ(DosAttributes::IsHidden(path), Hidden::No) << c.name;
    ::SetFileAttributesW(reinterpret_cast<const wchar_t*>(path.utf16()), FILE_ATTRIBUTE_NORMAL);
}

constexpr DWORD A = FILE_ATTRIBUTE_ARCHIVE;
constexpr DWORD R = FILE_ATTRIBUTE_READONLY;
constexpr DWORD H = FILE_ATTRIBUTE_HIDDEN;
constexpr DWORD D = FILE_ATTRIBUTE_DIRECTORY;
constexpr DWORD S = FILE_ATTRIBUTE_SYSTEM;

INSTANTIATE_TEST_SUITE_P(DosAttributes, WindowsHiddenAttribute,
                         ::testing::Values(AttributeCase{"file", false, A, A | H, A},
                                           AttributeCase{"read-only file keeps its bits", false, R | A, R | A | H,
                                                         R | A},
                                           AttributeCase{"folder shown is directory only", true, D | S, D | S | H, D}));

TEST(DosAttributes, NothingThereIsUnknownAndNeverSet)
{
    QTemporaryDir tmp;
    EXPECT_EQ(DosAttributes::IsHidden(tmp.path() + QStringLiteral("/missing")), Hidden::Unknown);
    EXPECT_FALSE(DosAttributes::SetHidden(tmp.path() + QStringLiteral("/missing"), true));
}

} // namespace
