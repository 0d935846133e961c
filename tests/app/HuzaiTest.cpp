// Absence actions on a real board window: presets, clearing, the popup's question, the
// overdue question, the default absence on exit and the tray reminder.

#include "MainFixture.h"
#include "app/tray/TaskTray.h"

#include "board/ChangeNotice.h"
#include "board/UserFile.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/Cp932.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

class Huzai : public MainFixture
{
protected:
    // A member file with the absence fields and the set-defaults-on-exit flag.
    static QByteArray member(const char* furigana, const char* name, const char* locate = "",
                             const QByteArray& date = {}, const QByteArray& time = {}, int defaultOnExit = 0)
    {
        return userFile(utf8(furigana), utf8(name), utf8("営業"), "192.168.10.20", utf8(locate), date, time,
                        defaultOnExit);
    }

    void SetUp() override
    {
        addMember(QStringLiteral("yamada"), member("ﾔﾏﾀﾞ", "山田"));
        addMember(QStringLiteral("suzuki"), member("ｽｽﾞｷ", "鈴木", "外出", "2024/04/01", "17:00"));
        addMember(QStringLiteral("tanaka"), member("ﾀﾅｶ", "田中", "出張", "2024/04/03", "10:00"));
        share.writeBytes(QStringLiteral("timestmp.dat"), "10\r\nSUZUKI\r\n");
        writeSettings(QStringLiteral("yamada"), utf8("山田"));
    }

    TVurnaDataRec stored(const QString& base) const
    {
        TVurnaDataRec record;
        ParseUserFile(readShareFile(base + QStringLiteral(".vrn")), record);
        return record;
    }
    QByteArray stamp() const { return readShareFile(QStringLiteral("timestmp.dat")); }
    void click(const char* item) { action(QLatin1String(item))->trigger(); }
    QList<QByteArray> statusDatagrams() const
    {
        QList<QByteArray> found;
        for (const SentDatagram& d : sent) {
            if (d.datagram.startsWith("\x01Vrn3_Dat"))
                found.append(d.datagram);
        }
        return found;
    }
};

struct TrayCase
{
    const char* item;
    QTime at;
    const char* locate;
    QByteArray date;
    QByteArray time;
};

class TrayPreset : public Huzai, public ::testing::WithParamInterface<TrayCase>
{
};

TEST_P(TrayPreset, WritesTheOwnFileTellsTheOthersAndAdvancesTheStampOnce)
{
    const TrayCase& c = GetParam();
    ASSERT_TRUE(start());
    clock.set(QDateTime(QDate(2024, 4, 1), c.at));
    const QByteArray stampBefore = stamp();
    sent.clear();

    click(c.item);

    const TVurnaDataRec written = stored(QStringLiteral("yamada"));
    EXPECT_EQ(written.Locate, cp932(utf8(c.locate)));
    EXPECT_EQ(written.Date, c.date);
    EXPECT_EQ(written.Time, c.time);
    EXPECT_EQ(written.StatusIndex, 0);
    EXPECT_EQ(written.Name, cp932(utf8("山田")));
    EXPECT_EQ(state().Own.Locate, written.Locate);
    EXPECT_EQ(stamp(), QByteArray::number(stampBefore.split('\r').first().toInt() + 1) + "\r\nYAMADA\r\n");
    // One datagram to each running colleague (鈴木 and 田中), none to the user.
    ASSERT_EQ(statusDatagrams().size(), 2);
    EXPECT_TRUE(statusDatagrams().first().endsWith("\x01Vrn3_Locate" + written.Locate + "\x01Vrn3_Eod"));
    // The board shows it and the tray starts reminding.
    TVurnaDataRec shown;
    state().Model.FindMember(state().Own.FileName, shown);
    EXPECT_EQ(shown.Locate, written.Locate);
    EXPECT_TRUE(state().HuzaiAlart);
    EXPECT_TRUE(child<TaskTray>().HuzaiAlartActive());
}

INSTANTIATE_TEST_SUITE_P(
    Items, TrayPreset,
    ::testing::Values(TrayCase{"popTrayHuzai60", QTime(9, 30), "会議", "2024/04/01", "13:30"},
                      TrayCase{"popTrayHuzai30", QTime(9, 30), "会議", "2024/04/01", "11:30"},
                      TrayCase{"popTrayHuzai15", QTime(23, 20), "会議", "2024/04/02", "00:20"},
                      TrayCase{"popTrayHuzaiLunch", QTime(23, 30), "食事中！", "2024/04/02", "00:30"},
                      TrayCase{"popTrayHuzaiQuick", QTime(9, 5),
                               "ちょっと離席中！\r\n9時05分から離席中です。そこら辺にいます。", "", ""}));

