// A Linux copy and a Windows copy on one board: this test process runs the Linux board window,
// the Windows build runs under Wine beside it on its own loopback address. Run by
// tools/windows/build.sh, which names the Windows program (VURNA_WINDOWS_VURNA3) and the Wine
// launcher (VURNA_WINE_RUN); skipped without them.

#include "CopyWorld.h"

#include "board/Datagram.h"
#include "board/UserFile.h"
#include "platform/SjisText.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUdpSocket>

namespace {

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

class MixedOffice : public CopyWorld
{
protected:
    void SetUp() override
    {
        windowsProgram = qEnvironmentVariable("VURNA_WINDOWS_VURNA3");
        if (windowsProgram.isEmpty() || qEnvironmentVariableIsEmpty("VURNA_WINE_RUN"))
            GTEST_SKIP() << "needs the Windows build and Wine: run tools/windows/build.sh";
    }

    // What a copy on either OS writes for this record: the status file re-read and written
    // again by this build's own code must give the same bytes.
    static QByteArray rewritten(const QByteArray& file)
    {
        TVurnaDataRec record;
        ParseUserFile(file, record);
        return BuildUserFileText(record);
    }

    // Datagrams heard about the member `key`, in order. Told apart by the member they name:
    // under Wine a socket bound to 127.0.0.3 sends from 127.0.0.1.
    QList<QByteArray> heardAbout(const QByteArray& key) const
    {
        QList<QByteArray> result;
        for (const QByteArray& datagram : heard) {
            const qsizetype end = datagram.indexOf('\x01', 1);
            if (SjisText::fileNamePart(datagram.left(end)) == key)
                result.append(datagram);
        }
        return result;
    }

