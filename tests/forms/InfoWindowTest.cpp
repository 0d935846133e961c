#include "board/BoardModel.h"
#include "board/UserLoader.h"
#include "forms/TVurnaCalendar.h"
#include "forms/TfrmInfo.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "platform/SharePath.h"
#include "platform/ShareQueue.h"
#include "store/StatusSink.h"
#include "support/BoardFixtures.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <future>

namespace {

class NoStatus final : public StatusSink
{
public:
    void setStatusText(const QString&) override {}
    void setProgress(int) override {}
};

struct HuzaiCall
{
    TVurnaDataArray records;
    QByteArray locate, time, date;
    qint32 statusIndex = -1;
};

// What the window handed back for the reason histories: the members, the history kept (for
// one member) and the new reason.
struct HistoryCall
{
    QList<QByteArray> members;
    std::optional<QByteArray> kept;
    QByteArray newText;
};

// Members 阿部, 伊藤 and 上田 on a share, and a detail window made on them whose absence writes,
// reason histories and sendings are recorded.
class InfoWindow : public ::testing::Test
{
protected:
    InfoWindow()
    {
        for (const auto& [base, reading, name] :
             {std::tuple{"abe", "ｱﾍﾞ", "阿部"}, std::tuple{"ito", "ｲﾄｳ", "伊藤"}, std::tuple{"ueda", "ｳｴﾀﾞ", "上田"}})
            share.writeBytes(QString::fromLatin1(base) + QStringLiteral(".vrn"),
                             memberFile(QString::fromUtf8(reading), QString::fromUtf8(name)));
        model.SetDataSource(share.dataSource());
        model.Reload(AllMembers);
        site.StatusTable.append(StatusEntry{"y.ico", cp932(QStringLiteral("外出(本日戻り)"))});
        site.StatusTable.append(StatusEntry{"r.ico", cp932(QStringLiteral("外出"))});
        site.StatusTable.append(StatusEntry{"y.ico", "(" + cp932(QStringLiteral("本日戻り")) + ")"});
        site.StatusTable.append(StatusEntry{"r.ico", ""});
    }

    // With `answered` false the window is left as it stands before the share answers.
    void open(QList<int> members, TfrmInfo::Mode mode, bool presetToday = false, QStringList drops = {},
              bool answered = true)
    {
        InfoContext context{.board = model,
                            .setHuzai = {},
                            .own = own,
                            .clock = clock,
                            .boxes = boxes,
                            .status = status,
                            .statusPictures = {},
                            .dropFiles = drops,
                            .clearDropFiles = [this] { ++dropsCleared; },
                            .send = {},
                            .showMemoBoard = {},
                            .history = {},
                            .queue = &queue};
        context.setHuzai = [this](TVurnaDataArray& records, const QByteArray& locate, qint32 index,
                                  const QByteArray& time, const QByteArray& date) {
            calls.append({records, locate, time, date, index});
        };
        context.send = [this](const QList<QByteArray>& lines) { sent = lines; };
        context.history.read = [this](const QByteArray& member) {
            return histories.value(member, QList<QByteArray>());
        };
        context.history.replace = [this](const QByteArray& member, const QByteArray& kept, const QByteArray& newText) {
            historyCalls.append({{member}, kept, newText});
        };
        context.history.add = [this](const QList<QByteArray>& members, const QByteArray& newText) {
            historyCalls.append({members, std::nullopt, newText});
        };
        form = std::make_unique<TfrmInfo>(std::move(context));
        TVurnaDataArray selection{TVurnaDataRec{}};
        for (int m : members)
            selection.append(model.GetMember(m));
        ASSERT_TRUE(form->Prepare(site, selection, presetToday, mode));
        form->show();
        if (answered)
            settle();
    }
    // The window's reads and writes are done and their answers shown.
    void settle()
    {
        ASSERT_TRUE(queue.Drain(10000));
        QCoreApplication::sendPostedEvents();
    }
    template <typename T> T* child(const char* name) const { return form->findChild<T*>(QLatin1String(name)); }
    void type(const char* field, const QString& text) const { child<QPlainTextEdit>(field)->setPlainText(text); }
    void press(const char* button)
    {
        child<QPushButton>(button)->click();
        settle();
    }
    // The calendar drops down on a click on the date field.
    void clickDate() const { QTest::mouseClick(child<QLineEdit>("edtMonth"), Qt::LeftButton); }
    QByteArray member(const char* key) const { return share.dataSource() + key; }

