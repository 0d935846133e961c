#include "platform/DosAttributes_posix.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/xattr.h>
#include <unistd.h>

namespace {

using DosAttributes::Hidden;
using DosAttributes::Mechanism;

QByteArray le32(quint32 v)
{
    return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF) + char((v >> 16) & 0xFF) + char(v >> 24);
}

const QByteArray nul(1, '\0');
const QByteArray createTime = QByteArray::fromHex("00a1b2c3d4e5d601");
// A version 5 value as Samba writes it, with its creation time.
const QByteArray v5Hidden =
    nul + nul + QByteArray::fromHex("05000500") + nul + nul + le32(0x11) + le32(0x22) + createTime;

bool userXattrsWork(const QString& dir)
{
    const QByteArray probe = QFile::encodeName(dir + QStringLiteral("/probe"));
    QFile(dir + QStringLiteral("/probe")).open(QIODevice::WriteOnly);
    const bool ok = ::setxattr(probe.constData(), "user.probe", "1", 1, 0) == 0;
    ::unlink(probe.constData());
    return ok;
}

QByteArray sambaValue(const QString& path)
{
    char buffer[256];
    const ssize_t n = ::getxattr(QFile::encodeName(path).constData(), "user.DOSATTRIB", buffer, sizeof buffer);
    return n < 0 ? QByteArray() : QByteArray(buffer, n);
}

struct DiskCase
{
    const char* name;
    Mechanism mechanism;
    bool folder;
};

class DiskRoundTrip : public ::testing::TestWithParam<DiskCase>
{
};

TEST_P(DiskRoundTrip, HidesAndShowsAgain)
{
    const DiskCase& c = GetParam();
    QTemporaryDir tmp;
    if (c.mechanism == Mechanism::SambaXattr && !userXattrsWork(tmp.path()))
        GTEST_SKIP() << "the temporary folder's file system keeps no user extended attributes";
    const QString path = tmp.path() + QStringLiteral("/山田さんからのVurna便");
    ASSERT_TRUE(c.folder ? QDir().mkdir(path) : QFile(path).open(QIODevice::WriteOnly));

    const bool markerOnFile = c.mechanism == Mechanism::Marker && !c.folder;
    EXPECT_EQ(DosAttributes::SetHidden(path, true, c.mechanism), !markerOnFile) << c.name;
    EXPECT_EQ(DosAttributes::IsHidden(path, c.mechanism), markerOnFile ? Hidden::Unknown : Hidden::Yes) << c.name;
    EXPECT_EQ(DosAttributes::SetHidden(path, false, c.mechanism), !markerOnFile) << c.name;
    EXPECT_EQ(DosAttributes::IsHidden(path, c.mechanism), markerOnFile ? Hidden::Unknown : Hidden::No) << c.name;
}

INSTANTIATE_TEST_SUITE_P(DosAttributes, DiskRoundTrip,
                         ::testing::Values(DiskCase{"Samba attribute, folder", Mechanism::SambaXattr, true},
                                           DiskCase{"Samba attribute, file", Mechanism::SambaXattr, false},
                                           DiskCase{"marker, folder", Mechanism::Marker, true},
                                           DiskCase{"marker, file", Mechanism::Marker, false}));

TEST(DosAttributes, TogglingKeepsOtherBitsAndLeavesFoldersDirectoryOnly)
{
    QTemporaryDir tmp;
    if (!userXattrsWork(tmp.path()))
        GTEST_SKIP() << "the temporary folder's file system keeps no user extended attributes";
    const QString file = tmp.path() + QStringLiteral("/a.txt");
    const QString folder = tmp.path() + QStringLiteral("/parcel");
    QFile(file).open(QIODevice::WriteOnly);
    QDir().mkdir(folder);
    const QByteArray archiveReadOnly = DosAttributes::FormatSambaDosAttrib(0x21, v5Hidden);
    ASSERT_EQ(::setxattr(QFile::encodeName(file).constData(), "user.DOSATTRIB", archiveReadOnly.constData(),
                         size_t(archiveReadOnly.size()), 0),
              0);

    ASSERT_TRUE(DosAttributes::SetHidden(file, true, Mechanism::SambaXattr));
    EXPECT_EQ(DosAttributes::ParseSambaDosAttrib(sambaValue(file)), 0x23u);
    EXPECT_TRUE(sambaValue(file).contains(createTime)); // Samba's creation time survives
    ASSERT_TRUE(DosAttributes::SetHidden(file, false, Mechanism::SambaXattr));
    EXPECT_EQ(DosAttributes::ParseSambaDosAttrib(sambaValue(file)), 0x21u);

    ASSERT_TRUE(DosAttributes::SetHidden(folder, true, Mechanism::SambaXattr));
    EXPECT_EQ(DosAttributes::ParseSambaDosAttrib(sambaValue(folder)), 0x12u);
    ASSERT_TRUE(DosAttributes::SetHidden(folder, false, Mechanism::SambaXattr));
    EXPECT_EQ(DosAttributes::ParseSambaDosAttrib(sambaValue(folder)), 0x10u);
}

TEST(DosAttributes, ALinkHasNoStateAndIsNeverSet)
{
    QTemporaryDir tmp;
    const QString target = tmp.path() + QStringLiteral("/target");
    const QString link = tmp.path() + QStringLiteral("/link");
    QDir().mkdir(target);
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_EQ(DosAttributes::IsHidden(link), Hidden::Unknown);
    EXPECT_FALSE(DosAttributes::SetHidden(link, true));
    EXPECT_EQ(DosAttributes::IsHidden(target), Hidden::No);
    EXPECT_EQ(DosAttributes::IsHidden(tmp.path() + QStringLiteral("/missing")), Hidden::Unknown);

    // The target itself, through whichever mechanism its file system offers.
    ASSERT_TRUE(DosAttributes::SetHidden(target, true)) << int(DosAttributes::MechanismFor(target));
    EXPECT_EQ(DosAttributes::IsHidden(target), Hidden::Yes);
    EXPECT_EQ(DosAttributes::IsHidden(link), Hidden::Unknown);
}

} // namespace
