#include "board/UserLoader.h"
#include "platform/Cp932.h"
#include "platform/SjisText.h"
#include "support/BoardFixtures.h"
#include "support/SlowShareMount.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>

namespace {

// A board with everything that has gone wrong on real shares at once: equal readings (listing
// order decides), sort prefixes, stop markers in other letter cases, one name in two cases,
// names with no CP932 form, a huge sparse file, a link to itself that never reads, a folder
// that looks like a member, an empty file.
void fillOddBoard(const TestShare& share)
{
    for (int i = 0; i < 40; ++i) {
        const QString reading = i % 3 == 0 ? QStringLiteral("ｵﾅｼﾞ") : QStringLiteral("ﾒﾝﾊﾞ%1").arg(i % 7);
        share.writeBytes(QStringLiteral("m%1.vrn").arg(i),
                         memberFile(reading, QStringLiteral("N%1").arg(i), QStringLiteral("営業"),
                                    i % 5 == 0 ? QStringLiteral("%1").arg(9 - i % 4) : QString()));
        if (i % 4 == 0)
            share.writeBytes(i % 8 == 0 ? QStringLiteral("M%1.OFF").arg(i) : QStringLiteral("m%1.off").arg(i), "");
    }
    share.writeBytes(QStringLiteral("dup.vrn"), memberFile(QStringLiteral("ｱ"), QStringLiteral("lower")));
    share.writeBytes(QStringLiteral("DUP.VRN"), memberFile(QStringLiteral("ｱ"), QStringLiteral("upper")));
    share.writeBytes(QStringLiteral("山田.vrn"), memberFile(QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("山田")));
    share.writeBytes(QStringLiteral("😀.vrn"), memberFile(QStringLiteral("ｴﾓｼﾞ"), QStringLiteral("emoji")));
    share.writeBytes(QStringLiteral("empty.vrn"), "");
    QFile big(share.realPath() + QStringLiteral("big.vrn"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(2LL * 1024 * 1024 * 1024));
    const QByteArray loop = QFile::encodeName(share.realPath() + QStringLiteral("loop.vrn"));
    ASSERT_EQ(::symlink(loop.constData(), loop.constData()), 0);
    ASSERT_TRUE(QDir(share.realPath()).mkdir(QStringLiteral("folder.vrn")));
}

// The board as the user sees it, with the share's own path taken out of each file name.
QList<QByteArray> shown(const TVurnaDataArray& members, const QByteArray& dataSource)
{
    QList<QByteArray> rows;
    for (const TVurnaDataRec& r : members) {
        QByteArray name = r.FileName;
        if (name.startsWith(dataSource))
            name = "<share>" + name.mid(dataSource.size());
        rows.append(name + '|' + r.Furigana + '|' + r.Name + '|' + r.SortPrefix + '|' + r.Locate + '|' +
                    QByteArray::number(r.StatusIndex) + '|' + (r.Running ? "running" : "stopped") + '|' +
                    QByteArray::number(r.FileTime.toMSecsSinceEpoch()));
    }
    return rows;
}

// Read through a share slow enough that the files are read many at once, the board is the one
// that reading them one after another from the disk gives: same members and order, and the
// files that cannot be read (the link to itself, the huge file) on it as members with empty
// fields and no file time rather than failing the load.
TEST(ParallelLoad, EqualsTheSequentialLoadOnAShareWithOddFiles)
{
    TestShare share;
    fillOddBoard(share);
    SlowShareMount mount(share.realPath(), 2, false);
    if (!mount.skipReason().isEmpty())
        GTEST_SKIP() << mount.skipReason().toStdString();
    const QByteArray slowSource = SjisText::upperCase(Cp932::fromUnicodeLossy(mount.mountPath())) + '/';

    for (const bool sortPriorityOn : {false, true}) {
        TVurnaDataArray sequential, parallel;
        EXPECT_EQ(LoadUserFiles(share.dataSource(), sequential, AllMembers, sortPriorityOn), AllMembersLoaded);
        EXPECT_EQ(LoadUserFiles(slowSource, parallel, AllMembers, sortPriorityOn), AllMembersLoaded);
        EXPECT_EQ(shown(parallel, slowSource), shown(sequential, share.dataSource())) << "priority " << sortPriorityOn;
        for (const QByteArray& unreadable : {QByteArrayLiteral("LOOP"), QByteArrayLiteral("BIG")}) {
            const auto found = std::find_if(parallel.cbegin(), parallel.cend(), [&](const TVurnaDataRec& r) {
                return r.FileName == slowSource + unreadable;
            });
            ASSERT_NE(found, parallel.cend()) << unreadable.toStdString();
            EXPECT_TRUE(found->Furigana.isEmpty() && found->Name.isEmpty()) << unreadable.toStdString();
            EXPECT_FALSE(found->FileTime.isValid()) << unreadable.toStdString();
        }
    }
}

} // namespace