TEST_F(Huzai, OwnResetButtonClearsTheAbsenceAndMarksRunning)
{
    addMember(QStringLiteral("yamada"), member("ﾔﾏﾀﾞ", "山田", "会議", "2024/04/01", "15:00"));
    ASSERT_TRUE(start());
    share.writeBytes(QStringLiteral("yamada.off"), {});
    QTest::mouseClick(&child<QToolButton>("btnOwnerReset"), Qt::LeftButton);

    const TVurnaDataRec written = stored(QStringLiteral("yamada"));
    EXPECT_TRUE(written.Locate.isEmpty());
    EXPECT_TRUE(written.Date.isEmpty());
    EXPECT_TRUE(written.Time.isEmpty());
    EXPECT_FALSE(shareHas(QStringLiteral("yamada.off")));
    EXPECT_FALSE(state().HuzaiAlart);
    EXPECT_FALSE(child<TaskTray>().HuzaiAlartActive());
    EXPECT_EQ(child<TaskTray>().Tip(), QStringLiteral("Vurnaboard"));
    EXPECT_TRUE(boxes.shown().isEmpty()) << "own actions ask nothing";
}

TEST_F(Huzai, OwnCommandsAreOfferedWithAnOwnEntry)
{
    ASSERT_TRUE(start());
    EXPECT_TRUE(child<QToolButton>("btnOwnerSet").isEnabled());
    EXPECT_TRUE(action(QStringLiteral("popTrayHuzaiSet"))->isEnabled());
    EXPECT_TRUE(action(QStringLiteral("popTrayHuzai60"))->isEnabled());
    EXPECT_TRUE(child<QToolButton>("btnOwnerReset").isEnabled());
}

TEST_F(Huzai, GridPopupEnablesByTheSelection)
{
    ASSERT_TRUE(start());
    window->show();
    TVurnaGrid& grid = child<TVurnaGrid>("Keiziban");
    const auto enabled = [&](const char* name) { return action(QLatin1String(name))->isEnabled(); };

    emit grid.customContextMenuRequested(QPoint(5, 5));
    EXPECT_FALSE(enabled("popHuzaiReset"));
    EXPECT_FALSE(enabled("popInfo"));
    EXPECT_TRUE(enabled("popSelectAll"));
    child<QMenu>("popControl").hide();

    grid.SelectAll();
    emit grid.customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(enabled("popHuzaiReset"));
    EXPECT_TRUE(enabled("popInfo"));
    child<QMenu>("popControl").hide();
}

TEST_F(Huzai, PopupResetAsksWithTheFirstAndLastNameAndClearsOnOk)
{
    ASSERT_TRUE(start());
    TVurnaGrid& grid = child<TVurnaGrid>("Keiziban");
    grid.SelectAll();
    TVurnaDataArray selection;
    ASSERT_TRUE(grid.GetSelection(selection, true));
    ASSERT_EQ(selection.size(), 4);
    const QString first = Cp932::toUnicode(selection.at(1).Name);
    const QString last = Cp932::toUnicode(selection.at(3).Name);
    const QByteArray stampBefore = stamp();

    boxes.setNextAnswer(Mb::IdCancel);
    click("popHuzaiReset");
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown().at(0).text, first + utf8("さん ～ ") + last + utf8("さんの不在設定を解除します。"));
    EXPECT_EQ(boxes.shown().at(0).flags, Mb::OkCancel | Mb::IconQuestion);
    EXPECT_EQ(stored(QStringLiteral("suzuki")).Locate, cp932(utf8("外出"))) << "cancel writes nothing";
    EXPECT_EQ(stamp(), stampBefore);

    boxes.setNextAnswer(Mb::IdOk);
    click("popHuzaiReset");
    for (const char* base : {"yamada", "suzuki", "tanaka"}) {
        const TVurnaDataRec r = stored(QLatin1String(base));
        EXPECT_TRUE(r.Locate.isEmpty() && r.Date.isEmpty() && r.Time.isEmpty()) << base;
        EXPECT_FALSE(r.Name.isEmpty()) << base;
    }
    EXPECT_EQ(stamp().split('\r').first().toInt(), stampBefore.split('\r').first().toInt() + 1);
    EXPECT_TRUE(stamp().endsWith("\r\n" + selection.at(1).FileName.mid(selection.at(1).FileName.lastIndexOf('/') + 1) +
                                 "\r\n"));
}

