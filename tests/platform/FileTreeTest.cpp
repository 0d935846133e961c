#include "platform/FileTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

struct FreeNameCase
{
    const char* name;
    QStringList taken;
    QString wanted;
    bool isFolder;
    QString expected;
};

class FreeNames : public ::testing::TestWithParam<FreeNameCase>
{
};

TEST_P(FreeNames, NumbersBeforeTheExtension)
{
    const FreeNameCase& c = GetParam();
    QTemporaryDir tmp;
    for (const QString& name : c.taken)
        write(tmp.path() + QLatin1Char('/') + name, "x");
    EXPECT_EQ(FileTree::FreeName(tmp.path(), c.wanted, c.isFolder), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    FileTree, FreeNames,
    ::testing::Values(FreeNameCase{"free", {}, "a.txt", false, "a.txt"},
                      FreeNameCase{"taken", {"a.txt"}, "a.txt", false, "a (2).txt"},
                      FreeNameCase{"two taken", {"a.txt", "a (2).txt"}, "a.txt", false, "a (3).txt"},
                      FreeNameCase{"taken in other case", {"A.TXT"}, "a.txt", false, "a (2).txt"},
                      FreeNameCase{"folder keeps its dot", {"my.folder"}, "my.folder", true, "my.folder (2)"},
                      FreeNameCase{"leading dot only", {".profile"}, ".profile", false, ".profile (2)"},
                      FreeNameCase{"last dot", {"a.tar.gz"}, "a.tar.gz", false, "a.tar (2).gz"},
                      FreeNameCase{"Japanese", {"報告書.docx"}, "報告書.docx", false, "報告書 (2).docx"}));

TEST(FileTree, CreateUniqueFolderTakesTheNextFreeName)
{
    QTemporaryDir tmp;
    const QString inbox = tmp.path() + QStringLiteral("/share/山田");
    EXPECT_EQ(FileTree::CreateUniqueFolder(inbox, QStringLiteral("x")), inbox + QStringLiteral("/x"));
    EXPECT_EQ(FileTree::CreateUniqueFolder(inbox, QStringLiteral("x")), inbox + QStringLiteral("/x (2)"));
    EXPECT_TRUE(FileTree::CreateUniqueFolder(inbox, QStringLiteral("..")).isEmpty());
    EXPECT_TRUE(FileTree::CreateUniqueFolder(inbox, QStringLiteral("a/b")).isEmpty());
}

} // namespace
