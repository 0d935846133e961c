// The default values dialog: what it refuses, what it hands back, and how its status list
// draws. With VURNA_SCREENSHOT_DIR set the dialog is also saved there as default-value.png.

#include "forms/TfrmDefaultValue.h"
#include "platform/Clock.h"
#include "platform/MessageBoxes.h"
#include "support/TestShare.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

// Resources of a static library are registered by name, outside any namespace.
static void InitPictures()
{
    Q_INIT_RESOURCE(vurna);
}

namespace {

// A board with three marks: 不在, 外出 and 出張 (entries 4, 6 and 8).
ParmRec ThreeMarkBoard()
{
    ParmRec board;
    for (const char* name : {"外出(本日戻り)", "外出", "出張(本日戻り)", "出張"})
        board.StatusTable.append(StatusEntry{"x.ico", cp932(QString::fromUtf8(name))});
    return board;
}

// Plain pictures; entry 6 is red on its left half and see-through on its right, so the list
// must put it on white.
QList<QPixmap> PlainPictures()
{
    QList<QPixmap> pictures;
    for (int i = 0; i < 9; ++i) {
        QPixmap picture(32, 32);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.fillRect(i == 6 ? QRect(0, 0, 16, 32) : picture.rect(), i == 6 ? Qt::red : Qt::blue);
        pictures.append(picture);
    }
    return pictures;
}

class DefaultValueDialog : public ::testing::Test
{
protected:
    void open(const TVurnaDefaultValue& initial = {}, QList<QPixmap> pictures = PlainPictures())
    {
        dialog = std::make_unique<TfrmDefaultValue>(board, std::move(pictures), clock, boxes, initial);
        dialog->show();
    }
    template <typename T> T* child(const char* name) const { return dialog->findChild<T*>(QLatin1String(name)); }
    void enter(const QString& time, const QString& locate) const
    {
        child<QComboBox>("cmbReturnTime")->setEditText(time);
        child<QPlainTextEdit>("memoLocate")->setPlainText(locate);
    }
    void press(const char* button) const { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }

    ParmRec board = ThreeMarkBoard();
    FixedClock clock{QDateTime(QDate(2024, 3, 31), QTime(10, 0))};
    ScriptedMessageBoxes boxes;
    std::unique_ptr<TfrmDefaultValue> dialog;
};

struct Refusal
{
    const char* time;
    const char* locate;
    const char* message; // the start of the message shown
};

class DefaultValueRefusal : public DefaultValueDialog, public ::testing::WithParamInterface<Refusal>
{
};

TEST_P(DefaultValueRefusal, KeepsTheDialogOpenWithAnErrorBox)
{
    const Refusal& refusal = GetParam();
    open();
    enter(QString::fromUtf8(refusal.time), QString::fromUtf8(refusal.locate));
    press("btnOK");

    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(QString::fromUtf8(refusal.message)))
        << boxes.shown()[0].text.toStdString();
    EXPECT_EQ(boxes.shown()[0].flags, Mb::Ok | Mb::IconStop);
    EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Vurnaboard"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->Ok());
    EXPECT_EQ(child<QPlainTextEdit>("memoLocate")->toPlainText(), QString::fromUtf8(refusal.locate));
}

INSTANTIATE_TEST_SUITE_P(, DefaultValueRefusal,
                         ::testing::Values(Refusal{"24:00", "会議", "時間の指定が間違っています。"},
                                           Refusal{"9-00", "会議", "時間の指定が間違っています。"},
                                           Refusal{"10:00", "", "不在理由・出張先が入力されていません。"},
                                           Refusal{"", " \n\t\n ", "不在理由・出張先が入力されていません。"},
                                           // 𠮷 (U+20BB7) has no CP932 form; nothing may be stored as "?".
                                           Refusal{"10:00", "𠮷野家", "次の文字は保存できません。"},
                                           // A reader would end the value at the quote and lose 本社.
                                           Refusal{"10:00", "会議 \"A\"\n本社", "行の終わりの「\"」"}));

struct Accepted
{
    const char* time;
    const char* locate;
    int mark;
    QByteArray returnTime, destination; // CP932 as stored
};

class DefaultValueAccepted : public DefaultValueDialog, public ::testing::WithParamInterface<Accepted>
{
};