TEST_F(Huzai, PopupResetOfOneMemberTakesTheFileAsItIsNow)
{
    ASSERT_TRUE(start());
    window->show();
    TVurnaGrid& grid = child<TVurnaGrid>("Keiziban");
    TVurnaDataArray all;
    grid.GetSelection(all, false);
    // 田中 changed his name on his own PC since this board loaded.
    addMember(QStringLiteral("tanaka"), member("ﾀﾅｶ", "田中太郎", "出張", "2024/04/03", "10:00"));
    for (int i = 1; i < all.size(); ++i) {
        if (all.at(i).FileName.endsWith("TANAKA")) {
            const QRect cell = grid.CellRect(i % 2 == 1 ? 0 : 1, (i - 1) / 2);
            QTest::mouseClick(&grid, Qt::LeftButton, {}, cell.center());
        }
    }
    click("popHuzaiReset");
    // Asked by the name the board shows; the file keeps the name it has now.
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown().at(0).text, utf8("田中さんの不在設定を解除します。"));
    EXPECT_EQ(stored(QStringLiteral("tanaka")).Name, cp932(utf8("田中太郎")));
    EXPECT_TRUE(stored(QStringLiteral("tanaka")).Locate.isEmpty());
    EXPECT_EQ(stored(QStringLiteral("suzuki")).Locate, cp932(utf8("外出")));
}

TEST_F(Huzai, NobodySelectedIsToldAndNothingIsWritten)
{
    ASSERT_TRUE(start());
    const auto before = shareSnapshot();
    click("popHuzaiReset");
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown().at(0).text, utf8("誰も選択されていません。\r\n\r\n左クリックで誰かを選択して下さい。"));
    EXPECT_EQ(boxes.shown().at(0).flags, Mb::Ok | Mb::IconWarning);
    EXPECT_EQ(shareSnapshot(), before);
}

struct OverdueCase
{
    const char* name;
    const char* locate;
    QByteArray date;
    QByteArray time;
    bool asked;
};

class Overdue : public Huzai, public ::testing::WithParamInterface<OverdueCase>
{
};

TEST_P(Overdue, OnlyAnOverdueOwnAbsenceIsQuestioned)
{
    const OverdueCase& c = GetParam();
    addMember(QStringLiteral("yamada"), member("ﾔﾏﾀﾞ", "山田", c.locate, c.date, c.time));
    boxes.setNextAnswer(Mb::IdNo);
    ASSERT_TRUE(start());
    ASSERT_EQ(boxes.shown().size(), c.asked ? 1 : 0);
    if (c.asked) {
        EXPECT_EQ(boxes.shown().at(0).flags, Mb::YesNo | Mb::IconWarning | Mb::SystemModal);
        EXPECT_TRUE(boxes.shown().at(0).text.startsWith(utf8("現在、山田さんは不在状態")));
    }
}

