#include "MainFixture.h"
#include "app/tray/TaskTray.h"

#include "app/HighlightButtons.h"
#include "app/StatusBarSink.h"
#include "board/ChangeStamp.h"
#include "board/UserFile.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/Cp932.h"
#include "store/ui/TQuaxoRichEdit.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

class StartUp : public MainFixture
{
protected:
    void SetUp() override
    {
        addMember(QStringLiteral("yamada"), userFile(utf8("ﾔﾏﾀﾞ"), utf8("山田"), utf8("営業"), "192.168.10.20"));
        addMember(QStringLiteral("suzuki"), userFile(utf8("ｽｽﾞｷ"), utf8("鈴木"), utf8("総務"), "192.168.10.21"));
        share.writeBytes(QStringLiteral("yamada.off"), {});
        share.writeBytes(QStringLiteral("timestmp.dat"), "41\r\nSUZUKI\r\n");
    }
};

TEST_F(StartUp, OwnEntryIsMarkedRunningAndTheChangeStampAdvanced)
{
    writeSettings(QStringLiteral("yamada"), utf8("山田"));
    ASSERT_TRUE(start());

    EXPECT_FALSE(shareHas(QStringLiteral("yamada.off")));
    EXPECT_EQ(readShareFile(QStringLiteral("timestmp.dat")), QByteArray("42\r\nYAMADA\r\n"));
    const TVurnaDataRec& own = state().Own;
    EXPECT_TRUE(own.Running);
    EXPECT_EQ(own.Name, cp932(utf8("山田")));
    EXPECT_EQ(own.IP, address);
    // The board shows the own record as running.
    TVurnaDataRec shown;
    ASSERT_GE(state().Model.FindMember(own.FileName, shown), 1);
    EXPECT_TRUE(shown.Running);
    EXPECT_TRUE(state().StartUpFinished);
    EXPECT_EQ(child<TaskTray>().Tip(), QStringLiteral("Vurnaboard"));
}

TEST_F(StartUp, StatusFileIsRewrittenOnlyWhenTheAddressChanged)
{
    // A blank line between values: the parser skips it, a rewrite would drop it.
    QByteArray layout = userFile(utf8("ﾔﾏﾀﾞ"), utf8("山田"), utf8("営業"), "192.168.10.20");
    layout.insert(layout.indexOf("\r\n"), "\r\n");
    addMember(QStringLiteral("yamada"), layout);
    writeSettings(QStringLiteral("yamada"), utf8("山田"));

    ASSERT_TRUE(start());
    EXPECT_EQ(readShareFile(QStringLiteral("yamada.vrn")), layout) << "same address: file untouched";

    window.reset();
    address = "10.1.2.3";
    ASSERT_TRUE(start());
    TVurnaDataRec written;
    ParseUserFile(readShareFile(QStringLiteral("yamada.vrn")), written);
    EXPECT_EQ(written.IP, QByteArray("10.1.2.3"));
    EXPECT_EQ(written.Name, cp932(utf8("山田")));
}

TEST_F(StartUp, GuestWritesNothingInTheShareAndSeesNoOwnControls)
{
    writeSettings(QString(), QString());
    const auto before = shareSnapshot();
    ASSERT_TRUE(start());
    EXPECT_TRUE(window->windowTitle().endsWith(utf8("使用者： ゲストさん")));
    const int memoTab = child<QTabWidget>("pgcMain").indexOf(&child<QWidget>("tabDengon"));
    EXPECT_FALSE(child<QTabWidget>("pgcMain").isTabVisible(memoTab));
    EXPECT_FALSE(window->findChild<QToolButton*>(QStringLiteral("btnOwnerSet"))->isEnabled());
    EXPECT_FALSE(window->findChild<QToolButton*>(QStringLiteral("btnOwnerReset"))->isEnabled());
    for (const char* item : {"popTrayHuzai60", "popTrayHuzaiLunch", "popTrayHuzaiQuick", "popTrayDengonCheck"})
        EXPECT_FALSE(action(QLatin1String(item))->isEnabled()) << item;
    EXPECT_EQ(state().Model.MemberHigh(), 2);

    window->Quit();
    EXPECT_EQ(shareSnapshot(), before);
}

TEST_F(StartUp, FreshProfileShowsAnEmptyBoardNotTheWorkingFolder)
{
    // No settings at all: no shared directory, a guest, the tray.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(share.realPath()));
    const bool started = start();
    QDir::setCurrent(previous);
    ASSERT_TRUE(started);
    EXPECT_EQ(state().Model.MemberHigh(), 0);
    EXPECT_TRUE(state().OwnBoard().AutoSmall);
    EXPECT_TRUE(state().Own.FileName.isEmpty());
}

