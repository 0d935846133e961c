// The board window while the file server does not answer: the share is served through the
// slowshare pass-through, whose process is stopped as a hung server would be. What runs off the
// window's thread waits; the window goes on handling its events and says why it waits.

#include "MainFixture.h"

#include "platform/SharePath.h"
#include "support/SlowShareMount.h"

#include <QLabel>
#include <QProgressBar>
#include <QTest>

namespace {

class StalledShare : public MainFixture
{
protected:
    void SetUp() override
    {
        addMember(QStringLiteral("yamada"),
                  userFile(QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("山田"), QStringLiteral("営業"), "192.168.10.20"));
        share.writeBytes(QStringLiteral("yamada.mil"), cp932(QStringLiteral("伝言")) + "\r\n");
        mount = std::make_unique<SlowShareMount>(share.realPath(), 0, false);
        if (!mount->skipReason().isEmpty())
            GTEST_SKIP() << mount->skipReason().toStdString();
        const QString served = mount->mountPath() + QLatin1Char('/');
        writeSettings(QStringLiteral("yamada"), QStringLiteral("山田"));
        setSetting(QStringLiteral("ShareDir"), served);
        setSetting(QStringLiteral("FileName"), served + QStringLiteral("yamada"));
        ASSERT_TRUE(start());
    }
    void TearDown() override
    {
        if (mount)
            mount->SetAnswering(true);
        window.reset();
        session.reset();
    }
    QString statusText() const { return child<QLabel>("stsMainText").text(); }

    std::unique_ptr<SlowShareMount> mount;
};

TEST_F(StalledShare, TheMemoCheckWaitsOffTheWindowAndEndsOnceTheServerAnswers)
{
    // The start's own check has found the memo.
    ASSERT_TRUE(QTest::qWaitFor([&] { return state().NewMemo; }, 10000));
    state().NewMemo = false;
    // The names the share spelled a moment ago would answer without asking the server.
    SharePath::clearCache();
    mount->SetAnswering(false);
    emit state().Scheduler.OnCheckMsg();
    // Only an event loop that keeps running can put the report up.
    ASSERT_TRUE(QTest::qWaitFor([&] { return statusText().contains(QStringLiteral("共有ディレクトリが応答しません")); },
                                10000));
    EXPECT_EQ(child<QProgressBar>("prgMain").maximum(), 0) << "the bar shows work of unknown length";
    EXPECT_FALSE(state().NewMemo);

    mount->SetAnswering(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return state().NewMemo; }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return statusText().isEmpty(); }, 10000));
    EXPECT_EQ(child<QProgressBar>("prgMain").maximum(), 100);
}

} // namespace
