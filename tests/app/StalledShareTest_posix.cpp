// The board window while the file server does not answer: the share is served through the
// slowshare pass-through, whose process is stopped as a hung server would be. What runs off the
// window's thread waits; the window goes on handling its events and says why it waits.

#include "StalledActions.h"
#include "StoppableServer.h"

#include "platform/SharePath.h"
#include "store/FilterFile.h"
#include "store/ui/TQuaxoRichEdit.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <thread>

namespace {

class StalledShare : public StoppableServer
{
protected:
    void SetUp() override
    {
        addMember(QStringLiteral("yamada"),
                  userFile(QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("山田"), QStringLiteral("営業"), "192.168.10.20"));
        share.writeBytes(QStringLiteral("yamada.mil"), cp932(QStringLiteral("伝言")) + "\r\n");
        ServeAndStart();
    }
    QString statusText() const { return child<QLabel>("stsMainText").text(); }
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

TEST_F(StalledShare, AnEndWhileTheServerDoesNotAnswerEndsAndTheNextStartWritesWhatWasKept)
{
    state().OwnBoard().Filter.StatusFilterOn = true;
    const QByteArray filter = FilterFile::Build(state().Boards);
    // A line typed on the memo board just before the end.
    window->SwitchPage(&child<QWidget>("tabDengon"));
    settle();
    auto& memoBoard = child<TQuaxoRichEdit>("rchDengonOwner");
    memoBoard.moveCursor(QTextCursor::End);
    QTest::keyClicks(&memoBoard, QStringLiteral("see you at 3"));
    const QDir kept(session->Settings().UnwrittenFolder());
    SharePath::clearCache();
    mount->SetAnswering(false);
    // Log-off must never hang: the end returns while the server still does not answer.
    window->Quit();
    EXPECT_TRUE(session->HasEnded());
    EXPECT_FALSE(kept.entryList(QDir::Files).isEmpty()) << "the filter file was lost";
    window.reset();
    session.reset();

    mount->SetAnswering(true);
    ASSERT_TRUE(start());
    EXPECT_EQ(readShareFile(QStringLiteral("yamada.ftr")), filter);
    EXPECT_TRUE(readShareFile(QStringLiteral("yamada.old")).contains("see you at 3")) << "the typed line was lost";
    EXPECT_TRUE(kept.entryList(QDir::Files).isEmpty()) << "written and no longer kept";
    EXPECT_TRUE(state().OwnBoard().Filter.StatusFilterOn) << "the start read the filter as it was left";
}

} // namespace

namespace {

// Each action on a fresh board whose server stops answering just before it.
class StalledAction : public StoppableServer, public ::testing::WithParamInterface<StalledActions::Action>
{
protected:
    void SetUp() override
    {
        ServeAndStart([this](const QString& served) { StalledActions::MakeShare(share.realPath(), served); });
    }
};

TEST_P(StalledAction, TheWindowAnswersWhileTheServerDoesNotAndTheActionCompletesOnceItDoes)
{
    SharePath::clearCache();
    mount->SetAnswering(false);
    StalledActions::ChangeWhileAway(share.realPath());
    // A window blocked in a call on the share handles no event; the watchdog then lets the server
    // answer, and the test fails.
    std::atomic<bool> rescued = false;
    std::jthread watchdog([&](std::stop_token stop) {
        for (int i = 0; i < 200 && !stop.stop_requested(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!stop.stop_requested()) {
            rescued = true;
            mount->SetAnswering(true);
        }
    });
    // Forty beats of the window's event loop while the server is stopped, even inside an
    // action that waits for it, then the server answers.
    int beats = 0;
    QTimer heart;
    heart.setInterval(5);
    QObject::connect(&heart, &QTimer::timeout, [&] {
        if (++beats == 40 && !rescued)
            mount->SetAnswering(true);
    });
    heart.start();
    QTimer::singleShot(0, [&] { GetParam().act(*session, *window); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return beats >= 40; }, 30000));
    watchdog.request_stop();
    watchdog.join();
    EXPECT_FALSE(rescued) << "the window waited on the server";
    EXPECT_TRUE(QTest::qWaitFor([&] { return GetParam().done(*session, share.realPath()); }, 20000));
}

INSTANTIATE_TEST_SUITE_P(Actions, StalledAction, ::testing::ValuesIn(StalledActions::All()), [](const auto& info) {
    QString name = QString::fromLatin1(info.param.name);
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    return name.toStdString();
});

} // namespace