    TestShare share;
    BoardModel model;
    ParmRec site;
    TVurnaDataRec own;
    FixedClock clock{QDateTime(QDate(2024, 3, 31), QTime(10, 0))};
    ScriptedMessageBoxes boxes;
    NoStatus status;
    QList<HuzaiCall> calls;
    QMap<QByteArray, std::optional<QList<QByteArray>>> histories; // by member; none: empty
    QList<HistoryCall> historyCalls;
    QList<QByteArray> sent;
    int dropsCleared = 0;
    ShareQueue queue;
    std::unique_ptr<TfrmInfo> form;
};

TEST_F(InfoWindow, ThreeMembersAreAskedOnceWrittenTogetherAndEachHistoryGetsTheReason)
{
    open({1, 2, 3}, TfrmInfo::Mode::HuzaiSet);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("阿部さん ～ 上田さんを選択しています。(計:3人)"));
    EXPECT_TRUE(child<QWidget>("pnlMultiUsers")->isVisible());
    EXPECT_EQ(child<QListWidget>("lstHistory")->count(), 0);
    EXPECT_TRUE(child<QPlainTextEdit>("memHuzai")->toPlainText().isEmpty());

    type("memHuzai", QStringLiteral("desk"));
    press("btnHuzaiSet");
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(QStringLiteral("複数の人に対して操作を")));
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].records.size(), 4);
    EXPECT_EQ(calls[0].date, cp932(QStringLiteral("不在")));
    ASSERT_EQ(historyCalls.size(), 1);
    EXPECT_EQ(historyCalls[0].members, (QList<QByteArray>{member("ABE"), member("ITO"), member("UEDA")}));
    EXPECT_FALSE(historyCalls[0].kept.has_value()); // each on top of what its history holds
    EXPECT_EQ(historyCalls[0].newText, "desk");
    EXPECT_EQ(dropsCleared, 1);
}

TEST_F(InfoWindow, RefusedConfirmationChangesNothing)
{
    open({1, 2}, TfrmInfo::Mode::HuzaiSet);
    type("memHuzai", QStringLiteral("desk"));
    boxes.setNextAnswer(Mb::IdCancel);
    press("btnHuzaiSet");
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(historyCalls.isEmpty());
}

struct MarkCase
{
    int mark;
    QString storedDate;
};

class NoReturnDate : public InfoWindow, public ::testing::WithParamInterface<MarkCase>
{
};

TEST_P(NoReturnDate, TheMarkNameStandsForTheDateAndNeverNothing)
{
    open({1}, TfrmInfo::Mode::HuzaiSet);
    type("memHuzai", QStringLiteral("  外出中  "));
    child<QRadioButton>("rbtnNoReturnDate")->setChecked(true);
    child<QComboBox>("cmbStatus")->setCurrentIndex(GetParam().mark);
    press("btnHuzaiSet");
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].date, cp932(GetParam().storedDate));
    EXPECT_EQ(calls[0].statusIndex, GetParam().mark);
    EXPECT_TRUE(calls[0].time.isEmpty());
    EXPECT_EQ(calls[0].locate, cp932(QStringLiteral("外出中")));
    ASSERT_EQ(historyCalls.size(), 1);
    EXPECT_EQ(historyCalls[0].newText, cp932(QStringLiteral("  外出中  "))); // the history keeps the blanks
}

INSTANTIATE_TEST_SUITE_P(Marks, NoReturnDate,
                         ::testing::Values(MarkCase{0, QStringLiteral("不在")}, MarkCase{1, QStringLiteral("外出")},
                                           MarkCase{2, QStringLiteral("不在")}));

