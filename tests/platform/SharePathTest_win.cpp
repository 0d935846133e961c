#include "platform/SharePath.h"
#include "support/TestShare.h"

#include <gtest/gtest.h>

namespace {

struct FormCase
{
    const char* name;
    QByteArray held; // as the board holds it
    QString real;
};

class WindowsPathForms : public ::testing::TestWithParam<FormCase>
{
};

TEST_P(WindowsPathForms, ResolveTakesThePathAsGiven)
{
    EXPECT_EQ(SharePath::resolve(GetParam().held), GetParam().real) << GetParam().name;
}

// 表 is 95 5C: its trail byte is no separator.
INSTANTIATE_TEST_SUITE_P(SharePath, WindowsPathForms,
                         ::testing::Values(FormCase{"drive", "C:\\SHARE\\YAMADA.vrn",
                                                    QStringLiteral("C:/SHARE/YAMADA.vrn")},
                                           FormCase{"server", "\\\\SRV\\SHARE\\", QStringLiteral("//SRV/SHARE/")},
                                           FormCase{"slashes", "C:/SHARE/A.vrn", QStringLiteral("C:/SHARE/A.vrn")},
                                           FormCase{"表 before a separator", "C:\\" + sjis({0x95, 0x5C}) + "\\A",
                                                    QStringLiteral("C:/表/A")}));

TEST(SharePath, WindowsFormsInMemory)
{
    TestShare share;
    share.writeBytes(QStringLiteral("Yamada.vrn"), "y");
    bool found = false;
    SharePath::resolve(share.dataSource() + "YAMADA.VRN", &found);
    EXPECT_TRUE(found);
    SharePath::resolve(share.dataSource() + "SATO.VRN", &found);
    EXPECT_FALSE(found);
    EXPECT_EQ(SharePath::fromNative(QStringLiteral("C:/Share/A.vrn")), QByteArray("C:\\Share\\A.vrn"));
    EXPECT_EQ(SharePath::join("C:\\SHARE", "A"), QByteArray("C:\\SHARE\\A"));
}

} // namespace
