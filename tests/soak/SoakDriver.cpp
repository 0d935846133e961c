#include "SoakDriver.h"

#include "SoakCopy.h"
#include "board/ChangeNotice.h"
#include "board/EFileIOError.h"
#include "board/UserLoader.h"
#include "board/UserStatusWriter.h"
#include "platform/Cp932.h"
#include "store/MemoFiles.h"
#include "store/SiteConfig.h"

#include <QDate>

struct SoakDriver::Member
{
    Member(SoakDriver& driver, QByteArray key, QByteArray address)
        : key(std::move(key)), address(std::move(address)), writer(driver.m_model, own),
          notice(NoticeContext{.board = driver.m_model,
                               .minutes = driver.m_scheduler,
                               .own = own,
                               .boards = driver.m_boards,
                               .currentBoard = driver.m_currentBoard,
                               .status = driver.m_sink,
                               .settings = driver.m_settings,
                               .clock = driver.m_clock})
    {
        notice.SetAddressLookUp([this] { return this->address; });
        writer.SetNotifier(&notice);
    }

    QByteArray key;
    QByteArray address;
    TVurnaDataRec own;
    UserStatusWriter writer;
    ChangeNotice notice;
};

void SoakDriver::Sink::setStatusText(const QString& text)
{
    if (text.startsWith(QStringLiteral("【")))
        ++faults;
}

SoakDriver::SoakDriver(DriverPlan plan)
    : m_plan(std::move(plan)), m_random(quint32(m_plan.seed ^ (m_plan.seed >> 32))), m_scheduler(m_model)
{
}

SoakDriver::~SoakDriver() = default;

bool SoakDriver::Begin(QString& error)
{
    m_boards.resize(1);
    if (!SiteConfig::Load(m_plan.shareDir, m_boards, 0, true, SiteConfigContext{})) {
        error = QStringLiteral("vurna.ini not read");
        return false;
    }
    try {
        m_model.SetDataSource(m_plan.shareDir);
        m_model.Reload(AllMembers);
    } catch (const EFileIOError&) {
        error = QStringLiteral("board not loaded");
        return false;
    }
    for (qsizetype i = 0; i < m_plan.keys.size(); ++i) {
        auto member = std::make_unique<Member>(*this, m_plan.keys.at(i), m_plan.addresses.at(i));
        if (m_model.FindMember(m_plan.shareDir + member->key, member->own) < 1) {
            error = QStringLiteral("no member ") + QString::fromLatin1(member->key);
            return false;
        }
        if (!member->notice.StartListener(member->address)) {
            error = QStringLiteral("no socket on ") + QString::fromLatin1(member->address);
            return false;
        }
        member->own.IP = member->address;
        member->writer.WriteUserFile(member->own);
        member->writer.SetStopMarker(false);
        m_members.push_back(std::move(member));
    }
    m_elapsed.start();
    return true;
}

bool SoakDriver::Step()
{
    if (m_elapsed.elapsed() >= qint64(m_plan.seconds) * 1000)
        return false;
    // A copy keeps its board current by full reloads too; without them the driver would send
    // to addresses of copies long restarted elsewhere.
    if (m_elapsed.elapsed() - m_lastReload > 15000) {
        m_lastReload = m_elapsed.elapsed();
        try {
            m_model.Reload(AllMembers);
        } catch (const EFileIOError&) {
            ++m_counts[QStringLiteral("reload-failed")];
        }
    }
    Member& member = *m_members.at(m_random.bounded(int(m_members.size())));
    const int pick = m_random.bounded(100);
    if (!member.own.Running || pick < 10)
        startOrStop(member);
    else if (pick < 55)
        changeStatus(member);
    else if (pick < 92)
        sendMemo(member);
    else
        takeInMemos(member);
    ++m_operations;
    const int pause = 1000 / qMax(1, m_plan.opsPerSecond);
    RunEventsFor(pause / 2 + m_random.bounded(pause + 1));
    return true;
}