// The clock stands at 2024/04/01 09:30.
INSTANTIATE_TEST_SUITE_P(Absences, Overdue,
                         ::testing::Values(OverdueCase{"TimePassedToday", "会議", "2024/04/01", "09:00", true},
                                           OverdueCase{"DayPassed", "出張", "2024/03/29", "17:00", true},
                                           OverdueCase{"BackLaterToday", "会議", "2024/04/01", "11:00", false},
                                           OverdueCase{"BackTomorrow", "出張", "2024/04/02", "09:00", false},
                                           OverdueCase{"QuickAbsenceHasNoReturn", "ちょっと離席中！", "", "", false},
                                           OverdueCase{"Present", "", "", "", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Huzai, OverdueYesClearsWithoutAdvancingTheStampAndNoStopsAsking)
{
    addMember(QStringLiteral("yamada"), member("ﾔﾏﾀﾞ", "山田", "会議", "2024/04/01", "09:00"));
    boxes.setNextAnswer(Mb::IdNo);
    ASSERT_TRUE(start());
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_FALSE(state().AutoResetAllowed);
    emit state().Scheduler.OnIntervalTimer();
    EXPECT_EQ(boxes.shown().size(), 1) << "not asked again in this run";
    EXPECT_EQ(stored(QStringLiteral("yamada")).Locate, cp932(utf8("会議")));

    window.reset();
    const QByteArray stampBefore = stamp();
    boxes.setNextAnswer(Mb::IdYes);
    ASSERT_TRUE(start());
    ASSERT_EQ(boxes.shown().size(), 2);
    const TVurnaDataRec written = stored(QStringLiteral("yamada"));
    EXPECT_TRUE(written.Locate.isEmpty() && written.Date.isEmpty() && written.Time.isEmpty());
    EXPECT_EQ(written.StatusIndex, 0);
    // Only the start itself advanced the stamp.
    EXPECT_EQ(stamp().split('\r').first().toInt(), stampBefore.split('\r').first().toInt() + 1);
    EXPECT_TRUE(state().Own.Locate.isEmpty());
}

// The user ends the program (twice, impatiently) while the overdue question of the start-up
// waits for an answer.
class EndWhileAsked final : public MessageBoxes
{
public:
    explicit EndWhileAsked(std::unique_ptr<TfrmMain>& window) : m_window(window) {}
    int show(const QString&, int, const QString&) override
    {
        m_window->Quit();
        m_window->Quit();
        return Mb::IdNo;
    }

private:
    std::unique_ptr<TfrmMain>& m_window;
};

TEST_F(Huzai, EndAskedDuringTheStartUpEndsItOnceMarkedStopped)
{
    addMember(QStringLiteral("yamada"), member("ﾔﾏﾀﾞ", "山田", "会議", "2024/04/01", "09:00"));
    EndWhileAsked ending(window);
    otherBoxes = &ending;
    EXPECT_FALSE(start()) << "the start-up reports the end, so no event loop is entered";
    EXPECT_TRUE(session->HasEnded());
    EXPECT_TRUE(shareHas(QStringLiteral("yamada.off")));
    EXPECT_EQ(stamp().split('\r').first().toInt(), 12) << "marked running once, stopped once";
}

TEST_F(Huzai, DefaultAbsenceOnExitOnlyWhilePresentAndClearedAtTheNextStart)
{
    addMember(QStringLiteral("yamada"), member("ﾔﾏﾀﾞ", "山田", "", {}, {}, 1));
    share.writeBytes(QStringLiteral("yamada.def"), "\"08:45\"\r\n\"1\"\r\n\"" + cp932(utf8("直帰")) + "\"");
    ASSERT_TRUE(start());
    window->Quit();
    // Monday 2024/04/01: the next working day is Tuesday.
    TVurnaDataRec written = stored(QStringLiteral("yamada"));
    EXPECT_EQ(written.Locate, cp932(utf8("直帰")));
    EXPECT_EQ(written.Time, QByteArray("08:45"));
    EXPECT_EQ(written.Date, QByteArray("2024/04/02"));
    EXPECT_EQ(written.StatusIndex, 1);
    EXPECT_TRUE(shareHas(QStringLiteral("yamada.off")));
    EXPECT_EQ(written.DefaultOnExit, 1);

    window.reset();
    ASSERT_TRUE(start());
    written = stored(QStringLiteral("yamada"));
    EXPECT_TRUE(written.Locate.isEmpty() && written.Date.isEmpty() && written.Time.isEmpty());
    EXPECT_FALSE(shareHas(QStringLiteral("yamada.off")));

    // Absent at the end: the absence stays as it is.
    click("popTrayHuzaiLunch");
    window->Quit();
    EXPECT_EQ(stored(QStringLiteral("yamada")).Locate, cp932(utf8("食事中！")));
}

TEST_F(Huzai, AbsenceAColleagueSetWhileTheProgramRanIsKeptAtExit)
{
    addMember(QStringLiteral("yamada"), member("ﾔﾏﾀﾞ", "山田", "", {}, {}, 1));
    ASSERT_TRUE(start());
    // A colleague's copy wrote the user's absence; this copy heard of it by datagram only.
    addMember(QStringLiteral("yamada"), member("ﾔﾏﾀﾞ", "山田", "出張", "2024/04/03", "10:00", 1));
    TVurnaDataRec entry;
    ASSERT_GE(state().FindOwnEntry(entry), 1);
    entry.Locate = cp932(utf8("出張"));
    state().Model.UpdateMember(entry);
    window->Quit();
    const TVurnaDataRec written = stored(QStringLiteral("yamada"));
    EXPECT_EQ(written.Locate, cp932(utf8("出張")));
    EXPECT_EQ(written.Date, QByteArray("2024/04/03"));
}

TEST_F(Huzai, DefaultAbsenceWithoutADefaultsFileUsesTheBuiltInValues)
{
    addMember(QStringLiteral("yamada"), member("ﾔﾏﾀﾞ", "山田", "", {}, {}, 1));
    clock.set(QDateTime(QDate(2024, 4, 5), QTime(18, 0))); // a Friday
    share.writeBytes(QStringLiteral("vurna.ini"), "WEEKEND=" + cp932(utf8("土日")) + "\r\n");
    ASSERT_TRUE(start());
    window->Quit();
    const TVurnaDataRec written = stored(QStringLiteral("yamada"));
    EXPECT_EQ(written.Locate, cp932(utf8("帰宅")));
    EXPECT_EQ(written.Time, QByteArray("09:00"));
    EXPECT_EQ(written.Date, QByteArray("2024/04/08"));
    EXPECT_EQ(written.StatusIndex, 0);
}

TEST_F(Huzai, TrayBlinksBetweenTheReminders)
{
    ASSERT_TRUE(start());
    EXPECT_FALSE(child<TaskTray>().HuzaiAlartActive());
    click("popTrayHuzai15");
    ASSERT_TRUE(child<TaskTray>().HuzaiAlartActive());

    // A memo arrives by datagram from another PC.
    session->Notice().HandleDatagram("\x01Vrn3_Msg" + state().Own.FileName + "\x01Vrn3_Eod", "192.168.10.30");
    EXPECT_TRUE(state().NewMemo);
    const struct
    {
        int msec;
        const char* tip;
    } beats[] = {
        {100, ""}, {300, "新着伝言が届いています。"}, {600, ""}, {800, "Vurnaは「不在状態」に設定されています。"}};
    for (const auto& beat : beats) {
        clock.set(QDateTime(QDate(2024, 4, 1), QTime(9, 31, 0, beat.msec)));
        child<TaskTray>().HuzaiAlartTimerTimer();
        EXPECT_EQ(child<TaskTray>().Tip(), utf8(beat.tip)) << beat.msec;
    }

    // Back and memos read: the blinking ends with the normal icon and tip.
    QTest::mouseClick(&child<QToolButton>("btnOwnerReset"), Qt::LeftButton);
    EXPECT_TRUE(child<TaskTray>().HuzaiAlartActive()) << "the memo still waits";
    state().NewMemo = false;
    clock.set(QDateTime(QDate(2024, 4, 1), QTime(9, 32, 0, 300)));
    child<TaskTray>().HuzaiAlartTimerTimer();
    EXPECT_FALSE(child<TaskTray>().HuzaiAlartActive());
    EXPECT_EQ(child<TaskTray>().Tip(), QStringLiteral("Vurnaboard"));
}

TEST_F(Huzai, MemoFileAtStartStartsTheReminder)
{
    share.writeBytes(QStringLiteral("yamada.mil"), cp932(utf8("伝言")) + "\r\n");
    ASSERT_TRUE(start());
    ASSERT_TRUE(QTest::qWaitFor([&] { return state().NewMemo; }, 5000));
    EXPECT_TRUE(child<TaskTray>().HuzaiAlartActive());
}

TEST_F(Huzai, GuestOwnActionsWriteNothing)
{
    writeSettings(QString(), QString());
    ASSERT_TRUE(start());
    const auto before = shareSnapshot();
    for (const char* item : {"popTrayHuzai60", "popTrayHuzaiQuick", "popTrayHuzaiReset"})
        EXPECT_FALSE(action(QLatin1String(item))->isEnabled()) << item;
    // As a stray signal would ask, past the disabled items.
    session->Huzai().ApplyPreset(HuzaiPresets::Preset::Meeting4h);
    session->Huzai().ApplyPreset(HuzaiPresets::Preset::Quick);
    session->Huzai().ResetOwn();
    EXPECT_EQ(shareSnapshot(), before);
}

} // namespace
