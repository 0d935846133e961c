#include "platform/SharePath.h"
#include "support/TestShare.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// What a share on a case-sensitive server does between two look-ups of the same names, and
// what each look-up must find afterwards: remembered folders and listings never hide a change.
struct Change
{
    const char* label;
    std::function<void(const QString& root)> change;
    const char* path; // as held in memory, below the share's parent
    const char* real; // expected, below the share's parent; empty: not found
};

class ResolveAfterAChange : public ::testing::TestWithParam<Change>
{
};

TEST_P(ResolveAfterAChange, FindsWhatIsThereNow)
{
    TestShare parent(QStringLiteral("Parent"));
    const QString root = parent.realPath();
    QDir().mkpath(root + QStringLiteral("Board"));
    parent.writeBytes(QStringLiteral("Board/Yamada.vrn"), "y");
    parent.writeBytes(QStringLiteral("Board/Suzuki.off"), "");
    const QByteArray held = parent.dataSource();
    // Everything looked up once, so the folder and its listing are remembered.
    for (const char* name : {"BOARD/YAMADA.vrn", "BOARD/SUZUKI.off", "BOARD/SATO.off", GetParam().path})
        SharePath::resolve(held + name);

    GetParam().change(root);
    bool found = false;
    const QString resolved = SharePath::resolve(held + GetParam().path, &found);
    const QString expected = QString::fromUtf8(GetParam().real);
    EXPECT_EQ(found, !expected.isEmpty());
    if (!expected.isEmpty()) {
        EXPECT_EQ(resolved, root + expected);
    }
}

void rename(const QString& root, const char* from, const char* to)
{
    ASSERT_TRUE(QDir(root).rename(QString::fromUtf8(from), QString::fromUtf8(to))) << from;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ResolveAfterAChange,
    ::testing::Values(
        Change{"NothingChanged", [](const QString&) {}, "BOARD/YAMADA.vrn", "Board/Yamada.vrn"},
        Change{"AbsentStaysAbsent", [](const QString&) {}, "BOARD/SATO.off", ""},
        Change{"FileRespelled", [](const QString& r) { rename(r, "Board/Yamada.vrn", "Board/yamada.VRN"); },
               "BOARD/YAMADA.vrn", "Board/yamada.VRN"},
        Change{"MarkerRemoved", [](const QString& r) { QFile::remove(r + QStringLiteral("Board/Suzuki.off")); },
               "BOARD/SUZUKI.off", ""},
        Change{"MarkerCreatedInAnotherCase",
               [](const QString& r) { QFile(r + QStringLiteral("Board/sato.OFF")).open(QIODevice::WriteOnly); },
               "BOARD/SATO.off", "Board/sato.OFF"},
        Change{"FolderRespelled",
               [](const QString& r) { rename(r, "Board", "BOARD-old"), rename(r, "BOARD-old", "board"); },
               "BOARD/YAMADA.vrn", "board/Yamada.vrn"},
        Change{"FolderGone", [](const QString& r) { QDir(r + QStringLiteral("Board")).removeRecursively(); },
               "BOARD/YAMADA.vrn", ""}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
