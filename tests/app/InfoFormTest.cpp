// The detail window as the board window opens it: which command opens which mode for whom,
// the memo and the parcel it sends reaching the share, the reason reaching the histories, and
// its panels as drawn. With
// VURNA_SCREENSHOT_DIR set the panels are saved there as info-*.png for a person to look at.

#include "MainFixture.h"

#include "board/ui/TVurnaGrid.h"
#include "forms/TVurnaCalendar.h"
#include "platform/Cp932.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

struct Opened
{
    TfrmInfo::Mode mode;
    bool presetToday;
    QStringList names;
};

class InfoForm : public MainFixture
{
protected:
    void SetUp() override
    {
        const auto add = [this](const char* base, const char* reading, const char* name, const char* locate,
                                const QByteArray& date, const QByteArray& time) {
            addMember(QLatin1String(base),
                      userFile(QString::fromUtf8(reading), QString::fromUtf8(name), QStringLiteral("営業"), "127.0.0.1",
                               QString::fromUtf8(locate), date, time));
        };
        add("yamada", "ﾔﾏﾀﾞ", "山田", "", {}, {});
        add("suzuki", "ｽｽﾞｷ", "鈴木", "大阪支店 打ち合わせ", "2024/04/03", "17:00");
        add("tanaka", "ﾀﾅｶ", "田中", "", {}, {});
        share.writeBytes(QStringLiteral("suzuki.lst"), cp932(QStringLiteral("大阪支店 打ち合わせ\r\n午後 客先")));
        share.writeBytes(QStringLiteral("vurna.ini"),
                         cp932(QStringLiteral("[Vurnaboard]\r\nWEEKEND=土日\r\nHOLIDAY=2024/04/29,昭和の日\r\n"
                                              "WORKDAY=2024/04/06,土曜出勤日\r\n")));
        share.writeBytes(QStringLiteral("suzuki.mil"),
                         cp932(QStringLiteral("○田中より(伝言)     送信日時: 2024年 4月1日(月) 8時50分\r\n"
                                              "見積書の件、折り返しお願いします。\r\n\r\n\r\n")));
        share.writeBytes(QStringLiteral("suzuki.old"),
                         cp932(QStringLiteral("○山田より(伝言)\r\n会議は3時からです。\r\n")));
        writeSettings(QStringLiteral("yamada"), QStringLiteral("山田"));
        clock.set(QDateTime(QDate(2024, 4, 1), QTime(9, 5)));
        ASSERT_TRUE(start());
        window->resize(640, 460);
        window->show();
        window->Dialogs().SetInfoRunner([this](TfrmInfo& form, const ParmRec& site, const TVurnaDataArray& selection,
                                               bool presetToday, TfrmInfo::Mode mode) {
            Opened o{mode, presetToday, {}};
            for (int i = 1; i < selection.size(); ++i)
                o.names.append(Cp932::toUnicode(selection.at(i).Name));
            opened.append(o);
            if (!form.Prepare(site, selection, presetToday, mode))
                return;
            form.show();
            settle(); // the member's board and history as the share answered
            if (onOpen)
                onOpen(form);
        });
    }

    void save(QWidget& widget, const char* name) const
    {
        const QString dir = qEnvironmentVariable("VURNA_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            widget.grab().save(dir + QLatin1Char('/') + QLatin1String(name));
        }
    }

    QList<Opened> opened;
    std::function<void(TfrmInfo&)> onOpen;
};

template <typename T> T* in(TfrmInfo& form, const char* name)
{
    return form.findChild<T*>(QLatin1String(name));
}

TEST_F(InfoForm, EachCommandOpensItsModeForThePickedMembers)
{
    pick(QStringLiteral("鈴木"));
    action(QStringLiteral("popDengonRead"))->trigger();
    pick(QStringLiteral("田中"), true);
    action(QStringLiteral("popHuzaiSet"))->trigger();
    child<QToolButton>("btnOwnerSet").click();
    ASSERT_EQ(opened.size(), 3);
    // While one is open (and sending lets events through) the board opens no second one.
    onOpen = [this](TfrmInfo&) { action(QStringLiteral("popInfo"))->trigger(); };
    action(QStringLiteral("popDengonSend"))->trigger();
    EXPECT_EQ(opened.size(), 4);
    EXPECT_EQ(opened[0].mode, TfrmInfo::Mode::DengonRead);
    EXPECT_EQ(opened[0].names, QStringList{QStringLiteral("鈴木")});
    EXPECT_EQ(opened[1].mode, TfrmInfo::Mode::HuzaiSet);
    EXPECT_EQ(opened[1].names, (QStringList{QStringLiteral("鈴木"), QStringLiteral("田中")}));
    EXPECT_FALSE(opened[1].presetToday);
    EXPECT_EQ(opened[2].names, QStringList{QStringLiteral("山田")});
    EXPECT_TRUE(opened[2].presetToday);
}