TEST_F(InfoWindow, SetIsRefusedWithoutReasonOrDateOrWithTextTheFileCannotHold)
{
    open({1}, TfrmInfo::Mode::HuzaiSet);
    press("btnHuzaiSet");
    type("memHuzai", QStringLiteral("外出"));
    child<QRadioButton>("rbtnDateTime")->setChecked(true);
    child<QLineEdit>("edtMonth")->clear();
    press("btnHuzaiSet");
    type("memHuzai", QStringLiteral("会議室\"A\""));
    press("btnHuzaiSet");
    ASSERT_EQ(boxes.shown().size(), 3);
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("不在理由を入力して下さい。"));
    EXPECT_EQ(boxes.shown()[1].text, QStringLiteral("戻り日付を入力して下さい。"));
    EXPECT_TRUE(boxes.shown()[2].text.contains(QLatin1Char('"')));
    EXPECT_TRUE(calls.isEmpty());
}

TEST_F(InfoWindow, OneMemberPrefilledAndSetWithTheHistoryAsLeft)
{
    share.writeBytes(QStringLiteral("abe.vrn"),
                     userFileText({cp932(QStringLiteral("ｱﾍﾞ")), cp932(QStringLiteral("阿部")), "", "",
                                   cp932(QStringLiteral("出張")), "2024/04/02", "17:00", "", "", "1", "0", ""}));
    histories[member("ABE")] = QList<QByteArray>{cp932(QStringLiteral("出張")), cp932(QStringLiteral("会議"))};
    open({1}, TfrmInfo::Mode::HuzaiSet);
    EXPECT_EQ(child<QLineEdit>("edtMonth")->text(), QStringLiteral("2024/04/02"));
    EXPECT_EQ(child<QComboBox>("cmbReturnTime")->currentText(), QStringLiteral("17:00"));
    EXPECT_EQ(child<QComboBox>("cmbStatus")->currentIndex(), 1);
    ASSERT_EQ(child<QListWidget>("lstHistory")->count(), 2);
    child<QListWidget>("lstHistory")->item(0)->setSelected(true);
    press("btnDeleteHistory");

    press("btnHuzaiSet");
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].records.at(1).FileName, member("ABE"));
    EXPECT_EQ(calls[0].date, "2024/04/02");
    EXPECT_EQ(calls[0].time, "17:00");
    ASSERT_EQ(historyCalls.size(), 1);
    EXPECT_EQ(historyCalls[0].members, QList<QByteArray>{member("ABE")});
    EXPECT_EQ(historyCalls[0].kept, cp932(QStringLiteral("会議")));
    EXPECT_EQ(historyCalls[0].newText, cp932(QStringLiteral("出張")));
}

TEST_F(InfoWindow, AHistoryThatCouldNotBeReadIsNotReplaced)
{
    histories[member("ABE")] = std::nullopt;
    open({1}, TfrmInfo::Mode::HuzaiSet);
    type("memHuzai", QStringLiteral("desk"));
    press("btnHuzaiSet");
    EXPECT_EQ(calls.size(), 1);
    EXPECT_TRUE(historyCalls.isEmpty());
}

