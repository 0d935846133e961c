// The preferences dialog: what it refuses, how fields are tidied, what a typed or chosen
// directory does, and what it hands back. With VURNA_SCREENSHOT_DIR set the dialog is also
// saved there as setting.png.

#include "forms/SettingRules.h"
#include "forms/TfrmSetting.h"
#include "platform/Clock.h"
#include "platform/FolderChooser.h"
#include "platform/MessageBoxes.h"
#include "support/TestShare.h"

#include "platform/SharePath.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString ForbiddenMessage = QStringLiteral("ファイル名に次の文字は使えないんです。\r\n\\/:,;*?\"<>|");

TVurnaDataRec Member(const QByteArray& dir, const char* file, const char* name, const char* group, bool running = false,
                     const QByteArray& ip = {})
{
    TVurnaDataRec m;
    m.FileName = dir + file;
    m.Furigana = "\xD4\xCF\xC0\xDE"; // ﾔﾏﾀﾞ
    m.Name = cp932(QString::fromUtf8(name));
    m.Group = cp932(QString::fromUtf8(group));
    m.WarningCall = "090-1234";
    m.InnerLine = "123";
    m.SortPrefix = "2";
    m.Running = running;
    m.IP = ip;
    return m;
}

class SettingDialog : public ::testing::Test
{
protected:
    SettingDialog()
    {
        board.ShareDir = share.dataSource();
        board.AutoSmall = false;
        board.AutoDengonOpen = true;
        own = Member(share.dataSource(), "SUZUKI", "鈴木 一郎", "総務", true, "127.0.0.2");
        members = {TVurnaDataRec{}, own, Member(share.dataSource(), "YAMADA", "山田 太郎", "営業", true, "127.0.0.9"),
                   Member(share.dataSource(), "SATO", "佐藤 花子", "営業")};
    }

    SettingEnvironment Environment()
    {
        return {.folders = folders,
                .boxes = boxes,
                .clock = clock,
                .loadMembers =
                    [this](const QByteArray& dir, QString*) {
                        loadedFrom = dir;
                        return otherMembers;
                    },
                .readSiteConfig =
                    [this](const QByteArray&) {
                        ParmRec site;
                        site.SortPriority = otherSortPriority;
                        return site;
                    },
                .shortcutPresent = [] { return true; },
                .editDefaults =
                    [this](const TVurnaDefaultValue& current) {
                        defaultsShown.append(current);
                        return defaultsAnswer;
                    },
                .readDefaults =
                    [] {
                        return TVurnaDefaultValue{"18:00", 1, "x"};
                    }};
    }

    void open()
    {
        dialog = std::make_unique<TfrmSetting>(Environment(), board, own, members);
        dialog->show();
    }
    template <typename T> T* child(const char* name) const { return dialog->findChild<T*>(QLatin1String(name)); }
    QLineEdit* edit(const char* name) const
    {
        auto* combo = child<QComboBox>(name);
        return combo ? combo->lineEdit() : child<QLineEdit>(name);
    }
    void type(const char* name, const QString& text) const
    {
        // As typed through an input method: keyClicks cannot send kana.
        edit(name)->clear();
        edit(name)->insert(text);
        edit(name)->setModified(true);
    }
    void leave(const char* name) const
    {
        QWidget* field = child<QWidget>(name);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(field, &out);
    }
    void press(const char* button) const { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }

    TestShare share;
    ScriptedFolderChooser folders;
    ScriptedMessageBoxes boxes;
    FixedClock clock{QDateTime(QDate(2024, 4, 1), QTime(9, 0))};
    ParmRec board;
    TVurnaDataRec own;
    TVurnaDataArray members;
    TVurnaDataArray otherMembers;
    qint32 otherSortPriority = 0;
    QByteArray loadedFrom;
    std::optional<TVurnaDefaultValue> defaultsAnswer;
    QList<TVurnaDefaultValue> defaultsShown;
    std::unique_ptr<TfrmSetting> dialog;
};