void SoakDriver::changeStatus(Member& member)
{
    static const QStringList places = {
        QStringLiteral("会議"),      QStringLiteral("外出 大阪"), QStringLiteral("打合せ\r\n第２会議室"),
        QStringLiteral("表ソ 工場"), QStringLiteral("休暇"),      QStringLiteral("〜 研修 −")};
    const auto day = [](int days) { return QDate::currentDate().addDays(days).toString(u"yyyy/MM/dd").toLatin1(); };
    TVurnaDataRec record = member.own;
    const int kind = m_random.bounded(5);
    record.Locate = kind == 0 ? QByteArray()
                              : Cp932::fromUnicodeLossy(places.at(m_random.bounded(int(places.size()))) +
                                                        QStringLiteral(" #%1").arg(m_operations));
    // Never today: the display of a return today turns at its time, and the check afterwards
    // must not depend on when it runs.
    record.Date = kind == 0   ? QByteArray()
                  : kind == 1 ? day(1)
                  : kind == 2 ? day(2 + m_random.bounded(8))
                  : kind == 3 ? day(-1 - m_random.bounded(3))
                              : Cp932::fromUnicodeLossy(QStringLiteral("未定"));
    record.Time = kind == 1 ? QByteArray::number(9 + m_random.bounded(9)) + ":" +
                                  (m_random.bounded(2) ? QByteArray("00") : QByteArray("30"))
                            : QByteArray();
    record.StatusIndex = kind == 0 ? 0 : m_random.bounded(2);
    member.writer.WriteUserFile(record);
    m_model.CommitTimeStamp(record.FileName);
    ++m_counts[QStringLiteral("status")];
}

void SoakDriver::sendMemo(Member& member)
{
    QByteArray recipient = m_plan.everybody.at(m_random.bounded(int(m_plan.everybody.size())));
    const QByteArray path = m_plan.shareDir + recipient;
    const QByteArray token = m_plan.memoTag + '-' + QByteArray::number(++m_memoNumber);
    const QByteArray memo =
        Cp932::fromUnicodeLossy(QStringLiteral("○%1 %2\r\n伝言 ")
                                    .arg(Cp932::toUnicode(member.own.Name), QTime::currentTime().toString(u"hh:mm"))) +
        token + Cp932::fromUnicodeLossy(QStringLiteral(" です。折り返しお願いします"));
    if (MemoFiles::AddMemo(path, memo)) {
        m_journal.append(QStringLiteral("memo %1 %2").arg(QString::fromLatin1(recipient), QString::fromLatin1(token)));
        member.notice.SendMemoNotice(path);
    } else {
        m_journal.append(
            QStringLiteral("refused %1 %2").arg(QString::fromLatin1(recipient), QString::fromLatin1(token)));
    }
    ++m_counts[QStringLiteral("memo")];
}

void SoakDriver::takeInMemos(Member& member)
{
    MemoFiles::TakeInOwnMemos(member.own.FileName);
    ++m_counts[QStringLiteral("take-in")];
}

void SoakDriver::startOrStop(Member& member)
{
    member.writer.SetStopMarker(member.own.Running);
    ++m_counts[member.own.Running ? QStringLiteral("start") : QStringLiteral("stop")];
}

QStringList SoakDriver::Journal() const
{
    QStringList journal = m_journal;
    for (const auto& member : m_members) {
        const TVurnaDataRec& own = member->own;
        journal.append(QStringLiteral("final %1 %2 %3 %4 %5 %6")
                           .arg(QString::fromLatin1(member->key))
                           .arg(own.Running ? 1 : 0)
                           .arg(QString::fromLatin1(own.Locate.toHex() + '.'),
                                QString::fromLatin1(own.Date.toHex() + '.'),
                                QString::fromLatin1(own.Time.toHex() + '.'))
                           .arg(own.StatusIndex));
    }
    for (auto it = m_counts.cbegin(); it != m_counts.cend(); ++it)
        journal.append(QStringLiteral("count %1 %2").arg(it.key()).arg(it.value()));
    journal.append(QStringLiteral("count faults %1").arg(m_sink.faults));
    return journal;
}