TEST_F(InfoForm, AMemoWrittenInTheWindowLandsOnTopOfTheRecipientsMemos)
{
    share.writeBytes(QStringLiteral("tanaka.mil"), "older\r\n\r\n\r\n");
    onOpen = [](TfrmInfo& form) {
        in<QPlainTextEdit>(form, "memSend")->appendPlainText(QStringLiteral("折り返しお願いします"));
        in<QPushButton>(form, "btnSendOK")->click();
    };
    pick(QStringLiteral("田中"));
    action(QStringLiteral("popDengonSend"))->trigger();
    const QByteArray mil = readShareFile(QStringLiteral("tanaka.mil"));
    EXPECT_TRUE(mil.startsWith(cp932(QStringLiteral("○山田より(伝言)     送信日時: 2024年 4月1日(月) 9時5分"))));
    EXPECT_TRUE(mil.endsWith(cp932(QStringLiteral("折り返しお願いします")) + "\r\n\r\n\r\nolder\r\n\r\n\r\n"));
    ASSERT_FALSE(sent.isEmpty());
    EXPECT_TRUE(sent.last().datagram.startsWith("\x01Vrn3_Msg"));
}

TEST_F(InfoForm, FilesDroppedOnAMemberBecomeAParcelInItsInbox)
{
    QTemporaryDir outside;
    QFile file(outside.path() + QStringLiteral("/見積書.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("estimate");
    file.close();
    onOpen = [](TfrmInfo& form) { in<QPushButton>(form, "btnSendOK")->click(); };

    dropOn(QStringLiteral("田中"), {file.fileName()});
    settle();

    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].mode, TfrmInfo::Mode::SendFiles);
    const QStringList inboxes = QDir(share.realPath()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(inboxes, QStringList{QStringLiteral("TANAKA")});
    const QStringList labels = QDir(share.realPath() + inboxes[0]).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    EXPECT_EQ(labels, QStringList{QStringLiteral("山田さんからのVurna便 4月1日 9時5分0秒")});
    EXPECT_TRUE(child<TVurnaGrid>("Keiziban").DropFiles().isEmpty());
}

TEST_F(InfoForm, TheReasonSetGoesOnTopOfEachMembersHistory)
{
    onOpen = [](TfrmInfo& form) {
        auto* history = in<QListWidget>(form, "lstHistory");
        ASSERT_EQ(history->count(), 2);
        history->item(0)->setSelected(true);
        in<QPushButton>(form, "btnDeleteHistory")->click();
        in<QPlainTextEdit>(form, "memHuzai")->setPlainText(QStringLiteral("本社"));
        in<QPushButton>(form, "btnHuzaiSet")->click();
    };
    pick(QStringLiteral("鈴木"));
    action(QStringLiteral("popHuzaiSet"))->trigger();
    EXPECT_EQ(readShareFile(QStringLiteral("suzuki.lst")), cp932(QStringLiteral("本社\r\n午後 客先")));

    onOpen = [](TfrmInfo& form) {
        in<QPlainTextEdit>(form, "memHuzai")->setPlainText(QStringLiteral("外出"));
        in<QPushButton>(form, "btnHuzaiSet")->click();
    };
    pick(QStringLiteral("田中"), true);
    action(QStringLiteral("popHuzaiSet"))->trigger();
    EXPECT_EQ(readShareFile(QStringLiteral("suzuki.lst")), cp932(QStringLiteral("外出\r\n本社\r\n午後 客先")));
    EXPECT_EQ(readShareFile(QStringLiteral("tanaka.lst")), cp932(QStringLiteral("外出")));
}

TEST_F(InfoForm, PanelsAsDrawn)
{
    onOpen = [this](TfrmInfo& form) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        const QImage info = form.grab().toImage();
        auto* group = form.findChild<QLineEdit*>(QStringLiteral("edtGroup"));
        EXPECT_EQ(info.pixelColor(group->mapTo(&form, QPoint(group->width() - 4, 4))), QColor(Qt::black));
        save(form, "info-details.png");
        in<QToolButton>(form, "sbtnHuzai")->click();
        auto* history = form.findChild<QListWidget*>(QStringLiteral("lstHistory"));
        EXPECT_EQ(history->count(), 2);
        history->item(1)->setSelected(true);
        save(form, "info-absence.png");
        QTest::mouseClick(in<QLineEdit>(form, "edtMonth"), Qt::LeftButton);
        auto* calendar = form.findChild<TVurnaCalendar*>(QStringLiteral("calMonth"));
        calendar->SetDate(QDate(2024, 4, 29));
        int col = 0, row = 0;
        for (row = 1; row < 7; ++row) {
            for (col = 0; col < 7; ++col) {
                if (calendar->Layout().CellText(col, row) == QStringLiteral("29"))
                    goto found;
            }
        }
    found:
        QMouseEvent hover(QEvent::MouseMove, QPointF(calendar->CellRect(col, row).center()),
                          calendar->mapToGlobal(QPointF(calendar->CellRect(col, row).center())), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(calendar, &hover);
        EXPECT_EQ(form.findChild<QPlainTextEdit*>(QStringLiteral("memWhatDay"))->toPlainText(),
                  QStringLiteral("昭和の日"));
        save(form, "info-calendar.png");
        in<QToolButton>(form, "sbtnRead")->click();
        save(form, "info-read.png");
        in<QToolButton>(form, "sbtnSend")->click();
        save(form, "info-send.png");
    };
    pick(QStringLiteral("鈴木"));
    action(QStringLiteral("popInfo"))->trigger();

    onOpen = [this](TfrmInfo& form) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        EXPECT_TRUE(form.findChild<QWidget*>(QStringLiteral("pnlMultiUsers"))->isVisible());
        save(form, "info-three-members.png");
    };
    child<TVurnaGrid>("Keiziban").SelectAll();
    action(QStringLiteral("popHuzaiSet"))->trigger();
    EXPECT_EQ(opened.size(), 2);
}

} // namespace