struct NameCase
{
    const char* typed;
    bool refused;
};

class SettingFileName : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(SettingFileName, IsRefusedWhenWindowsOrTheFileCouldNotHoldIt)
{
    const NameCase& c = GetParam();
    EXPECT_EQ(SettingRules::FileNameRefusal(QString::fromUtf8(c.typed)).has_value(), c.refused) << c.typed;
}

INSTANTIATE_TEST_SUITE_P(, SettingFileName,
                         ::testing::Values(NameCase{"yamada", false}, NameCase{"  yamada\t", false},
                                           NameCase{"", false}, NameCase{"a.b", false}, NameCase{"com10", false},
                                           NameCase{"console", false}, NameCase{"山田", false},
                                           NameCase{"yamada,t", true}, NameCase{"a|b", true}, NameCase{"a\"b", true},
                                           NameCase{"CON", true}, NameCase{"nul", true}, NameCase{"Com1", true},
                                           NameCase{"lpt9.vrn", true}, NameCase{"aux .txt", true},
                                           NameCase{"yamada.", true}, NameCase{".", true}, NameCase{"..", true},
                                           NameCase{"a\x01z", true}, NameCase{"𠮷田", true}));

TEST_F(SettingDialog, FileNameWithACommaIsRefusedWithTheMessageAndTheDialogStaysOpen)
{
    open();
    type("cmbOwnerFileName", QStringLiteral("yamada,t"));
    press("btnOK");
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].text, ForbiddenMessage);
    EXPECT_EQ(boxes.shown()[0].flags, Mb::Ok | Mb::IconStop);
    EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Vurnaboard"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->Ok());
}

