// Any host on the LAN can send a datagram to the board's port. One datagram is handled on a
// board of fifty members loaded from a share made once. No socket is opened and the site sends
// no datagrams; a send would end the run as a finding.
#include "FuzzSupport.h"

#include "board/BoardModel.h"
#include "board/ChangeNotice.h"
#include "board/Datagram.h"
#include "board/MinuteScheduler.h"
#include "board/UserLoader.h"
#include "platform/Clock.h"
#include "store/LocalSettings.h"
#include "store/StatusSink.h"

namespace {

class SilentStatus final : public StatusSink
{
public:
    void setStatusText(const QString&) override {}
    void setProgress(int) override {}
};

QByteArray quoted(const QList<QByteArray>& values)
{
    QByteArray text;
    for (const QByteArray& v : values)
        text += (text.isEmpty() ? "\"" : "\r\n\"") + v + '"';
    return text;
}

struct Office
{
    Office()
    {
        fuzz::privateSettings(share);
        settings = std::make_unique<LocalSettings>();
        // Plain names, and two whose trail bytes are "\" and letters (ソ表, 髙﨑), as real
        // Japanese names have.
        for (int i = 1; i <= 50; ++i) {
            QString base = QStringLiteral("M%1").arg(i, 2, 10, QLatin1Char('0'));
            if (i == 49)
                base = QStringLiteral("ソ表");
            if (i == 50)
                base = QStringLiteral("髙﨑");
            const QByteArray ip = "127.0.0." + QByteArray::number(i + 1);
            const QByteArray status = QByteArray::number(i % 5);
            share.write(base + QStringLiteral(".vrn"),
                        quoted({"\xB6\xC0\xB6\xC5", "M" + QByteArray::number(i), i % 3 ? "SALES" : "\x89\x63\x8B\xC6",
                                "", i % 4 ? "" : "\x89\xEF\x8B\x63", i % 4 ? "" : "2026/12/09", i % 4 ? "" : "17:00",
                                "", ip, status, "0", ""}));
            if (i % 7 == 0)
                share.write(base + QStringLiteral(".off"), "");
        }
        share.write(QStringLiteral("vurna.ini"), "UDPMESSAGE SEND=NO\r\n");
        model.SetDataSource(share.dataSource());
        model.Reload(AllMembers);
        if (model.MemberHigh() != 50)
            abort();
        own = model.GetMember(1);
        boards.append(ParmRec{});
        boards[0].ShareDir = share.dataSource();
        boards[0].UdpMode = 0;
        boards[0].UdpPort = 1971;
        model.CopyMembers(loaded);
    }

    // A notice of its own for each input: what it remembers of earlier senders (rate limits,
    // held reloads) would otherwise make a finding depend on the inputs before it.
    std::unique_ptr<ChangeNotice> makeNotice()
    {
        auto notice = std::make_unique<ChangeNotice>(
            NoticeContext{model, scheduler, own, boards, currentBoard, status, *settings, clock});
        notice->SetAddressLookUp([] { return QByteArray("127.0.0.2"); });
        // Handling a datagram never answers one; a send here would be a finding.
        notice->SetSender([](const QByteArray&, const QByteArray&, quint16) -> int { abort(); });
        return notice;
    }

    // Each input meets the board as it was loaded, so a finding replays alone.
    void restore()
    {
        for (int i = 0; i <= model.MemberHigh() && i < loaded.size(); ++i) {
            if (!(model.GetMember(i) == loaded.at(i)))
                model.SetMember(i, loaded.at(i));
        }
        share.remove(QStringLiteral("vurna.log"));
    }

    fuzz::Share share;
    BoardModel model;
    MinuteScheduler scheduler{model};
    TVurnaDataRec own;
    ParmRecList boards;
    int currentBoard = 0;
    SilentStatus status;
    // Made once the settings folder is chosen.
    std::unique_ptr<LocalSettings> settings;
    FixedClock clock{QDateTime(QDate(2026, 12, 8), QTime(9, 30))};
    TVurnaDataArray loaded;
};

// Removed at the end of the run with the other static objects, its share with it.
Office& office()
{
    static Office made;
    return made;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startQt();
    office();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // No larger datagram can arrive.
    if (size > size_t(Datagram::MaxDatagramBytes))
        return 0;
    // The sender's address is not the own one: a copy ignores its own status and stop news.
    office().makeNotice()->HandleDatagram(fuzz::bytes(data, size), "127.0.0.9");
    office().restore();
    return 0;
}
