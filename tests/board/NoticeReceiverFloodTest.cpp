#include "NoticeFixture.h"

#include <QSignalSpy>

namespace {

const QByteArray Eod = "\x01Vrn3_Eod";
const QByteArray Reload = "\x01Vrn3_Rel" + Eod;
const QByteArray Intruder = "10.9.9.9";

QByteArray refusedShare(int i)
{
    return "\x01Vrn3_Shr=\\\\NOWHERE\\SHARE" + QByteArray::number(i);
}

QByteArray status(const QByteArray& locate)
{
    return "\x01Vrn3_Dat\\S\\ITO\x01Vrn3_Date2026/12/09\x01Vrn3_Time17:00\x01Vrn3_Icon1\x01Vrn3_Locate" + locate + Eod;
}

// ---------------------------------------------------------------------------------------------
// The notice under a flood

class Flood : public NoticeOffice
{
protected:
    void at(qint64 ms) { copy->clock.set(Start.addMSecs(ms)); }
    QList<QByteArray> logLines() const
    {
        QList<QByteArray> lines = share.readBytes(QStringLiteral("vurna.log")).split('\n');
        lines.removeLast(); // after the last line break
        return lines;
    }

    const QDateTime Start{QDate(2026, 12, 8), QTime(9, 30)};
};

TEST_F(Flood, ThousandRefusalsFromOneSenderMakeOneLogLineAMinuteWithTheCount)
{
    copy->settings.SetShareDir("/OLD/");
    for (int i = 0; i < 1000; ++i) {
        at(i * 50); // 50 s in all
        copy->notice->HandleDatagram(refusedShare(i), Intruder);
    }
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_TRUE(logLines().at(0).contains("NOWHERE\\SHARE0 "));

    at(61000);
    copy->notice->HandleDatagram(refusedShare(1000), Intruder);
    const QList<QByteArray> lines = logLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines.at(1).contains(Intruder));
    EXPECT_TRUE(lines.at(1).contains(cp932(QStringLiteral("(ほか 999 件)")))) << lines.at(1).toStdString();
    EXPECT_EQ(copy->settings.ShareDir(), "/OLD/");
    EXPECT_TRUE(copy->status.texts.isEmpty());
}

TEST_F(Flood, ReloadBurstLoadsAtMostOncePerQuietTimeAndOnceAfterIt)
{
    QSignalSpy loads(&copy->model, &BoardModel::MembersReset);
    QObject::connect(copy->notice.get(), &ChangeNotice::ReloadRequested, &copy->model,
                     [this] { copy->model.Reload(AllMembers); });
    // A colleague writes a new absence in the middle of the burst: the load after it must
    // still come.
    for (int i = 0; i < 1000; ++i) {
        at(i * 60); // one minute of requests
        if (i == 990)
            share.writeBytes(QStringLiteral("Ito.vrn"),
                             noticeMember(QStringLiteral("ｲﾄｳ"), QStringLiteral("伊東"), "192.168.1.30", "3"));
        copy->notice->HandleDatagram(Reload, Intruder);
        copy->notice->RunDueRequests(); // as the timer would, at any moment
    }
    // One at the first request and one at the end of each quiet time inside the minute.
    const int burstLoads = int((60000 + ChangeNotice::ReloadQuietMs - 1) / ChangeNotice::ReloadQuietMs);
    EXPECT_EQ(loads.count(), burstLoads);
    EXPECT_NE(copy->member("ITO").Name, cp932(QStringLiteral("伊東")));

    for (const int quietTimes : {1, 3}) {
        at(60000 + quietTimes * ChangeNotice::ReloadQuietMs);
        copy->notice->RunDueRequests();
        EXPECT_EQ(loads.count(), burstLoads + 1); // the held one, and nothing doubled
    }
    EXPECT_EQ(copy->member("ITO").Name, cp932(QStringLiteral("伊東")));
}

// A normal rate is served at once, whatever came before from another kind or sender.
struct NormalCase
{
    const char* name;
    QByteArray floodText;
    QByteArray floodSender;
};

class NormalRate : public Flood, public ::testing::WithParamInterface<NormalCase>
{
};

TEST_P(NormalRate, OneChangeIsAppliedAtOnce)
{
    const NormalCase& c = GetParam();
    QSignalSpy reload(copy->notice.get(), &ChangeNotice::ReloadRequested);
    for (int i = 0; i < 200 && !c.floodText.isEmpty(); ++i)
        copy->notice->HandleDatagram(c.floodText, c.floodSender);
    const int reloadsBefore = int(reload.count());

    at(ChangeNotice::ReloadQuietMs);
    copy->notice->HandleDatagram(status("x"), "192.168.1.30");
    EXPECT_EQ(copy->member("ITO").Locate, "x");
    copy->notice->HandleDatagram(Reload, "192.168.1.30");
    EXPECT_EQ(reload.count(), reloadsBefore + 1);
}

INSTANTIATE_TEST_SUITE_P(Table, NormalRate,
                         ::testing::Values(NormalCase{"Quiet", "", ""},
                                           NormalCase{"AfterRefusedShareFloodFromTheSameSender", refusedShare(1),
                                                      "192.168.1.30"},
                                           NormalCase{"AfterReloadFlood", Reload, Intruder}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Flood, DatagramsDuringASlowLoadAreBoundedAndTheLatestKept)
{
    QSignalSpy changed(&copy->model, &BoardModel::MemberChanged);
    constexpr int Arriving = 3 * ChangeNotice::MaxHeldDatagrams;
    bool flooded = false;
    QObject::connect(&copy->model, &BoardModel::BusyChanged, [&](bool busy) {
        if (!busy || flooded)
            return;
        flooded = true;
        for (int i = 0; i < Arriving; ++i)
            copy->notice->HandleDatagram(status(QByteArray::number(i)), "192.168.1.30");
    });
    copy->model.Reload(AllMembers);
    ASSERT_TRUE(flooded);
    EXPECT_EQ(copy->member("ITO").Locate, QByteArray::number(Arriving - 1));
    EXPECT_EQ(changed.count(), ChangeNotice::MaxHeldDatagrams);
}

} // namespace