TEST_F(StartUp, MemberMissingFromTheBoardIsNeitherMarkedNorWritten)
{
    writeSettings(QStringLiteral("tanaka"), utf8("田中"));
    const auto before = shareSnapshot();
    ASSERT_TRUE(start());
    EXPECT_EQ(shareSnapshot(), before);
    const int memoTab = child<QTabWidget>("pgcMain").indexOf(&child<QWidget>("tabDengon"));
    EXPECT_TRUE(child<QTabWidget>("pgcMain").isTabVisible(memoTab));
}

TEST_F(StartUp, TheEndWritesStopMarkerFilterFileAndPlacement)
{
    writeSettings(QStringLiteral("yamada"), utf8("山田"));
    ASSERT_TRUE(start());
    state().OwnBoard().Filter.GroupFilterOn = true;
    state().OwnBoard().Filter.CheckedGroups = cp932(utf8(",営業,"));

    window->Quit();
    EXPECT_TRUE(session->HasEnded());
    EXPECT_TRUE(shareHas(QStringLiteral("yamada.off")));
    EXPECT_EQ(readShareFile(QStringLiteral("timestmp.dat")), QByteArray("43\r\nYAMADA\r\n"));
    const QByteArray filter = readShareFile(QStringLiteral("yamada.ftr"));
    EXPECT_TRUE(filter.startsWith("[MyDirectory]\r\n")) << filter.constData();
    EXPECT_TRUE(filter.contains(cp932(utf8("\r\n営業\r\n"))));
    EXPECT_EQ(setting(QStringLiteral("NormalRight")).toInt() - setting(QStringLiteral("NormalLeft")).toInt(),
              window->width());
    EXPECT_EQ(setting(QStringLiteral("MaxTop")).toInt(), 0);
    EXPECT_FALSE(state().Own.Running);
}

TEST_F(StartUp, StoredFiltersReachTheGrid)
{
    writeSettings(QStringLiteral("yamada"), utf8("山田"));
    share.writeBytes(QStringLiteral("yamada.ftr"),
                     cp932(utf8("[MyDirectory]\r\nSUZUKI\r\nGroup,Status\r\n総務,カスタムグループ\r\n1\r\n\r\n")));
    ASSERT_TRUE(start());
    TVurnaGrid& grid = child<TVurnaGrid>("Keiziban");
    EXPECT_TRUE(grid.GroupFilterOn());
    EXPECT_EQ(grid.GroupFilter(), QList<QByteArray>{cp932(utf8("総務"))});
    EXPECT_EQ(grid.CustomGrpMember(), QByteArray(",SUZUKI,"));
    EXPECT_TRUE(grid.StatusFilterOn());
    EXPECT_EQ(grid.StatusFilter(), QList<QByteArray>{",1,"});
}

TEST_F(StartUp, ShortcutProtectionEndsAStartFromTheShareAfterSaving)
{
    share.writeBytes(QStringLiteral("vurna.ini"), "SHORTCUTPROTECT=YES\r\n");
    writeSettings(QStringLiteral("yamada"), utf8("山田"));
    programFolder = share.dataSource();
    EXPECT_FALSE(start());
    EXPECT_TRUE(session->HasEnded());
    EXPECT_TRUE(shareHas(QStringLiteral("yamada.off")));
    EXPECT_TRUE(shareHas(QStringLiteral("yamada.ftr")));
    EXPECT_TRUE(setting(QStringLiteral("NormalLeft")).isValid());
}

TEST_F(StartUp, ShortcutProtectionLetsOtherFoldersRun)
{
    share.writeBytes(QStringLiteral("vurna.ini"), "SHORTCUTPROTECT=YES\r\n");
    writeSettings(QStringLiteral("yamada"), utf8("山田"));
    EXPECT_TRUE(start());
    EXPECT_FALSE(session->HasEnded());
}

TEST_F(StartUp, CloseBoxKeepsTheProgramAndShowsTheBoardPage)
{
    writeSettings(QStringLiteral("yamada"), utf8("山田"), false);
    ASSERT_TRUE(start(false));
    window->ShowAtStart();
    child<QTabWidget>("pgcMain").setCurrentWidget(&child<QWidget>("tabDengon"));
    window->close();
    EXPECT_FALSE(session->HasEnded());
    EXPECT_EQ(child<QTabWidget>("pgcMain").currentWidget(), &child<QWidget>("tabKeiziban"));
    EXPECT_TRUE(window->isMinimized()) << "without a tray the window is minimised, never hidden";
    EXPECT_TRUE(shareHas(QStringLiteral("yamada.vrn")));
    EXPECT_FALSE(shareHas(QStringLiteral("yamada.off")));
}

