// A new member's first start: no settings at all, the preferences filled in through the dialog,
// and the program comes up on the share as that member, where a real copy hears of it.

#include "CopyProcess.h"
#include "MainFixture.h"

#include "forms/TfrmSetting.h"
#include "platform/Cp932.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QUdpSocket>

namespace {

class FirstStart : public MainFixture
{
};

TEST_F(FirstStart, ThePreferencesMakeANewMemberWhoRunsAndIsAnnounced)
{
    QUdpSocket probe;
    probe.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0);
    const quint16 port = probe.localPort();
    probe.close();
    share.writeBytes(QStringLiteral("vurna.ini"), "UDPMESSAGE SEND=IPDIRECT PORT=" + QByteArray::number(port) + "\r\n");
    addMember(QStringLiteral("suzuki"),
              userFile(QStringLiteral("ｽｽﾞｷ"), QStringLiteral("鈴木"), QStringLiteral("総務"), "127.0.0.3"));
    CopyProcess suzuki(QStringLiteral(VURNA3_PATH), share.realPath(), QStringLiteral("suzuki"), QStringLiteral("鈴木"),
                       "127.0.0.3");
    suzuki.start();
    ASSERT_TRUE(suzuki.waitLog(QStringLiteral("start-up finished"))) << suzuki.log().toStdString();

    // No settings at all: the program starts as a guest.
    address = "127.0.0.2";
    bindAddress = address;
    realDatagrams = true;
    ASSERT_TRUE(start());
    ASSERT_TRUE(state().Own.FileName.isEmpty());

    window->Dialogs().SetRunner([&](QDialog& dialog) {
        auto* directory = dialog.findChild<QLineEdit*>(QStringLiteral("edtShareDir"));
        directory->clear();
        QTest::keyClicks(directory, share.realPath());
        QTest::keyClick(directory, Qt::Key_Return);
        dialog.findChild<QComboBox*>(QStringLiteral("cmbOwnerFileName"))->setEditText(QStringLiteral("sato"));
        dialog.findChild<QLineEdit*>(QStringLiteral("edtOwnerFurigana"))->setText(QStringLiteral("ｻﾄｳ"));
        dialog.findChild<QLineEdit*>(QStringLiteral("edtOwnerName"))->setText(QStringLiteral("佐藤"));
        dialog.findChild<QCheckBox*>(QStringLiteral("chkCreateShortcut"))->setChecked(true);
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("btnOK"));
        ASSERT_TRUE(ok->isEnabled());
        ok->click();
    });
    action(QStringLiteral("mnuPreference"))->trigger();

    EXPECT_TRUE(state().Own.FileName.endsWith("SATO"));
    EXPECT_TRUE(readShareFile(QStringLiteral("sato.vrn")).contains(cp932(QStringLiteral("\"佐藤\""))));
    EXPECT_FALSE(shareHas(QStringLiteral("sato.off"))); // running
    // The others hear of the start at once; a member new to their boards joins them at their next
    // reload, as the change stamp names SATO.
    EXPECT_TRUE(suzuki.waitLog(QStringLiteral("received started from 127.0.0.2"), 10000)) << suzuki.log().toStdString();
    EXPECT_TRUE(readShareFile(QStringLiteral("timestmp.dat")).contains("SATO"));
    EXPECT_TRUE(QFileInfo(profile.path() + QStringLiteral("/autostart/Vurnaboard.desktop")).isFile());
    EXPECT_EQ(suzuki.stop(), 0);
}

} // namespace
