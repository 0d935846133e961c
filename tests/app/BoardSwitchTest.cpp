// The board switch menu, the per-minute caption, the placement restore and the tray during
// start-up.

#include "MainFixture.h"
#include "app/tray/TaskTray.h"

#include "board/BoardModel.h"
#include "board/UserLoader.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/Cp932.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace {

class Switch : public MainFixture
{
protected:
    void SetUp() override
    {
        addMember(QStringLiteral("yamada"),
                  userFile(QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("山田"), QStringLiteral("営業"), address));
        QDir().mkpath(other.realPath());
        other.writeBytes(QStringLiteral("osaka1.vrn"),
                         userFile(QStringLiteral("ｵｵｻｶ"), QStringLiteral("大阪"), QStringLiteral("支店"), "10.0.0.1"));
        other.writeBytes(QStringLiteral("osaka2.vrn"),
                         userFile(QStringLiteral("ｵｵｻｶ"), QStringLiteral("大坂"), QStringLiteral("支店"), "10.0.0.2"));
        writeSettings(QStringLiteral("yamada"), QStringLiteral("山田"));
    }

    void writeIni(const QByteArray& slowLine)
    {
        share.writeBytes(QStringLiteral("vurna.ini"), "SHAREDIR UNC=" + other.realPath().toUtf8() +
                                                          " NAME=osaka SLOWLINE=" + slowLine + "\r\n" +
                                                          "SHAREDIR UNC=/nowhere/at/all NAME=gone SLOWLINE=NO\r\n");
    }

    QList<QAction*> boardItems() const
    {
        return window->findChild<QAction*>(QStringLiteral("mnuShareDir"))->menu()->actions();
    }

    TestShare other{QStringLiteral("osaka")};
};

TEST_F(Switch, MenuListsEveryBoardWithTheOwnOneTicked)
{
    writeIni("NO");
    ASSERT_TRUE(start());
    const QList<QAction*> items = boardItems();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items.at(0)->text(), QStringLiteral("自分が所属する掲示板"));
    EXPECT_EQ(items.at(1)->text(), QStringLiteral("osaka"));
    EXPECT_TRUE(items.at(0)->isChecked());
}

TEST_F(Switch, ChoosingABoardShowsItsMembersAndKeepsTheOwnRecord)
{
    writeIni("NO");
    ASSERT_TRUE(start());
    const TVurnaDataRec own = state().Own;
    boardItems().at(1)->trigger();
    EXPECT_EQ(state().CurrentBoard, 1);
    EXPECT_EQ(state().Model.MemberHigh(), 2);
    EXPECT_TRUE(boardItems().at(1)->isChecked());
    EXPECT_FALSE(boardItems().at(0)->isChecked());
    EXPECT_EQ(state().Own, own);
    EXPECT_TRUE(boxes.shown().isEmpty());
}

TEST_F(Switch, ABoardChosenWhileTheBoardLoadsIsShownAfterTheLoadWithItsOwnSettings)
{
    writeIni("NO");
    ASSERT_TRUE(start());
    BoardModel& model = state().Model;
    bool chosenDuringLoad = false;
    // The window answers during the load: the user picks the Osaka board then.
    QTimer::singleShot(0, window.get(), [&] {
        chosenDuringLoad = model.IsLoading();
        boardItems().at(1)->trigger();
    });
    model.Reload(AllMembers);
    ASSERT_TRUE(chosenDuringLoad);
    EXPECT_EQ(state().CurrentBoard, 0) << "switched inside the load";
    ASSERT_TRUE(QTest::qWaitFor([&] { return state().CurrentBoard == 1; }, 5000));
    EXPECT_EQ(model.MemberHigh(), 2);
    EXPECT_EQ(model.GetMember(1).Group, cp932(QStringLiteral("支店")));
    EXPECT_TRUE(boardItems().at(1)->isChecked());
}

TEST_F(Switch, AStrangerOfTheSameFileNameOnAnotherBoardIsNotTheUser)
{
    // 山田 of the Osaka board is somebody else, overdue since yesterday.
    other.writeBytes(QStringLiteral("yamada.vrn"),
                     userFile(QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("山田"), QStringLiteral("支店"), "10.0.0.9",
                              QStringLiteral("出張"), "2024/03/31", "09:00"));
    const QByteArray strangerBefore = other.readBytes(QStringLiteral("yamada.vrn"));
    writeIni("NO");
    ASSERT_TRUE(start());
    boardItems().at(1)->trigger();
    ASSERT_EQ(state().CurrentBoard, 1);
    EXPECT_FALSE(state().HuzaiAlart);
    EXPECT_FALSE(child<TaskTray>().HuzaiAlartActive());
    emit state().Scheduler.OnIntervalTimer();
    EXPECT_TRUE(boxes.shown().isEmpty()) << "no overdue question about the stranger";
    EXPECT_EQ(other.readBytes(QStringLiteral("yamada.vrn")), strangerBefore);
}

