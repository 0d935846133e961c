#include "platform/FileTree.h"
#include "support/TestShare.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <functional>

namespace {

std::wstring native(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// A junction at `link` to the folder `target`, as any user may make one. False where the file
// system keeps no reparse points (Wine's does not).
bool makeJunction(const QString& link, const QString& target)
{
    // REPARSE_DATA_BUFFER of a mount point: tag, data length, reserved, then the offsets and
    // lengths of the substitute and print names, which follow, each with its NUL.
    const std::wstring names = L"\\??\\" + native(target) + L'\0' + native(target) + L'\0';
    const WORD substituteBytes = WORD(names.find(L'\0') * sizeof(wchar_t));
    const WORD printBytes = WORD(native(target).size() * sizeof(wchar_t));
    const WORD header[6] = {WORD(8 + names.size() * sizeof(wchar_t)), 0,         0, substituteBytes,
                            WORD(substituteBytes + sizeof(wchar_t)),  printBytes};
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    QByteArray buffer =
        QByteArray(reinterpret_cast<const char*>(&tag), 4) + QByteArray(reinterpret_cast<const char*>(header), 12) +
        QByteArray(reinterpret_cast<const char*>(names.data()), qsizetype(names.size() * sizeof(wchar_t)));
    if (!::CreateDirectoryW(native(link).c_str(), nullptr))
        return false;
    const HANDLE h = ::CreateFileW(native(link).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    DWORD returned = 0;
    const bool made =
        h != INVALID_HANDLE_VALUE && ::DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, buffer.data(), DWORD(buffer.size()),
                                                       nullptr, 0, &returned, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        ::CloseHandle(h);
    if (!made)
        ::RemoveDirectoryW(native(link).c_str());
    return made;
}

// A parcel whose folder 写真 holds a junction 外へ to a folder outside it.
struct Tree
{
    QString root;
    QString parcel = root + QStringLiteral("/parcel");
    QString link = parcel + QStringLiteral("/写真/外へ");
    QString outside = root + QStringLiteral("/outside");
};

struct LinkCase
{
    const char* name;
    std::function<void(const Tree&)> check;
};

class ReparsePoints : public ::testing::TestWithParam<LinkCase>
{
};

TEST_P(ReparsePoints, AreNeverFollowed)
{
    QTemporaryDir tmp;
    const Tree t{tmp.path()};
    writeFile(t.parcel + QStringLiteral("/報告書.txt"), "report");
    writeFile(t.outside + QStringLiteral("/secret.txt"), "outside");
    QDir().mkpath(t.parcel + QStringLiteral("/写真"));
    if (!makeJunction(t.link, t.outside))
        GTEST_SKIP() << "no junction can be made here (Wine keeps no reparse points)";
    GetParam().check(t);
    EXPECT_EQ(readFile(t.outside + QStringLiteral("/secret.txt")), QByteArray("outside")) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    FileTree, ReparsePoints,
    ::testing::Values(LinkCase{"copy leaves the junction out and lists it",
                               [](const Tree& t) {
                                   const FileTree::Result r =
                                       FileTree::Copy(t.parcel, t.root + QStringLiteral("/copy"));
                                   EXPECT_TRUE(r.ok) << r.error.toStdString();
                                   EXPECT_EQ(r.skippedLinks, QStringList{t.link});
                                   EXPECT_EQ(readFile(t.root + QStringLiteral("/copy/報告書.txt")),
                                             QByteArray("report"));
                                   EXPECT_FALSE(QFileInfo::exists(t.root + QStringLiteral("/copy/写真/外へ")));
                               }},
                      LinkCase{"a junction given to copy copies nothing",
                               [](const Tree& t) {
                                   EXPECT_FALSE(FileTree::Copy(t.link, t.root + QStringLiteral("/copy")).ok);
                                   EXPECT_FALSE(QFileInfo::exists(t.root + QStringLiteral("/copy")));
                               }},
                      LinkCase{"remove takes the junction, never its target",
                               [](const Tree& t) {
                                   EXPECT_TRUE(FileTree::Remove(t.parcel));
                                   EXPECT_FALSE(QFileInfo::exists(t.parcel));
                               }},
                      LinkCase{"nothing through a junction is inside", [](const Tree& t) {
                                   EXPECT_TRUE(FileTree::IsInside(t.parcel, t.link));
                                   EXPECT_FALSE(FileTree::IsInside(t.parcel, t.link + QStringLiteral("/secret.txt")));
                               }}));

TEST(FileTree, CopyKeepsTimesAndAttributesAndRemoveTakesReadOnlyFiles)
{
    QTemporaryDir tmp;
    const QString file = tmp.path() + QStringLiteral("/parcel/写真/a.txt");
    writeFile(file, "a");
    const QDateTime stamp = QDateTime::fromSecsSinceEpoch(1700000000);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::Append) && f.setFileTime(stamp, QFileDevice::FileModificationTime));
    f.close();
    const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
    ASSERT_TRUE(::SetFileAttributesW(native(file).c_str(), kept));

    const QString copy = tmp.path() + QStringLiteral("/copy");
    const FileTree::Result r = FileTree::Copy(tmp.path() + QStringLiteral("/parcel"), copy);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(::GetFileAttributesW(native(copy + QStringLiteral("/写真/a.txt")).c_str()), kept);
    EXPECT_EQ(QFileInfo(copy + QStringLiteral("/写真/a.txt")).lastModified(), stamp);
    EXPECT_TRUE(FileTree::Remove(copy));
    EXPECT_FALSE(QFileInfo::exists(copy));
    ::SetFileAttributesW(native(file).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FileTree, AFileHeldByAnotherProgramFailsTheCopyAndLeavesNoPartialTarget)
{
    QTemporaryDir tmp;
    writeFile(tmp.path() + QStringLiteral("/parcel/報告書.txt"), "report");
    const QString locked = tmp.path() + QStringLiteral("/parcel/写真/大きい.bin");
    writeFile(locked, QByteArray(200000, 'p'));
    const HANDLE held = ::CreateFileW(native(locked).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const FileTree::Result r =
        FileTree::Copy(tmp.path() + QStringLiteral("/parcel"), tmp.path() + QStringLiteral("/copy"));
    ::CloseHandle(held);

    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains(QStringLiteral("大きい.bin"))) << r.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(tmp.path() + QStringLiteral("/copy")));
    EXPECT_EQ(readFile(locked), QByteArray(200000, 'p'));
}

} // namespace
