#include "platform/Autostart_posix.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ExecCase
{
    QString program;
    QString exec; // as it stands in the file
};

class ExecValue : public ::testing::TestWithParam<ExecCase>
{
};

TEST_P(ExecValue, QuotesAndEscapesAsDesktopEntriesRequire)
{
    EXPECT_EQ(Autostart::execValue(GetParam().program), GetParam().exec);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, ExecValue,
    ::testing::Values(ExecCase{QStringLiteral("/opt/vurna/Vurna3"), QStringLiteral("/opt/vurna/Vurna3")},
                      ExecCase{QStringLiteral("/home/a b/Vurna3"), QStringLiteral("\"/home/a b/Vurna3\"")},
                      ExecCase{QStringLiteral("/opt/100%/Vurna3"), QStringLiteral("/opt/100%%/Vurna3")},
                      ExecCase{QStringLiteral("/opt/\"q\"/Vurna3"), QStringLiteral("\"/opt/\\\\\"q\\\\\"/Vurna3\"")},
                      ExecCase{QStringLiteral("/opt/$x/Vurna3"), QStringLiteral("\"/opt/\\\\$x/Vurna3\"")},
                      ExecCase{QStringLiteral("/opt/a\\b/Vurna3"), QStringLiteral("\"/opt/a\\\\\\\\b/Vurna3\"")},
                      ExecCase{QStringLiteral("/ホーム/掲示板/Vurna3"), QStringLiteral("/ホーム/掲示板/Vurna3")}));

class AutostartEntry : public ::testing::Test
{
protected:
    AutostartEntry() : m_previous(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    }
    ~AutostartEntry() override { qputenv("XDG_CONFIG_HOME", m_previous); }

    QTemporaryDir config;

private:
    QByteArray m_previous;
};

TEST_F(AutostartEntry, CreatedThenRemoved)
{
    QString error;
    EXPECT_FALSE(Autostart::isPresent());
    ASSERT_TRUE(Autostart::create(QStringLiteral("/opt/my apps/Vurna3"), &error)) << error.toStdString();
    EXPECT_TRUE(Autostart::isPresent());
    QFile entry(config.path() + QStringLiteral("/autostart/Vurnaboard.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QByteArray text = entry.readAll();
    EXPECT_TRUE(text.contains("\nExec=\"/opt/my apps/Vurna3\"\n"));
    EXPECT_TRUE(text.contains("\nPath=/opt/my apps\n"));
    ASSERT_TRUE(Autostart::remove(&error));
    EXPECT_FALSE(Autostart::isPresent());
    EXPECT_TRUE(Autostart::remove(&error)); // nothing there is no failure
}

TEST_F(AutostartEntry, AFolderThatCannotBeMadeIsReported)
{
    QFile blocker(config.path() + QStringLiteral("/autostart"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    QString error;
    EXPECT_FALSE(Autostart::create(QStringLiteral("/opt/vurna/Vurna3"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(Autostart::isPresent());
}

} // namespace
