// The minute's reload on a file server (slowshare): one listing, and a request only for what
// changed. A stat of each file of its own would be a round trip per member.

#include "board/UserLoader.h"
#include "platform/Cp932.h"
#include "platform/SjisText.h"
#include "support/BoardFixtures.h"
#include "support/SlowShareMount.h"

#include <QDateTime>
#include <QFile>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace {

constexpr int members = 40;

struct ServerChange
{
    const char* label;
    std::function<void(const TestShare&)> change; // from another PC, straight into the server's disk
    quint64 opens;
};
void PrintTo(const ServerChange& c, std::ostream* out)
{
    *out << c.label;
}
class ChangedFilesOnAServer : public ::testing::TestWithParam<ServerChange>
{
};

TEST_P(ChangedFilesOnAServer, ListsOnceAndOpensOnlyWhatChanged)
{
    TestShare share;
    const QDateTime anHourAgo = QDateTime::currentDateTimeUtc().addSecs(-3600);
    for (int i = 0; i < members; ++i) {
        const QString name = QStringLiteral("m%1.vrn").arg(i);
        share.writeBytes(name, memberFile(QStringLiteral("ﾒﾝﾊﾞ%1").arg(i), QStringLiteral("N%1").arg(i)));
        QFile f(share.realPath() + name);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite) && f.setFileTime(anHourAgo, QFileDevice::FileModificationTime));
        if (i % 4 == 0)
            share.writeBytes(QStringLiteral("m%1.off").arg(i), "");
    }
    SlowShareMount mount(share.realPath(), 0, false);
    if (!mount.skipReason().isEmpty())
        GTEST_SKIP() << mount.skipReason().toStdString();
    const QByteArray source = SjisText::upperCase(Cp932::fromUnicodeLossy(mount.mountPath())) + '/';
    TVurnaDataArray board;
    LoadedFiles loaded;
    LoadAllMembers(source, board, false, loaded);

    GetParam().change(share);
    const QMap<QString, quint64> before = mount.operationCounts();
    ReloadChangedMembers(source, board, false, loaded);
    const QMap<QString, quint64> after = mount.operationCounts();
    const auto done = [&](const char* op) { return after.value(QLatin1String(op)) - before.value(QLatin1String(op)); };
    EXPECT_EQ(done("open"), GetParam().opens);
    EXPECT_EQ(done("opendir"), 1u);
    EXPECT_LT(done("getattr"), quint64(members / 2)) << "a look at each file of its own";

    TVurnaDataArray full;
    LoadUserFiles(source, full, AllMembers, false);
    EXPECT_EQ(board, full);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ChangedFilesOnAServer,
    ::testing::Values(ServerChange{"nothing", [](const TestShare&) {}, 0},
                      ServerChange{"one member rewrote his file",
                                   [](const TestShare& s) {
                                       s.writeBytes(QStringLiteral("m7.vrn"),
                                                    memberFile(QStringLiteral("ｱ"), QStringLiteral("renamed"),
                                                               QStringLiteral("総務")));
                                   },
                                   1},
                      ServerChange{"one member left and another started",
                                   [](const TestShare& s) {
                                       ASSERT_TRUE(QFile::remove(s.realPath() + QStringLiteral("m3.vrn")));
                                       ASSERT_TRUE(QFile::remove(s.realPath() + QStringLiteral("m4.off")));
                                   },
                                   0}),
    [](const auto& info) { return std::to_string(info.index); });

} // namespace
