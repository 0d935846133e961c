// Three copies on one shared directory: this test process runs one board window (driven
// through its menus as a user would), two real Vurna3 processes run beside it, each on its
// own loopback address. Every copy must learn of the others' changes from datagrams, long
// before the polls (set to ten hours here) could tell them.

#include "CopyWorld.h"
#include "app/tray/TaskTray.h"

#include "board/ChangeNotice.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/Cp932.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QUdpSocket>

#include <csignal>

namespace {

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

using Notice = CopyWorld;

TEST_F(Notice, TrayPresetReachesTheOtherBoardsAtOnce)
{
    startWorld("UDPMESSAGE SEND=IPDIRECT", 600);
    // Both others announced themselves on starting.
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown("SUZUKI").Running && shown("TANAKA").Running; }, 10000))
        << suzuki->log().toStdString();
    EXPECT_EQ(shown("TANAKA").IP, QByteArray("127.0.0.4"));

    clickTrayItem("popTrayHuzai15");
    ASSERT_EQ(state().Own.Locate, cp932(utf8("会議")));
    for (CopyProcess* copy : {suzuki.get(), tanaka.get()}) {
        const qint64 ms = copy->timeUntilLogged(QStringLiteral("applied status YAMADA"), 10000);
        EXPECT_GE(ms, 0) << copy->log().toStdString();
        std::printf("status applied by the other copy after %lld ms\n", static_cast<long long>(ms));
    }
    // The copy's own change never comes back to it as a datagram.
    EXPECT_FALSE(tanaka->hasLogged(QStringLiteral("applied status TANAKA")));
}

TEST_F(Notice, StopAndStartPropagate)
{
    startWorld("UDPMESSAGE SEND=IPDIRECT", 600);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown("SUZUKI").Running; }, 10000));

    EXPECT_EQ(suzuki->stop(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shown("SUZUKI").Running; }, 10000));
    EXPECT_TRUE(tanaka->waitLog(QStringLiteral("applied stopped SUZUKI"), 10000)) << tanaka->log().toStdString();

    suzuki->start();
    ASSERT_TRUE(suzuki->waitLog(QStringLiteral("start-up finished")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown("SUZUKI").Running; }, 10000));
    EXPECT_EQ(shown("SUZUKI").IP, QByteArray("127.0.0.3"));
    EXPECT_TRUE(tanaka->waitLog(QStringLiteral("applied started SUZUKI"), 10000)) << tanaka->log().toStdString();
}

TEST_F(Notice, WithDatagramsOffACopyCatchesUpThroughTheChangeStamp)
{
    startWorld("UDPMESSAGE SEND=NO", 1);
    // Past the full reload that follows every start, which would read the change along with all.
    for (int minute = 1; minute <= 2; ++minute) {
        suzuki->sendSignal(SIGUSR1);
        QTest::qWait(50);
    }
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return suzuki->log().count(QStringLiteral("minute tick asked for")) >= 2; }, 10000));
    QTest::qWait(300);
    clickTrayItem("popTrayHuzaiLunch");
    ASSERT_EQ(state().Own.Locate, cp932(utf8("食事中！")));
    QTest::qWait(500);
    EXPECT_FALSE(suzuki->hasLogged(QStringLiteral("applied status")));

    // Five minutes' work (the shortest change-stamp period), asked for now: the change stamp
    // names YAMADA.
    for (int minute = 1; minute <= 5; ++minute) {
        suzuki->sendSignal(SIGUSR1);
        QTest::qWait(50);
    }
    EXPECT_TRUE(suzuki->waitLog(QStringLiteral("reloaded YAMADA"), 10000)) << suzuki->log().toStdString();
    EXPECT_FALSE(suzuki->hasLogged(QStringLiteral("listening on")));
}

} // namespace
