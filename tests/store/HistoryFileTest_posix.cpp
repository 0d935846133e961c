#include "store/HistoryFile.h"
#include "support/TestShare.h"

#include <QFile>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

TEST(HistoryFile, AHistoryWithoutReadPermissionIsLeftAlone)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads a file of mode 000 anyway";
    TestShare share;
    share.writeBytes(QStringLiteral("ITO.lst"), "kept");
    QFile::setPermissions(share.realPath() + QStringLiteral("ITO.lst"), QFileDevice::Permissions());
    EXPECT_EQ(HistoryFile::AddToMembers({share.dataSource() + "ITO"}, "new", RetryPolicy{1, 0, {}}), 1);
    QFile::setPermissions(share.realPath() + QStringLiteral("ITO.lst"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(share.readBytes(QStringLiteral("ITO.lst")), "kept");
}

} // namespace
