// The preferences as the board window applies them: the identity left behind, the new one
// written and announced, the defaults file only on confirmation, and this run's filter
// choices surviving the start-up that follows.

#include "MainFixture.h"

#include "app/filters/FilterList.h"
#include "board/UserFile.h"
#include "forms/TfrmDefaultValue.h"
#include "forms/TfrmSetting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

class Preferences : public MainFixture
{
protected:
    void SetUp() override
    {
        addMember(QStringLiteral("yamada"),
                  userFile(QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("山田"), QStringLiteral("営業"), "192.168.10.20"));
        addMember(QStringLiteral("suzuki"),
                  userFile(QStringLiteral("ｽｽﾞｷ"), QStringLiteral("鈴木"), QStringLiteral("総務"), "127.0.0.9"));
        share.writeBytes(QStringLiteral("suzuki.off"), {});
        writeSettings(QStringLiteral("yamada"), QStringLiteral("山田"));
        ASSERT_TRUE(start());
    }

    // Opens the preferences, lets `fill` work on the dialog, then presses 設定 or キャンセル.
    void preferences(const std::function<void(TfrmSetting&)>& fill, bool confirm = true)
    {
        window->Dialogs().SetRunner([&](QDialog& shown) {
            if (auto* defaults = qobject_cast<TfrmDefaultValue*>(&shown))
                return defaultsRunner(*defaults);
            auto& dialog = *qobject_cast<TfrmSetting*>(&shown);
            fill(dialog);
            dialog.findChild<QPushButton*>(confirm ? QStringLiteral("btnOK") : QStringLiteral("btnCancel"))->click();
        });
        action(QStringLiteral("mnuPreference"))->trigger();
    }
    static void fileName(TfrmSetting& dialog, const QString& name)
    {
        dialog.findChild<QComboBox*>(QStringLiteral("cmbOwnerFileName"))->setEditText(name);
    }
    // Ticks 終了時にデフォルト値をセットする。 and confirms the default values with `locate`.
    void tickDefaults(TfrmSetting& dialog, const QString& locate)
    {
        defaultsRunner = [locate](TfrmDefaultValue& defaults) {
            defaults.findChild<QPlainTextEdit*>(QStringLiteral("memoLocate"))->setPlainText(locate);
            defaults.findChild<QPushButton*>(QStringLiteral("btnOK"))->click();
        };
        dialog.findChild<QCheckBox*>(QStringLiteral("chkDefaultValue"))->click();
    }
    std::function<void(TfrmDefaultValue&)> defaultsRunner;
    TVurnaDataRec stored(const QString& base) const
    {
        TVurnaDataRec record;
        ParseUserFile(readShareFile(base + QStringLiteral(".vrn")), record);
        return record;
    }
};

TEST_F(Preferences, ANewFileNameStopsTheOldIdentityAndStartsTheNewOne)
{
    preferences([&](TfrmSetting& dialog) {
        fileName(dialog, QStringLiteral("sato"));
        dialog.findChild<QLineEdit*>(QStringLiteral("edtOwnerName"))->setText(QStringLiteral("佐藤"));
        tickDefaults(dialog, QStringLiteral("直帰"));
    });
    EXPECT_TRUE(shareHas(QStringLiteral("yamada.off"))); // the old entry shows stopped
    EXPECT_EQ(stored(QStringLiteral("sato")).Name, cp932(QStringLiteral("佐藤")));
    EXPECT_FALSE(shareHas(QStringLiteral("sato.off")));
    EXPECT_TRUE(state().Own.FileName.endsWith("SATO"));
    EXPECT_TRUE(setting(QStringLiteral("FileName")).toString().toUpper().endsWith(QStringLiteral("SATO")));
    // The defaults belong to the identity confirmed, not to the one the dialog opened with.
    EXPECT_TRUE(readShareFile(QStringLiteral("sato.def")).endsWith(cp932(QStringLiteral("\"直帰\""))));
    EXPECT_FALSE(shareHas(QStringLiteral("yamada.def")));
}

TEST_F(Preferences, CancelWritesNothing)
{
    const auto before = shareSnapshot();
    preferences(
        [&](TfrmSetting& dialog) {
            fileName(dialog, QStringLiteral("sato"));
            tickDefaults(dialog, QStringLiteral("直帰"));
        },
        false);
    EXPECT_EQ(shareSnapshot(), before);
    EXPECT_TRUE(state().Own.FileName.endsWith("YAMADA"));
}

TEST_F(Preferences, ThisRunsFilterChoicesSurviveTheNewStart)
{
    child<FilterList>("cmbGroupFilter").item(0)->setCheckState(Qt::Checked); // 営業
    preferences([](TfrmSetting&) {});
    EXPECT_EQ(state().ShownBoard().Filter.CheckedGroups, cp932(QStringLiteral(",営業,")));
    EXPECT_EQ(child<FilterList>("cmbGroupFilter").TickedRows(), QList<int>{0});
}

TEST_F(Preferences, AnEmptyFileNameLeavesAGuest)
{
    preferences([](TfrmSetting& dialog) { fileName(dialog, QString()); });
    EXPECT_TRUE(state().Own.FileName.isEmpty());
    EXPECT_TRUE(shareHas(QStringLiteral("yamada.off")));
    EXPECT_FALSE(child<QToolButton>("btnOwnerSet").isEnabled());
}

} // namespace
