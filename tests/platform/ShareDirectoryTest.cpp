// One open folder of the share: its listing, and where it is opened.

#include "platform/ShareDirectory.h"
#include "support/TestShare.h"

#include <QDir>
#include <QSet>
#include <gtest/gtest.h>

namespace {

TEST(ShareDirectory, ListsAFolderLargerThanOneReadOfItsEntries)
{
    TestShare share;
    QSet<QByteArray> written;
    for (int i = 0; i < 3000; ++i) {
        const QString name = (i % 3 == 0 ? QStringLiteral("山田%1.vrn") : QStringLiteral("member%1.vrn")).arg(i);
        share.writeBytes(name, "x");
        written.insert(cp932(name));
    }
    ASSERT_TRUE(QDir(share.realPath()).mkdir(QStringLiteral("inbox")));
    const ShareDirectory folder(share.dataSource());
    ASSERT_TRUE(folder.isOpen());
    QSet<QByteArray> listed;
    for (const ShareDirectory::Entry& e : folder.entries()) {
        EXPECT_EQ(e.isDirectory, e.name == "inbox") << e.name.toStdString();
        if (!e.isDirectory)
            listed.insert(e.name);
    }
    EXPECT_EQ(listed, written);
}

TEST(ShareDirectory, AFolderRememberedWhereItIsNoLongerIsLookedForAfresh)
{
    TestShare share;
    share.writeBytes(QStringLiteral("a.vrn"), "");
    const ShareDirectory moved(share.dataSource(), share.realPath() + QStringLiteral("gone/"));
    ASSERT_TRUE(moved.isOpen());
    EXPECT_EQ(moved.entries().size(), 1);
    EXPECT_EQ(QDir(moved.realPath()), QDir(share.realPath()));
}

} // namespace