TEST_F(InfoWindow, BeforeTheShareAnswersTheBoardsCopyShowsAndASetGoesOnTopOfTheHistoryAsItStands)
{
    // The member's phone changed since the board read it.
    share.writeBytes(QStringLiteral("abe.vrn"),
                     userFileText({cp932(QStringLiteral("ｱﾍﾞ")), cp932(QStringLiteral("阿部")), "", "", "", "", "",
                                   "555", "", "0", "0", ""}));
    histories[member("ABE")] = QList<QByteArray>{"older"};
    std::promise<void> answer;
    queue.Post({}, [gate = answer.get_future().share()] { gate.wait(); });
    open({1}, TfrmInfo::Mode::HuzaiSet, false, {}, false);
    EXPECT_TRUE(child<QLineEdit>("edtWarningCall")->text().isEmpty());
    EXPECT_EQ(child<QListWidget>("lstHistory")->count(), 0);
    type("memHuzai", QStringLiteral("desk"));
    child<QPushButton>("btnHuzaiSet")->click();

    answer.set_value();
    settle();
    EXPECT_EQ(child<QLineEdit>("edtWarningCall")->text(), QStringLiteral("555"));
    EXPECT_EQ(model.GetMember(1).WarningCall, "555") << "the board takes what the window read";
    EXPECT_EQ(child<QPlainTextEdit>("memHuzai")->toPlainText(), QStringLiteral("desk")) << "typed, so kept";
    ASSERT_EQ(historyCalls.size(), 1);
    EXPECT_FALSE(historyCalls[0].kept.has_value()) << "an empty list taken for the member's history";
    EXPECT_EQ(historyCalls[0].newText, "desk");
}

TEST_F(InfoWindow, ReturnTimeTakesDigitsAndColonsAndRefusesAnImpossibleTime)
{
    open({1}, TfrmInfo::Mode::HuzaiSet);
    QLineEdit* time = child<QComboBox>("cmbReturnTime")->lineEdit();
    time->setFocus();
    QTest::keyClicks(time, QStringLiteral("9a:0b"));
    EXPECT_EQ(time->text(), QStringLiteral("9:0"));
    time->setText(QStringLiteral("25:00"));
    QFocusEvent leave(QEvent::FocusOut);
    QCoreApplication::sendEvent(time, &leave);
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("戻り時間の値は有効ではありません。"));
    EXPECT_TRUE(time->text().isEmpty());
}

TEST_F(InfoWindow, PreviousMonthFromTheLastOfMarch)
{
    open({1}, TfrmInfo::Mode::HuzaiSet, true);
    EXPECT_EQ(child<QLineEdit>("edtMonth")->text(), QStringLiteral("2024/03/31"));
    clickDate();
    press("btnPrevMonth");
    EXPECT_EQ(child<QLineEdit>("edtMonth")->text(), QStringLiteral("2024/02/29"));
    EXPECT_TRUE(child<QWidget>("pnlReturnDate")->isVisible());
}

TEST_F(InfoWindow, EscOnTheAbsencePanelClearsTheAbsence)
{
    open({1, 2}, TfrmInfo::Mode::HuzaiSet);
    clickDate(); // the calendar open makes no difference
    child<QPushButton>("btnHuzaiCancel")->setFocus();
    QTest::keyClick(form.get(), Qt::Key_Escape);
    ASSERT_EQ(calls.size(), 1);
    EXPECT_TRUE(calls[0].locate.isEmpty() && calls[0].date.isEmpty() && calls[0].statusIndex == 0);
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(QStringLiteral("複数の人に対して不在解除")));
}

TEST_F(InfoWindow, SendingFilesToTwoMembersQueuesEachMembersFilesThenItsMemo)
{
    open({1, 2}, TfrmInfo::Mode::SendFiles, false, {QStringLiteral("/d/one"), QStringLiteral("/d/two")});
    EXPECT_TRUE(child<QPlainTextEdit>("memSend")->toPlainText().startsWith(QStringLiteral("○ゲストより(Vurna便) ")));
    type("memSend", QStringLiteral("どうぞ"));
    press("btnSendOK");
    ASSERT_EQ(sent.size(), 6);
    const QByteArray a = share.dataSource() + "ABE";
    const char separator = SharePath::nativeSeparator;
    EXPECT_TRUE(sent[0].startsWith("<F>/d/one<T>" + a + separator));
    EXPECT_TRUE(sent[1].startsWith("<F>/d/two<T>" + a + separator));
    EXPECT_EQ(sent[2], "<N>" + a + "<M>" + cp932(QStringLiteral("どうぞ")));
    EXPECT_TRUE(sent[3].startsWith("<F>/d/one<T>" + share.dataSource() + "ITO" + separator));
    EXPECT_EQ(boxes.shown().size(), 1); // the question for several recipients
}

} // namespace
