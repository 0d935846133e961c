// The memo page, a memo and a parcel while the file server does not answer: the share is served
// through the slowshare pass-through, whose process is stopped as a hung server would be. Every
// call returns while the server is stopped; once it answers, each thing is done exactly once.

#include "StoppableServer.h"

#include "platform/SharePath.h"
#include "store/ui/TQuaxoRichEdit.h"
#include "support/SlowShareMount.h"

#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {

class StalledDelivery : public StoppableServer
{
protected:
    void SetUp() override
    {
        for (const auto& [base, reading, name] : {std::tuple{"yamada", "ﾔﾏﾀﾞ", "山田"}, {"tanaka", "ﾀﾅｶ", "田中"}})
            addMember(QLatin1String(base), userFile(QString::fromUtf8(reading), QString::fromUtf8(name),
                                                    QStringLiteral("営業"), "127.0.0.1"));
        share.writeBytes(QStringLiteral("yamada.mil"), cp932(QStringLiteral("○鈴木より(伝言)\r\n折り返し")) + "\r\n");
        writeFile(outside.filePath(QStringLiteral("見積書.txt")), "estimate");
        ServeAndStart();
        if (IsSkipped() || HasFatalFailure())
            return;
        window->Dialogs().SetInfoRunner([](TfrmInfo& form, const ParmRec& site, const TVurnaDataArray& selection,
                                           bool presetToday, TfrmInfo::Mode mode) {
            ASSERT_TRUE(form.Prepare(site, selection, presetToday, mode));
            form.findChild<QPlainTextEdit*>(QStringLiteral("memSend"))->appendPlainText(QStringLiteral("よろしく"));
            form.findChild<QPushButton*>(QStringLiteral("btnSendOK"))->click();
        });
    }
    int memoDatagrams() const
    {
        return int(std::count_if(sent.cbegin(), sent.cend(),
                                 [](const SentDatagram& d) { return d.datagram.startsWith("\x01Vrn3_Msg"); }));
    }

    QTemporaryDir outside;
};

TEST_F(StalledDelivery, EveryCallReturnsAndEachThingIsDoneOnceTheServerAnswers)
{
    auto& editor = child<TQuaxoRichEdit>("rchDengonOwner");
    // The names the share spelled a moment ago would answer without asking the server.
    SharePath::clearCache();
    mount->SetAnswering(false);

    // Each of these comes back while every file operation on the share waits.
    dropOn(QStringLiteral("田中"), {outside.filePath(QStringLiteral("見積書.txt"))});
    pick(QStringLiteral("田中"));
    action(QStringLiteral("popDengonSend"))->trigger();
    child<QTabWidget>("pgcMain").setCurrentWidget(&child<QWidget>("tabDengon"));
    EXPECT_TRUE(editor.isReadOnly());
    EXPECT_TRUE(child<QLabel>("lblDengonTakingIn").isVisibleTo(window.get()));
    EXPECT_EQ(memoDatagrams(), 0) << "announced before it was stored";

    mount->SetAnswering(true);
    settle();
    const QByteArray mil = readShareFile(QStringLiteral("tanaka.mil"));
    EXPECT_EQ(mil.count(cp932(QStringLiteral("○山田より(Vurna便)"))), 1);
    EXPECT_EQ(mil.count(cp932(QStringLiteral("○山田より(伝言)"))), 1);
    EXPECT_EQ(memoDatagrams(), 2);
    const QStringList parcels =
        QDir(share.realPath() + QStringLiteral("TANAKA")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(parcels.size(), 1);
    EXPECT_EQ(QDir(share.realPath() + QStringLiteral("TANAKA/") + parcels[0]).entryList(QDir::Files),
              QStringList{QStringLiteral("見積書.txt")});
    // The take-in: the unread memo is on the board and in its file, the editor open again.
    EXPECT_FALSE(shareHas(QStringLiteral("yamada.mil")));
    EXPECT_TRUE(readShareFile(QStringLiteral("yamada.old")).startsWith(cp932(QStringLiteral("○鈴木より(伝言)"))));
    EXPECT_EQ(editor.lines().value(0), QStringLiteral("○鈴木より(伝言)"));
    EXPECT_FALSE(editor.isReadOnly());
    EXPECT_FALSE(state().NewMemo);
}

} // namespace