TEST_F(SettingDialog, FieldWithoutACp932FormIsRefusedRatherThanStoredAsQuestionMarks)
{
    open();
    type("edtOwnerInnerLine", QStringLiteral("内線𠮷"));
    press("btnOK");
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_TRUE(boxes.shown()[0].text.contains(QStringLiteral("𠮷")));
    EXPECT_FALSE(dialog->Ok());
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(SettingDialog, OpensOnTheOwnIdentityAndOptions)
{
    open();
    EXPECT_EQ(edit("edtShareDir")->text(), QString::fromUtf8(share.dataSource()));
    EXPECT_EQ(edit("cmbOwnerFileName")->text(), QStringLiteral("SUZUKI"));
    EXPECT_EQ(edit("edtOwnerName")->text(), QStringLiteral("鈴木 一郎"));
    EXPECT_EQ(child<QComboBox>("cmbOwnerFileName")->count(), 3);
    auto* groups = child<QComboBox>("cmbOwnerGroup");
    ASSERT_EQ(groups->count(), 2); // 営業 once, ordered by code: 営業 (89 63) before 総務 (91 8D)
    EXPECT_EQ(groups->itemText(0), QStringLiteral("営業"));
    EXPECT_FALSE(child<QCheckBox>("chkAutoMinimum")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("chkAutoDengonOpen")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("chkCreateShortcut")->isChecked());
    EXPECT_TRUE(child<QPushButton>("btnOK")->isEnabled());
}

TEST_F(SettingDialog, EmptyFileNameLeavesTheUserAGuestWithTheOptionsKept)
{
    open();
    type("cmbOwnerFileName", QStringLiteral("   "));
    child<QCheckBox>("chkAutoMinimum")->setChecked(true);
    press("btnOK");
    ASSERT_TRUE(dialog->Ok()) << (boxes.shown().isEmpty() ? "" : boxes.shown()[0].text.toStdString());
    const SettingResult& r = dialog->Result();
    EXPECT_TRUE(r.FileName.isEmpty());
    EXPECT_TRUE(r.Name.isEmpty());
    EXPECT_TRUE(r.Group.isEmpty());
    EXPECT_TRUE(r.AutoSmall);
    EXPECT_EQ(r.ShareDir, share.dataSource());
}

TEST_F(SettingDialog, ChoosingAnExistingMemberFillsTheFieldsAndConfirmsUnderItsFile)
{
    members[2].Running = false;
    open();
    emit child<QComboBox>("cmbOwnerFileName")->activated(1);
    EXPECT_EQ(edit("edtOwnerName")->text(), QStringLiteral("山田 太郎"));
    EXPECT_EQ(edit("cmbOwnerGroup")->text(), QStringLiteral("営業"));
    EXPECT_EQ(edit("edtOwnerWarningCall")->text(), QStringLiteral("090-1234"));
    press("btnOK");
    ASSERT_TRUE(dialog->Ok());
    const SettingResult& r = dialog->Result();
    EXPECT_EQ(r.FileName, "YAMADA");
    EXPECT_EQ(r.Name, members[2].Name);
    EXPECT_EQ(r.Furigana, members[2].Furigana);
    EXPECT_EQ(r.InnerLine, "123");
    EXPECT_EQ(r.SortPrefix, "2");
    EXPECT_TRUE(boxes.shown().isEmpty());
}

struct ExitCase
{
    const char* field;
    const char* typed;
    const char* shown;
};

class SettingFieldExit : public SettingDialog, public ::testing::WithParamInterface<ExitCase>
{
};

TEST_P(SettingFieldExit, TrimsAndConvertsOnLeaving)
{
    const ExitCase& c = GetParam();
    open();
    type(c.field, QString::fromUtf8(c.typed));
    leave(c.field);
    EXPECT_EQ(edit(c.field)->text(), QString::fromUtf8(c.shown));
}

INSTANTIATE_TEST_SUITE_P(, SettingFieldExit,
                         ::testing::Values(ExitCase{"edtOwnerFurigana", " やまだ たろう ", "ﾔﾏﾀﾞ ﾀﾛｳ"},
                                           ExitCase{"cmbOwnerGroup", "sales ", "ＳＡＬＥＳ"},
                                           ExitCase{"edtOwnerName", "  山田 ", "山田"},
                                           ExitCase{"cmbOwnerFileName", " yamada ", "yamada"}));

TEST_F(SettingDialog, MissingDirectoryDisablesSettingUntilAnExistingOneIsTyped)
{
    open();
    type("edtShareDir", share.realPath() + QStringLiteral("nowhere"));
    leave("edtShareDir");
    EXPECT_FALSE(child<QPushButton>("btnOK")->isEnabled());
    EXPECT_EQ(child<QComboBox>("cmbOwnerFileName")->count(), 0);
    EXPECT_TRUE(edit("edtOwnerName")->text().isEmpty());
    EXPECT_TRUE(loadedFrom.isEmpty());

    otherMembers = {TVurnaDataRec{}, Member("/X/", "KATO", "加藤", "開発")};
    type("edtShareDir", share.realPath().chopped(1));
    leave("edtShareDir");
    EXPECT_TRUE(child<QPushButton>("btnOK")->isEnabled());
    EXPECT_EQ(loadedFrom, SharePath::withSeparator(QDir::toNativeSeparators(share.realPath()).toUtf8()))
        << "the spelling on disk";
    EXPECT_EQ(edit("edtShareDir")->text(), share.realPath());
    ASSERT_EQ(child<QComboBox>("cmbOwnerFileName")->count(), 1);
    EXPECT_EQ(child<QComboBox>("cmbOwnerFileName")->itemText(0), QStringLiteral("KATO"));
}

TEST_F(SettingDialog, ChosenFolderLoadsItsMembersAndItsSortPriority)
{
    otherSortPriority = 2;
    otherMembers = {TVurnaDataRec{}, Member("/X/", "KATO", "加藤", "開発")};
    folders.setNextAnswer(share.realPath().chopped(1));
    open();
    EXPECT_TRUE(child<QComboBox>("cmbSortLevel")->isHidden());
    EXPECT_TRUE(child<QLabel>("lblSortPriority")->isHidden());
    press("btnSelectShareDir");
    ASSERT_EQ(folders.asked().size(), 1);
    EXPECT_EQ(folders.asked()[0], QStringLiteral("共有ディレクトリを選択して下さい。"));
    EXPECT_EQ(loadedFrom, SharePath::withSeparator(QDir::toNativeSeparators(share.realPath()).toUtf8()))
        << "the spelling on disk";
    EXPECT_EQ(child<QComboBox>("cmbOwnerFileName")->count(), 1);
    EXPECT_FALSE(child<QComboBox>("cmbSortLevel")->isHidden());
    EXPECT_EQ(edit("cmbSortLevel")->maxLength(), 2);
}

TEST_F(SettingDialog, DefaultsAreEditedWhenTickedAndHandedBackOnlyOnSetting)
{
    open();
    auto* box = child<QCheckBox>("chkDefaultValue");
    EXPECT_FALSE(box->isChecked());
    box->click();
    EXPECT_FALSE(box->isChecked()); // the default values dialog was cancelled
    ASSERT_EQ(defaultsShown.size(), 1);
    EXPECT_EQ(defaultsShown[0].ReturnTime, "18:00");

    defaultsAnswer = TVurnaDefaultValue{"17:30", 2, "y"};
    box->click();
    EXPECT_TRUE(box->isChecked());
    press("btnOK");
    ASSERT_TRUE(dialog->Ok());
    EXPECT_TRUE(dialog->Result().DefaultOnExit);
    ASSERT_TRUE(dialog->Result().DefaultValue.has_value());
    EXPECT_EQ(dialog->Result().DefaultValue->ReturnTime, "17:30");
    EXPECT_EQ(dialog->Result().DefaultValue->Locate, "y");
}

struct TakeoverCase
{
    bool running;
    QByteArray ip;
    bool asked;
};

class SettingTakeover : public SettingDialog, public ::testing::WithParamInterface<TakeoverCase>
{
};

TEST_P(SettingTakeover, AsksOnlyWhenTheMemberRunsOnAnotherPc)
{
    members[2].Running = GetParam().running;
    members[2].IP = GetParam().ip;
    open();
    type("cmbOwnerFileName", QStringLiteral("yamada"));
    boxes.setNextAnswer(Mb::IdCancel);
    press("btnOK");
    EXPECT_EQ(boxes.shown().size(), GetParam().asked ? 1 : 0);
    EXPECT_EQ(dialog->Ok(), !GetParam().asked);
}

INSTANTIATE_TEST_SUITE_P(, SettingTakeover,
                         ::testing::Values(TakeoverCase{true, "127.0.0.9", true},
                                           TakeoverCase{true, "127.0.0.2", false},
                                           TakeoverCase{false, "127.0.0.9", false}));

TEST_F(SettingDialog, TakeoverQuestionCancelKeepsTheDialogOpenAndOkContinues)
{
    open();
    emit child<QComboBox>("cmbOwnerFileName")->activated(1);
    boxes.setNextAnswer(Mb::IdCancel);
    press("btnOK");
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].flags, Mb::OkCancel | Mb::IconWarning);
    EXPECT_TRUE(boxes.shown()[0].text.contains(QStringLiteral("127.0.0.9")));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->Ok());

    boxes.setNextAnswer(Mb::IdOk);
    press("btnOK");
    EXPECT_TRUE(dialog->Ok());
    EXPECT_EQ(dialog->Result().FileName, "YAMADA");
}

TEST_F(SettingDialog, Screenshot)
{
    board.SortPriority = 1;
    open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    const QImage image = dialog->grab().toImage();
    EXPECT_EQ(image.size(), QSize(632, 330));
    // Every control must lie inside the window, or a user could not reach it.
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (w->isVisible() && !w->isWindow()) {
            EXPECT_TRUE(dialog->rect().contains(QRect(w->mapTo(dialog.get(), QPoint()), w->size())))
                << w->objectName().toStdString();
        }
    }
    const QString dir = qEnvironmentVariable("VURNA_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        image.save(dir + QStringLiteral("/setting.png"));
    }
}

} // namespace