TEST_F(Switch, SlowLineAsksAndCancelKeepsTheBoard)
{
    writeIni("YES");
    ASSERT_TRUE(start());
    boxes.setNextAnswer(Mb::IdCancel);
    boardItems().at(1)->trigger();
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(
        boxes.shown().at(0).text,
        QStringLiteral("指定された掲示板は低速回線の先にあります。\r\r処理に時間がかかりますが本当に切替えますか？"));
    EXPECT_EQ(boxes.shown().at(0).flags, Mb::OkCancel | Mb::IconWarning);
    EXPECT_EQ(state().CurrentBoard, 0);
    EXPECT_TRUE(boardItems().at(0)->isChecked());
}

TEST_F(Switch, UnreachableBoardIsRefusedWithAMessage)
{
    writeIni("NO");
    ASSERT_TRUE(start());
    boardItems().at(2)->trigger();
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown().at(0).text, QStringLiteral("指定された掲示板への接続に失敗しました"));
    EXPECT_EQ(state().CurrentBoard, 0);
    EXPECT_EQ(state().Model.MemberHigh(), 1);
    EXPECT_TRUE(boardItems().at(0)->isChecked());
}

TEST_F(Switch, ReloadAsksFirstAndCancelLoadsNothing)
{
    writeIni("NO");
    ASSERT_TRUE(start());
    addMember(QStringLiteral("kato"), userFile(QStringLiteral("ｶﾄｳ"), QStringLiteral("加藤"), {}, "10.0.0.3"));
    boxes.setNextAnswer(Mb::IdCancel);
    action(QStringLiteral("mnuReloadAll"))->trigger();
    EXPECT_EQ(state().Model.MemberHigh(), 1);
    action(QStringLiteral("mnuReloadAllOld"))->trigger();
    EXPECT_EQ(state().Model.MemberHigh(), 2);
    ASSERT_EQ(boxes.shown().size(), 2);
    EXPECT_TRUE(boxes.shown().at(0).text.startsWith(
        QStringLiteral("この操作はサーバに瞬間的な負荷をかけてしまいます。\r\n\r\n")));
}

TEST_F(Switch, CaptionFollowsTheClockEveryMinute)
{
    ASSERT_TRUE(start());
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("2024年 4月1日（月）")));
    clock.set(QDateTime(QDate(2024, 4, 2), QTime(0, 0, 30)));
    emit state().Scheduler.OnIntervalTimer();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Vurnaboard　　　2024年 4月2日（火）　　　使用者： 山田さん"));
}

TEST_F(Switch, TrayTellsThatTheProgramIsStartingUntilItHasStarted)
{
    QString tipDuringStartUp;
    // The address is looked up in the middle of the start-up.
    SessionEnvironment environment;
    environment.clock = &clock;
    environment.boxes = &boxes;
    environment.lookUpAddress = [&] {
        tipDuringStartUp = child<TaskTray>().Tip();
        return address;
    };
    session = std::make_unique<BoardSession>(std::move(environment));
    window = std::make_unique<TfrmMain>(*session, MainWindowEnvironment{});
    ASSERT_TRUE(window->FormCreate());
    EXPECT_EQ(tipDuringStartUp, QStringLiteral("Vurnaが起動処理中です。"));
    EXPECT_EQ(child<TaskTray>().Tip(), QStringLiteral("Vurnaboard"));
}

struct PlacementCase
{
    QVariant left, top, right, bottom;
    QPoint pos;
    int height;
};

class Placement : public Switch, public ::testing::WithParamInterface<PlacementCase>
{
};

TEST_P(Placement, StoredEdgesPlaceTheWindowAtItsFixedWidth)
{
    const PlacementCase& c = GetParam();
    const auto store = [this](const char* key, const QVariant& value) {
        if (value.isValid())
            setSetting(QLatin1String(key), value);
    };
    store("NormalLeft", c.left);
    store("NormalTop", c.top);
    store("NormalRight", c.right);
    store("NormalBottom", c.bottom);
    ASSERT_TRUE(start());
    EXPECT_EQ(window->pos(), c.pos);
    EXPECT_EQ(window->width(), 640);
    EXPECT_EQ(window->height(), c.height);
}

INSTANTIATE_TEST_SUITE_P(
    Stored, Placement,
    ::testing::Values(PlacementCase{100, 50, 740, 650, QPoint(100, 50), 600},
                      // A right edge that disagrees changes nothing: the width is the window's own.
                      PlacementCase{100, 50, 2000, 650, QPoint(100, 50), 600},
                      // Too low for the window: the minimum height holds.
                      PlacementCase{10, 20, {}, 100, QPoint(10, 20), 460},
                      // Nothing stored: where the window is, at its minimum size.
                      PlacementCase{{}, {}, {}, {}, QPoint(0, 0), 460}));

} // namespace
