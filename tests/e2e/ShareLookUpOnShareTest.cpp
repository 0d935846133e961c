// Names looked up without regard to letter case on a real file server. A file that another PC
// creates, in its own spelling, after this copy has listed the folder must still be found,
// whether the board lives in a folder of the share or in the share's own top folder (which
// smbnetfs reports with the time stamp 0, never changing).
//
// Runs in the folder that VURNA_SMB_SHARE names (tests/e2e/smb_share.py sets it to the mounted
// share), else in a local temporary folder.

#include "platform/Cp932.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct LookUpCase
{
    const char* name;
    bool topFolder; // the share's own top folder rather than a folder inside it
};

class ShareLookUpOnShare : public ::testing::TestWithParam<LookUpCase>
{
protected:
    void TearDown() override
    {
        for (const QString& file : made)
            QFile::remove(file);
    }

    void make(const QString& path)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        made.append(path);
    }

    QStringList made;
};

TEST_P(ShareLookUpOnShare, AFileAnotherPcCreatesLaterIsFound)
{
    const QString root = qEnvironmentVariable("VURNA_SMB_SHARE");
    QTemporaryDir inside(root.isEmpty() ? QDir::tempPath() + QStringLiteral("/lookup-XXXXXX")
                                        : root + QStringLiteral("/lookup-XXXXXX"));
    ASSERT_TRUE(inside.isValid());
    const QString folder = GetParam().topFolder && !root.isEmpty() ? root : inside.path();
    const QString tag = QString::number(QRandomGenerator::global()->generate(), 16);
    const QByteArray upperFolder = SjisText::upperCase(Cp932::fromUnicodeLossy(folder + QLatin1Char('/')));

    make(folder + QStringLiteral("/first") + tag + QStringLiteral(".vrn"));
    ASSERT_TRUE(QFileInfo(SharePath::resolve(upperFolder + "FIRST" + tag.toUpper().toLatin1() + ".VRN")).isFile());

    make(folder + QStringLiteral("/Later") + tag + QStringLiteral(".vrn"));
    const QString found = SharePath::resolve(upperFolder + "LATER" + tag.toUpper().toLatin1() + ".VRN");
    EXPECT_TRUE(QFileInfo(found).isFile()) << found.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, ShareLookUpOnShare,
                         ::testing::Values(LookUpCase{"FolderInsideTheShare", false},
                                           LookUpCase{"TopFolderOfTheShare", true}),
                         [](const ::testing::TestParamInfo<LookUpCase>& info) { return info.param.name; });

} // namespace