    QString windowsProgram;
    QUdpSocket observer;
    QList<QByteArray> heard;
};

TEST_F(MixedOffice, LinuxAndWindowsCopiesShareOneBoard)
{
    // A third, silent member whose PC listens on 127.0.0.5: both copies send it every notice. Its
    // socket lets others bind the port on their own addresses, as the copies' sockets do (Wine
    // refuses the port to the Windows copy otherwise).
    for (quint16 candidate = 30000; candidate < 30100 && observer.state() != QAbstractSocket::BoundState; ++candidate) {
        if (observer.bind(QHostAddress(QStringLiteral("127.0.0.5")), candidate,
                          QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint))
            port = candidate;
    }
    ASSERT_EQ(observer.state(), QAbstractSocket::BoundState);
    QObject::connect(&observer, &QUdpSocket::readyRead, [this] {
        while (observer.hasPendingDatagrams()) {
            QByteArray datagram(observer.pendingDatagramSize(), '\0');
            observer.readDatagram(datagram.data(), datagram.size());
            heard.append(datagram);
        }
    });
    share.writeBytes(QStringLiteral("vurna.ini"), "UDPMESSAGE SEND=IPDIRECT PORT=" + QByteArray::number(port) +
                                                      "\r\nINTERVAL RELOADALLFILE=600\r\nINTERVAL "
                                                      "RELOADLASTCOMMIT=600\r\nINTERVAL DENGONCHECK=600\r\n");
    addMember(QStringLiteral("yamada"), userFile(utf8("ﾔﾏﾀﾞ"), utf8("山田"), utf8("営業"), ""));
    // 鈴木 left at the end of the last day with the absence the program writes on exit.
    addMember(QStringLiteral("suzuki"),
              userFile(utf8("ｽｽﾞｷ"), utf8("鈴木"), utf8("営業"), "127.0.0.3", utf8("帰宅"), {}, {}, 1));
    addMember(QStringLiteral("kansatsu"), userFile(utf8("ｶﾝｻﾂ"), utf8("観察"), utf8("総務"), "127.0.0.5"));
    for (const char* base : {"yamada", "suzuki"})
        share.writeBytes(QLatin1String(base) + QStringLiteral(".off"), {});
    writeSettings(QStringLiteral("yamada"), utf8("山田"));
    address = bindAddress = "127.0.0.2";
    realDatagrams = true;
    ASSERT_TRUE(start());

    suzuki = std::make_unique<CopyProcess>(windowsProgram, share.realPath(), QStringLiteral("suzuki"), utf8("鈴木"),
                                           "127.0.0.3");
    suzuki->setSetting(QStringLiteral("AutoDengonOpen"), 1);
    suzuki->start();
    ASSERT_TRUE(suzuki->waitLog(QStringLiteral("start-up finished"), 90000)) << suzuki->log().toStdString();

    // The Windows copy announced itself and took back the absence it wrote on exit.
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown("SUZUKI").Running && shown("SUZUKI").Locate.isEmpty(); }, 10000))
        << suzuki->log().toStdString();
    EXPECT_EQ(shown("SUZUKI").IP, QByteArray("127.0.0.3"));
    EXPECT_FALSE(shareHas(QStringLiteral("suzuki.off")));
    for (const char* file : {"yamada.vrn", "suzuki.vrn"}) {
        const QByteArray written = readShareFile(QLatin1String(file));
        EXPECT_EQ(written, rewritten(written)) << file;
    }
    EXPECT_EQ(readShareFile(QStringLiteral("suzuki.vrn")),
              userFile(utf8("ｽｽﾞｷ"), utf8("鈴木"), utf8("営業"), "127.0.0.3", {}, {}, {}, 1));

    // A status change on Linux reaches the Windows board by datagram.
    clickTrayItem("popTrayHuzai15");
    const qint64 ms = suzuki->timeUntilLogged(QStringLiteral("applied status YAMADA"), 10000);
    EXPECT_GE(ms, 0) << suzuki->log().toStdString();
    std::printf("the Windows copy applied the status after %lld ms\n", static_cast<long long>(ms));

    // A memo written on Linux is taken in by the Windows copy, byte for byte.
    const QString memo = utf8("会議室は３階です〜 ｶﾅ 髙﨑");
    window->Dialogs().SetInfoRunner([memo](TfrmInfo& form, const ParmRec& site, const TVurnaDataArray& selection,
                                           bool presetToday, TfrmInfo::Mode mode) {
        ASSERT_TRUE(form.Prepare(site, selection, presetToday, mode));
        form.findChild<QPlainTextEdit*>(QStringLiteral("memSend"))->appendPlainText(memo);
        form.findChild<QPushButton*>(QStringLiteral("btnSendOK"))->click();
    });
    pick(utf8("鈴木"));
    action(QStringLiteral("popDengonSend"))->trigger();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return !shareHas(QStringLiteral("suzuki.mil")) && shareHas(QStringLiteral("suzuki.old")); }, 30000))
        << suzuki->log().toStdString();
    const QByteArray old = readShareFile(QStringLiteral("suzuki.old"));
    EXPECT_TRUE(old.startsWith(cp932(utf8("○山田より(伝言)")))) << old.toStdString();
    EXPECT_TRUE(old.contains(cp932(memo) + "\r\n")) << old.toHex().toStdString();

    // Ending the Windows copy writes its exit absence and its stop marker, both heard at once.
    EXPECT_EQ(suzuki->stop(), 0) << suzuki->log().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shown("SUZUKI").Running && !shown("SUZUKI").Locate.isEmpty(); }, 10000));
    EXPECT_TRUE(shareHas(QStringLiteral("suzuki.off")));

    // Both copies sent the same kinds in the same form: what this build's own code makes of
    // the values each one carried, and member paths with "\" separators.
    QTest::qWait(200);
    const QList<QByteArray> fromWindows = heardAbout("SUZUKI");
    const QList<QByteArray> fromLinux = heardAbout("YAMADA");
    ASSERT_FALSE(fromWindows.isEmpty()) << suzuki->log().toStdString();
    ASSERT_FALSE(fromLinux.isEmpty());
    QList<Datagram::Kind> windowsKinds;
    for (const QList<QByteArray>* datagrams : {&fromWindows, &fromLinux}) {
        for (const QByteArray& datagram : *datagrams) {
            const Datagram::Kind kind = Datagram::KindOf(datagram);
            if (datagrams == &fromWindows)
                windowsKinds.append(kind);
            QByteArray path;
            QByteArray rebuilt;
            switch (kind) {
            case Datagram::Kind::Started:
                path = Datagram::Value(datagram, Datagram::KeyOn);
                rebuilt = Datagram::StartedText(path, Datagram::Value(datagram, Datagram::KeyIP));
                break;
            case Datagram::Kind::Stopped:
                path = Datagram::Value(datagram, Datagram::KeyOff);
                rebuilt = Datagram::StoppedText(path);
                break;
            case Datagram::Kind::Status:
                path = Datagram::Value(datagram, Datagram::KeyDat);
                rebuilt = Datagram::StatusText(path, Datagram::Value(datagram, Datagram::KeyDate),
                                               Datagram::Value(datagram, Datagram::KeyTime),
                                               ParseWholeNumber(Datagram::Value(datagram, Datagram::KeyIcon)),
                                               Datagram::Value(datagram, Datagram::KeyLocate));
                break;
            default:
                ADD_FAILURE() << "unexpected datagram " << datagram.toHex().toStdString();
                continue;
            }
            EXPECT_EQ(datagram, rebuilt + Datagram::KeyEod);
            EXPECT_FALSE(path.contains('/')) << path.toStdString();
        }
    }
    // Started (and again when its exit absence was cleared), that clearing, the exit absence, stopped.
    EXPECT_EQ(windowsKinds.first(), Datagram::Kind::Started);
    EXPECT_EQ(windowsKinds.count(Datagram::Kind::Status), 2);
    EXPECT_EQ(windowsKinds.last(), Datagram::Kind::Stopped);
}

} // namespace