TEST_P(DefaultValueAccepted, HandsBackTheValuesAsCp932)
{
    const Accepted& accepted = GetParam();
    open();
    enter(QString::fromUtf8(accepted.time), QString::fromUtf8(accepted.locate));
    child<QComboBox>("cmbStatus")->setCurrentIndex(accepted.mark);
    press("btnOK");

    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_TRUE(dialog->Ok());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->Value().ReturnTime, accepted.returnTime);
    EXPECT_EQ(dialog->Value().StatusMark, accepted.mark);
    EXPECT_EQ(dialog->Value().Locate, accepted.destination);
}

INSTANTIATE_TEST_SUITE_P(, DefaultValueAccepted,
                         ::testing::Values(Accepted{"", "帰宅", 0, "", "\x8B\x41\x91\xEE"},
                                           // Untrimmed, and the line break written as the board writes it.
                                           Accepted{"10:30", " 会議\n本社 ", 2, "10:30",
                                                    " \x89\xEF\x8B\x63\r\n\x96\x7B\x8E\xD0 "}));

TEST_F(DefaultValueDialog, ShowsTheValuesHandedInAndGivesThemBackUnchanged)
{
    open({"13:00", 2, cp932(QStringLiteral("会議\r\n本社"))});
    auto* time = child<QComboBox>("cmbReturnTime");
    auto* status = child<QComboBox>("cmbStatus");
    EXPECT_EQ(time->currentText(), QStringLiteral("13:00"));
    EXPECT_EQ(time->count(), board.TimeTable.size());
    ASSERT_EQ(status->count(), 3);
    EXPECT_EQ(status->itemText(1), QStringLiteral("外出"));
    EXPECT_EQ(status->currentIndex(), 2);
    EXPECT_EQ(child<QPlainTextEdit>("memoLocate")->toPlainText(), QStringLiteral("会議\n本社"));

    press("btnOK");
    ASSERT_TRUE(dialog->Ok());
    EXPECT_EQ(dialog->Value().ReturnTime, "13:00");
    EXPECT_EQ(dialog->Value().StatusMark, 2);
    EXPECT_EQ(dialog->Value().Locate, cp932(QStringLiteral("会議\r\n本社")));
}

TEST_F(DefaultValueDialog, MarkTheBoardNoLongerOffersShowsTheFirst)
{
    open({"09:00", 7, "x"});
    EXPECT_EQ(child<QComboBox>("cmbStatus")->currentIndex(), 0);
}

TEST_F(DefaultValueDialog, CancelIsNotOkAndKeepsTheValuesHandedIn)
{
    open({"13:00", 1, "x"});
    enter(QStringLiteral("14:00"), QStringLiteral("y"));
    press("btnCancel");
    EXPECT_FALSE(dialog->Ok());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_EQ(dialog->Value().ReturnTime, "13:00");
    EXPECT_EQ(dialog->Value().Locate, "x");
}

TEST_F(DefaultValueDialog, StatusItemIsItsPictureOnWhiteInASquareAsHighAsTheItem)
{
    open();
    auto* status = child<QComboBox>("cmbStatus");
    QAbstractItemDelegate* delegate = status->itemDelegate();
    QStyleOptionViewItem option;
    option.initFrom(status->view());
    option.rect = QRect(0, 0, 200, 23);
    const QModelIndex mark1 = status->model()->index(1, 0);
    EXPECT_EQ(delegate->sizeHint(option, mark1).height(), 23);

    QImage image(200, 23, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    delegate->paint(&painter, option, mark1);
    painter.end();
    EXPECT_EQ(image.pixelColor(4, 11), QColor(Qt::red));    // left half of picture 6
    EXPECT_EQ(image.pixelColor(19, 11), QColor(Qt::white)); // its see-through half
    EXPECT_EQ(image.pixelColor(22, 22), QColor(Qt::white)); // the square ends at x = 22
}

TEST_F(DefaultValueDialog, Screenshot)
{
    InitPictures();
    QList<QPixmap> pictures;
    for (int i = 0; i < 9; ++i)
        pictures.append(QPixmap(QStringLiteral(":/status/%1.png").arg(i < 5 ? i : (i % 2 == 0 ? 4 : 3))));
    open({"18:00", 1, cp932(QStringLiteral("外出\r\n本社で打ち合わせ"))}, pictures);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    const QImage image = dialog->grab().toImage();
    EXPECT_EQ(image.size(), QSize(441, 309));
    const QString dir = qEnvironmentVariable("VURNA_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        image.save(dir + QStringLiteral("/default-value.png"));
    }
}

} // namespace