TEST_F(StartUp, AutoSmallWithoutTrayStartsMinimised)
{
    writeSettings(QStringLiteral("yamada"), utf8("山田"), true);
    ASSERT_TRUE(start(false));
    window->ShowAtStart();
    EXPECT_TRUE(window->isMinimized());
}

TEST_F(StartUp, FontSizeMenuSetsTheGridAndTheSetting)
{
    writeSettings(QStringLiteral("yamada"), utf8("山田"));
    setSetting(QStringLiteral("SmallFont"), 1);
    ASSERT_TRUE(start());
    EXPECT_TRUE(child<TVurnaGrid>("Keiziban").SmallFont());
    EXPECT_TRUE(action(QStringLiteral("mnuSmallfont"))->isChecked());

    action(QStringLiteral("mnuNormalFont"))->trigger();
    EXPECT_FALSE(child<TVurnaGrid>("Keiziban").SmallFont());
    EXPECT_FALSE(action(QStringLiteral("mnuSmallfont"))->isChecked());
    EXPECT_EQ(setting(QStringLiteral("SmallFont")).toInt(), 0);
}

TEST_F(StartUp, QuitSavesOnceAndEnds)
{
    writeSettings(QStringLiteral("yamada"), utf8("山田"));
    ASSERT_TRUE(start());
    action(QStringLiteral("mnuQuit"))->trigger();
    EXPECT_TRUE(session->HasEnded());
    EXPECT_EQ(readShareFile(QStringLiteral("timestmp.dat")), QByteArray("43\r\nYAMADA\r\n"));
    window->Quit();
    EXPECT_EQ(readShareFile(QStringLiteral("timestmp.dat")), QByteArray("43\r\nYAMADA\r\n")) << "saved only once";
}

TEST_F(StartUp, HighlightButtonsAndTypedLettersSetTheGridsRow)
{
    writeSettings(QStringLiteral("yamada"), utf8("山田"));
    ASSERT_TRUE(start());
    child<HighlightPanel>("Panel1").Button(8)->click();
    EXPECT_EQ(child<TVurnaGrid>("Keiziban").ScrDBEnabled(), cp932(utf8("ﾔﾕﾖ")));
    EXPECT_EQ(child<HighlightPanel>("Panel1").CheckedTag(), 8);

    window->ShowAtStart();
    window->show();
    child<TVurnaGrid>("Keiziban").setFocus();
    QTest::keyClick(&child<TVurnaGrid>("Keiziban"), Qt::Key_S, Qt::NoModifier);
    EXPECT_EQ(child<TVurnaGrid>("Keiziban").ScrDBEnabled(), cp932(utf8("ｻｼｽｾｿ")));
    QTest::keyClick(&child<TVurnaGrid>("Keiziban"), Qt::Key_X, Qt::NoModifier);
    EXPECT_EQ(child<TVurnaGrid>("Keiziban").ScrDBEnabled(), QByteArray("*"));
    EXPECT_EQ(child<HighlightPanel>("Panel1").CheckedTag(), 0);
}

