#pragma once

#include "board/BoardModel.h"
#include "board/ChangeNotice.h"
#include "board/MinuteScheduler.h"
#include "board/UserLoader.h"
#include "platform/Clock.h"
#include "store/LocalSettings.h"
#include "store/StatusSink.h"
#include "support/TestShare.h"

#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

class RecordingStatus final : public StatusSink
{
public:
    void setStatusText(const QString& text) override { texts.append(text); }
    void setProgress(int) override {}
    QStringList texts;
};

// One datagram that went through the send seam.
struct SentDatagram
{
    QByteArray datagram;
    QByteArray address;
    quint16 port = 0;
    bool operator==(const SentDatagram&) const = default;
};

// A user status file with the values the datagrams touch; the rest empty.
inline QByteArray noticeMember(const QString& furigana, const QString& name, const QByteArray& ip,
                               const QByteArray& statusIndex = "0")
{
    return userFileText({cp932(furigana), cp932(name), "", "", "", "", "", "", ip, statusIndex, "0", ""});
}

// One copy of the program as far as datagrams go: a board loaded from a shared directory, the
// own record, the boards, a status bar and a local profile of its own.
class NoticeCopy
{
public:
    NoticeCopy(const TestShare& share, const QByteArray& ownBase, const QByteArray& ownAddress,
               ShareQueue* queue = nullptr)
    {
        model.SetDataSource(share.dataSource());
        model.Reload(AllMembers);
        own = model.GetMember(model.IndexOfMember(ownBase));
        boards.append(ParmRec{});
        boards[0].ShareDir = share.dataSource();
        boards[0].UdpMode = 1;
        boards[0].UdpPort = 0; // the system picks a free port
        notice = std::make_unique<ChangeNotice>(NoticeContext{.board = model,
                                                              .minutes = scheduler,
                                                              .own = own,
                                                              .boards = boards,
                                                              .currentBoard = currentBoard,
                                                              .status = status,
                                                              .settings = settings,
                                                              .clock = clock,
                                                              .queue = queue});
        notice->SetAddressLookUp([ownAddress] { return ownAddress; });
    }

    // Records sends instead of using the socket.
    void recordSends()
    {
        notice->SetSender([this](const QByteArray& d, const QByteArray& a, quint16 p) {
            sent.append(SentDatagram{d, a, p});
            return sendResult;
        });
    }

    TVurnaDataRec member(const QByteArray& base) const { return model.GetMember(model.IndexOfMember(base)); }

    BoardModel model;
    MinuteScheduler scheduler{model};
    TVurnaDataRec own;
    ParmRecList boards;
    int currentBoard = 0;
    RecordingStatus status;
    LocalSettings settings;
    FixedClock clock{QDateTime(QDate(2026, 12, 8), QTime(9, 30))};
    std::unique_ptr<ChangeNotice> notice;
    QList<SentDatagram> sent;
    int sendResult = ChangeNotice::Sent;
};

// A temporary profile for the local settings, so the user's own stay untouched.
class FreshProfile
{
public:
    FreshProfile()
    {
        m_previous = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }
    ~FreshProfile()
    {
        if (m_previous.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", m_previous);
    }
    Q_DISABLE_COPY_MOVE(FreshProfile)

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};

// The office every datagram test works on: the own member OWN at 192.168.1.20, ITO nearby
// with custom mark 3, UEDA in another network, ABE stopped, KATO without an address.
class NoticeOffice : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(share.isValid());
        writeOffice(share);
        copy = std::make_unique<NoticeCopy>(share, "OWN", "192.168.1.20");
        copy->recordSends();
    }

    static void writeOffice(const TestShare& share)
    {
        share.writeBytes(QStringLiteral("Own.vrn"),
                         noticeMember(QStringLiteral("ｼﾞﾌﾞﾝ"), QStringLiteral("自分"), "192.168.1.20"));
        share.writeBytes(QStringLiteral("Ito.vrn"),
                         noticeMember(QStringLiteral("ｲﾄｳ"), QStringLiteral("伊藤"), "192.168.1.30", "3"));
        share.writeBytes(QStringLiteral("Ueda.vrn"),
                         noticeMember(QStringLiteral("ｳｴﾀﾞ"), QStringLiteral("上田"), "192.168.2.5"));
        share.writeBytes(QStringLiteral("Abe.vrn"),
                         noticeMember(QStringLiteral("ｱﾍﾞ"), QStringLiteral("阿部"), "192.168.1.40"));
        share.writeBytes(QStringLiteral("Abe.off"), "");
        share.writeBytes(QStringLiteral("Kato.vrn"), noticeMember(QStringLiteral("ｶﾄｳ"), QStringLiteral("加藤"), ""));
    }

    QByteArray path(const char* base) const { return share.dataSource() + base; }

    FreshProfile profile;
    TestShare share;
    std::unique_ptr<NoticeCopy> copy;
};