TEST_F(StartUp, TrayRowItemHighlightsAndShowsTheBoardPage)
{
    writeSettings(QStringLiteral("yamada"), utf8("山田"));
    ASSERT_TRUE(start());
    child<QTabWidget>("pgcMain").setCurrentWidget(&child<QWidget>("tabDengon"));
    window->findChild<QAction*>(QStringLiteral("popTrayKeizibanH"))->trigger();
    EXPECT_EQ(child<TVurnaGrid>("Keiziban").ScrDBEnabled(), cp932(utf8("ﾊﾋﾌﾍﾎ")));
    EXPECT_EQ(child<QTabWidget>("pgcMain").currentWidget(), &child<QWidget>("tabKeiziban"));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(StartUp, EditMenuFollowsThePage)
{
    writeSettings(QStringLiteral("yamada"), utf8("山田"));
    ASSERT_TRUE(start());
    EXPECT_FALSE(action(QStringLiteral("mnuCopy"))->isEnabled());
    child<QTabWidget>("pgcMain").setCurrentWidget(&child<QWidget>("tabDengon"));
    EXPECT_TRUE(action(QStringLiteral("mnuCopy"))->isEnabled());
    EXPECT_TRUE(action(QStringLiteral("mnuPaste"))->isEnabled());
    EXPECT_FALSE(window->findChild<QWidget*>(QStringLiteral("pnlFilters"))->isVisibleTo(window.get()));
}

TEST_F(StartUp, MemoPageTakesInUnreadMemos)
{
    writeSettings(QStringLiteral("yamada"), utf8("山田"));
    share.writeBytes(QStringLiteral("yamada.mil"), cp932(utf8("○鈴木より\r\n会議です")) + "\r\n\r\n\r\n");
    ASSERT_TRUE(start());
    state().NewMemo = true;
    child<QTabWidget>("pgcMain").setCurrentWidget(&child<QWidget>("tabDengon"));
    EXPECT_FALSE(shareHas(QStringLiteral("yamada.mil")));
    EXPECT_TRUE(readShareFile(QStringLiteral("yamada.old")).contains(cp932(utf8("会議です"))));
    EXPECT_FALSE(state().NewMemo);
}

TEST_F(StartUp, MemoBoardIsSavedWhenTheViewLosesTheFocus)
{
    writeSettings(QStringLiteral("yamada"), utf8("山田"));
    ASSERT_TRUE(start());
    child<QTabWidget>("pgcMain").setCurrentWidget(&child<QWidget>("tabDengon"));
    settle(); // the board is taken in before the user types
    child<TQuaxoRichEdit>("rchDengonOwner").insertPlainText(utf8("明日の会議は十時から"));
    // A character that the shared files cannot hold is refused and the user is told why.
    QKeyEvent hangul(QEvent::KeyPress, 0, Qt::NoModifier, utf8("한"));
    QApplication::sendEvent(&child<TQuaxoRichEdit>("rchDengonOwner"), &hangul);
    EXPECT_FALSE(child<TQuaxoRichEdit>("rchDengonOwner").toPlainText().contains(utf8("한")));
    const auto* status = window->findChild<QLabel*>(QStringLiteral("stsMainText"));
    EXPECT_EQ(status->text(), utf8("【警告】「한」は使用できない文字の為、入力できません。"));

    QFocusEvent leave(QEvent::FocusOut);
    QApplication::sendEvent(&child<TQuaxoRichEdit>("rchDengonOwner"), &leave);
    EXPECT_EQ(readShareFile(QStringLiteral("yamada.old")), cp932(utf8("明日の会議は十時から")) + "\r\n");
}

TEST_F(StartUp, StartUpAgainCountsTheMemoCheckFromNow)
{
    writeSettings(QStringLiteral("yamada"), utf8("山田"));
    ASSERT_TRUE(start());
    state().Scheduler.MinuteTick();
    state().Scheduler.MinuteTick();
    ASSERT_EQ(state().Scheduler.MinCounter().CheckMsg, 2);
    session->StartUp();
    EXPECT_EQ(state().Scheduler.MinCounter().CheckMsg, 0);
}

TEST_F(StartUp, MaximisedIsAColumnAtTheStoredLeftEdgeAndComesBackSo)
{
    writeSettings(QStringLiteral("yamada"), utf8("山田"));
    setSetting(QStringLiteral("MaxLeft"), 120);
    ASSERT_TRUE(start());
    window->ShowMainWindow();
    const QRect normal(window->pos(), window->size());
    window->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->pos() == QPoint(120, 0); }, 2000)) << window->pos().x();
    EXPECT_EQ(window->width(), window->minimumWidth());
    window->showMinimized();
    window->ShowMainWindow();
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(window->pos(), QPoint(120, 0));
    // The normal place is kept for the next start, the docked edge as MaxLeft.
    window->Quit();
    EXPECT_EQ(setting(QStringLiteral("NormalLeft")).toInt(), normal.left());
    EXPECT_EQ(setting(QStringLiteral("NormalTop")).toInt(), normal.top());
    EXPECT_EQ(setting(QStringLiteral("MaxLeft")).toInt(), 120);
}

TEST_F(StartUp, WakeUpBringsTheWindowForward)
{
    writeSettings(QStringLiteral("yamada"), utf8("山田"));
    ASSERT_TRUE(start());
    window->ShowAtStart();
    EXPECT_FALSE(window->isVisible());
    window->VurnaWakeup();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(child<TaskTray>().Shown());
    EXPECT_EQ(child<TaskTray>().Tip(), QStringLiteral("Vurnaboard"));
}

} // namespace
