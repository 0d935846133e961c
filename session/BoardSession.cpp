#include "session/BoardSession.h"

#include "board/ChangeNotice.h"
#include "board/EFileIOError.h"
#include "board/UserLoader.h"
#include "platform/Autostart.h"
#include "platform/Cp932.h"
#include "platform/LogCategories.h"
#include "platform/MessageBoxes.h"
#include "platform/ParallelWork.h"
#include "platform/ProgramVersion.h"
#include "platform/ShareFiles.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"
#include "session/SettingResult.h"
#include "session/ShortcutProtection.h"
#include "session/UpdateCheck.h"
#include "store/DefaultValueFile.h"
#include "store/FilterFile.h"
#include "store/MemoFiles.h"
#include "store/SiteConfig.h"
#include "store/StatusReport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

namespace {

// The local settings and the datagram socket belong to the window's thread: a site
// configuration read off it that moves the share hands them their part back there (the
// window's thread goes on handling events while it waits for the read).
class ShareMoveOnThread final : public ShareMoveTarget
{
public:
    ShareMoveOnThread(ShareMoveTarget& target, QObject& home) : m_target(target), m_home(home) {}

    void WriteLocalSettings(ParmRec& ownBoard) override
    {
        Run([&] { m_target.WriteLocalSettings(ownBoard); });
    }
    TVurnaDataRec LoadOwnIdentity() override
    {
        TVurnaDataRec own;
        Run([&] { own = m_target.LoadOwnIdentity(); });
        return own;
    }
    void SaveOwnIdentity(const TVurnaDataRec& own) override
    {
        Run([&] { m_target.SaveOwnIdentity(own); });
    }

private:
    void Run(const std::function<void()>& call)
    {
        if (QThread::currentThread() == m_home.thread())
            call();
        else
            QMetaObject::invokeMethod(&m_home, call, Qt::BlockingQueuedConnection);
    }

    ShareMoveTarget& m_target;
    QObject& m_home;
};

} // namespace

BoardSession::BoardSession(SessionEnvironment environment, QObject* parent)
    : QObject(parent), m_env(std::move(environment)), m_clock(*m_env.clock), m_boxes(*m_env.boxes),
      m_settings([this] { return m_notice ? m_notice->GetOwnAddress() : QByteArray(); }),
      m_writer(m_state.Model, m_state.Own), m_huzai(m_state, m_writer, m_clock, m_boxes),
      m_kept(m_shareQueue, m_settings.UnwrittenFolder())
{
    m_writer.SetQueue(&m_shareQueue, this);
    m_state.Model.SetShareQueue(&m_shareQueue);
    m_huzai.SetStatusSink(&m_status);
    m_notice = new ChangeNotice({.board = m_state.Model,
                                 .minutes = m_state.Scheduler,
                                 .own = m_state.Own,
                                 .boards = m_state.Boards,
                                 .currentBoard = m_state.CurrentBoard,
                                 .status = m_status,
                                 .settings = m_settings,
                                 .clock = m_clock,
                                 .logAppender = m_logAppender,
                                 .queue = &m_folderTests},
                                this);
    // Without a look-up of its own the notice asks the host.
    if (m_env.lookUpAddress)
        m_notice->SetAddressLookUp(m_env.lookUpAddress);
    m_writer.SetNotifier(m_notice);
    m_delivery = std::make_unique<DengonDelivery>(DeliveryContext{
        .status = m_status,
        .boxes = m_boxes,
        .clock = m_clock,
        .folders = Folders(),
        .announceMemo = [this](const QByteArray& recipient) { m_notice->SendMemoNotice(recipient); },
        .memoPolicy = {},
        .queue = &m_shareQueue,
    });
    connect(m_notice, &ChangeNotice::MemoArrived, this, [this] {
        m_state.NewMemo = true;
        emit MemoWaiting();
    });
    connect(m_notice, &ChangeNotice::ReloadRequested, this,
            [this] { WhenBoardIdle([this] { ShowBoard(m_state.ShownBoard(), true); }); });
    connect(m_notice, &ChangeNotice::EndRequested, this, &BoardSession::EndRequested);
    ConnectBoard();
    connect(&m_shareQueue, &ShareQueue::StalledChanged, this, [this](bool stalled) {
        if (stalled) {
            qCWarning(lcBoard) << "the shared directory does not answer";
            ReportStatus(m_status, QStringLiteral("共有ディレクトリが応答しません。応答を待っています。"),
                         Severity::Warning);
            m_stallReport = m_status.LastText();
        } else {
            qCInfo(lcBoard) << "the shared directory answers again";
            if (!m_stallReport.isEmpty() && m_status.LastText() == m_stallReport)
                m_status.setStatusText(QString());
            m_stallReport.clear();
        }
        m_status.setBusy(stalled);
    });
}

BoardSession::~BoardSession() = default;

void BoardSession::ConnectBoard()
{
    MinuteScheduler& scheduler = m_state.Scheduler;
    // The minute's reloads fail for as long as the share is away (a file server restarting): a
    // box each time would pile up over the lunch break. The status bar tells it until a reload
    // succeeds again; a load the user asked for still answers with a box.
    connect(&scheduler, &MinuteScheduler::LoadFailed, this, [this](const QString& message) {
        ReportStatus(m_status, message, Severity::Fault);
        m_loadFault = m_status.LastText();
    });
    connect(&m_state.Model, &BoardModel::Refreshed, this, [this] {
        if (!m_loadFault.isEmpty() && m_status.LastText() == m_loadFault)
            m_status.setStatusText(QString());
        m_loadFault.clear();
    });
    connect(&scheduler, &MinuteScheduler::OnIntervalTimer, this, [this] {
        emit MinutePassed();
        m_huzai.HuzaiAutoResetCheck();
    });
    connect(&scheduler, &MinuteScheduler::OnCheckMsg, this, &BoardSession::CheckMemos);
    connect(&m_state.Model, &BoardModel::OnChangeDB, this, [this] {
        TVurnaDataRec entry;
        m_state.HuzaiAlart = m_state.FindOwnEntry(entry) >= 1 && !entry.Locate.isEmpty();
        emit OwnAbsenceChanged(m_state.HuzaiAlart);
    });
}

SiteConfigContext BoardSession::SiteContext(const QByteArray& memberName)
{
    return {.shareMove = &m_settings,
            .clock = &m_clock,
            .memberName = memberName,
            .retry = {},
            .logAppender = m_logAppender};
}

bool BoardSession::BeginStartUp()
{
    m_state.SendList.clear();
    WriteKept();
    StartUp();
    // The program refuses to run straight from the shared directory, where an update would
    // replace it under every member at once.
    if (m_state.OwnBoard().ShortcutProtect && IsRunFromShare(m_env.programFolder, m_state.OwnBoard().ShareDir)) {
        qCInfo(lcBoard) << "started from the shared directory: ends";
        m_endPending = true;
    }
    if (!m_endPending)
        RunUpdateCheck();
    // An end asked for during start-up (shortcut protection, the updater, a signal) saves as usual.
    if (m_endPending)
        return false;
    m_huzai.ClearAbsenceOfLastExit();
    // Memos that arrived while the program was not running start the reminder at once.
    CheckMemos();
    return true;
}

void BoardSession::FinishStartUp()
{
    m_state.StartUpFinished = true;
    m_huzai.HuzaiAutoResetCheck();
    qCInfo(lcBoard) << "start-up finished";
}

void BoardSession::StartUp()
{
    m_settings.ReadLocalSettings(m_state.Boards);
    // The share as typed: no folder above it need be listed to find its spelling on disk.
    SharePath::rememberFolder(m_settings.ShareDir());
    qCInfo(lcBoard) << "local settings read: share" << m_state.OwnBoard().ShareDir << "AutoSmall"
                    << m_state.OwnBoard().AutoSmall;
    m_state.CurrentBoard = 0;
    // Log entries name the user before the identity is read.
    if (!m_state.OwnBoard().ShareDir.isEmpty())
        LoadSiteConfig(0, true, m_settings.Name());
    qCInfo(lcBoard) << "site configuration read: boards" << m_state.Boards.size();
    // Without a listener the own address stays empty, so nothing is sent either; a listener
    // that cannot be had is reported and the program runs on without it.
    if (m_state.OwnBoard().UdpMode != 0)
        m_notice->StartListener(m_env.bindAddress);
    else
        qCInfo(lcBoard) << "datagrams off on the own board";
    // The memo check runs at the board's interval, counted from now (start-up runs again when
    // the preferences change).
    TInterval interval = m_state.Scheduler.Interval();
    interval.CheckMsg = m_state.ShownBoard().Interval.CheckMsg;
    m_state.Scheduler.SetInterval(interval);
    m_state.Scheduler.RestartMemoCheckCount();
    m_settings.LoadOwnIdentity(m_state.Own, m_notice->GetOwnAddress());
    qCInfo(lcBoard) << "own identity" << m_state.Own.FileName;
    // A guest has no filter file.
    const QByteArray filterPath = m_state.Own.FileName + FilterFile::Extension;
    const auto kept = std::exchange(m_keptFilter, std::nullopt);
    if (HasOwnEntry(m_state.Own) && kept && SjisText::upperCase(kept->first) == SjisText::upperCase(filterPath))
        FilterFile::Apply(kept->second, m_state.Boards);
    else if (HasOwnEntry(m_state.Own))
        OffTheWindow(m_state.Boards, [&filterPath](ParmRecList& boards) { FilterFile::Read(filterPath, boards); });
    ShowBoard(m_state.ShownBoard());
    emit BoardsListed();
    if (SjisText::trim(m_state.Own.FileName).isEmpty()) {
        qCInfo(lcBoard) << "guest: nothing written";
        return;
    }
    TakeOwnEntry();
}

void BoardSession::TakeOwnEntry()
{
    // Without an entry on the board nothing is written or sent: the user may have chosen a
    // file name on a share that cannot be reached.
    TVurnaDataRec entry;
    if (m_state.FindOwnEntry(entry) < 0) {
        qCInfo(lcBoard) << "own entry not on the board";
        return;
    }
    const QByteArray storedAddress = entry.IP;
    m_state.Own = entry;
    m_state.Own.IP = m_notice->GetOwnAddress();
    // The new address is in the file before the started notice goes out: a copy that loads the
    // board after hearing it must not read the old one.
    if (storedAddress != m_state.Own.IP) {
        m_writer.WriteUserFile(m_state.Own);
        qCInfo(lcBoard) << "own status file rewritten for the address" << m_state.Own.IP;
    }
    m_writer.SetStopMarker(false, [this](bool marked) {
        if (marked) {
            qCInfo(lcBoard) << "own entry marked running";
            return;
        }
        // A read-only or full share: the board shows, but nothing the user changes can be kept.
        qCWarning(lcBoard) << "own entry could not be marked running: the share takes no writes";
        ReportStatus(m_status, QStringLiteral("共有ディレクトリに書き込めません。行き先を変更しても保存されません。"),
                     Severity::Fault);
    });
    // The stamp's file waits let events run, and a reload among them may have moved the entry:
    // it is found again by its file.
    const int current = m_state.Model.IndexOfMember(m_state.Own.FileName);
    if (current >= 1)
        m_state.Model.SetMember(current, m_state.Own);
    emit OwnEntryTaken();
}

void BoardSession::ShowBoard(ParmRec& board, bool fromDatagram)
{
    BoardModel& model = m_state.Model;
    MinuteScheduler& scheduler = m_state.Scheduler;
    scheduler.SetTimerEnabled(false);

    // The site's priority order holds unless the user chose the order by reading.
    model.SetSortPriorityOn(board.SortPriority != 0 && !m_settings.RegistSortPriority());
    emit BoardLoading(board);
    model.SetDataSource(board.ShareDir);
    if (board.ShareDir.isEmpty()) {
        // No shared directory chosen yet (a fresh PC): an empty path would name the working
        // folder, whose files are no board.
        qCInfo(lcBoard) << "no shared directory: empty board";
    } else {
        try {
            model.Reload(AllMembers);
            qCInfo(lcBoard) << "board loaded" << board.ShareDir << "members" << model.MemberHigh();
        } catch (const EFileIOError& e) {
            qCWarning(lcBoard) << "board load failed" << e.message();
            if (fromDatagram)
                ReportStatus(m_status, QStringLiteral("ＵＤＰメッセージの受信に失敗しました。"), Severity::Fault);
            else
                m_boxes.show(e.message(), Mb::Ok | Mb::IconStop);
        }
    }

    TInterval interval = scheduler.Interval();
    interval.ReloadLastCommit = board.Interval.ReloadLastCommit;
    interval.ReloadAllFile = board.Interval.ReloadAllFile;
    scheduler.SetInterval(interval);
    scheduler.SetTimerEnabled(true);
    emit BoardShown();
}

void BoardSession::WhenBoardIdle(std::function<void()> command)
{
    BoardModel& model = m_state.Model;
    if (!model.IsLoading()) {
        command();
        return;
    }
    // The window answers while a board loads. A command that switches or reloads the board
    // would then run inside the load, and the load's caller would finish after it with the
    // settings of the board it began with; it runs once that caller has returned.
    model.WhenIdle([this, command = std::move(command)] { QTimer::singleShot(0, this, command); });
}

bool BoardSession::LoadSiteConfig(int index, bool followMove, const QByteArray& memberName, bool mustBeReachable)
{
    ShareMoveOnThread move(m_settings, *this);
    SiteConfigContext context = SiteContext(memberName);
    context.shareMove = &move;
    bool loaded = false;
    OffTheWindow(m_state.Boards, [&](ParmRecList& boards) {
        const QByteArray dir = boards.at(index).ShareDir;
        loaded = (!mustBeReachable || ShareFiles::isDirectory(dir)) &&
                 SiteConfig::Load(dir, boards, index, followMove, context);
    });
    return loaded;
}

void BoardSession::OffTheWindow(ParmRecList& boards, const std::function<void(ParmRecList&)>& read)
{
    // Read into a copy: the window goes on drawing its menus from the boards meanwhile.
    const ParmRecList before = boards;
    ParmRecList copy = boards;
    ParallelWork::RunWhileEventsFlow([&] { read(copy); });
    // What the user changed meanwhile (a filter chosen from the menu) stays where the read left
    // it alone.
    if (boards.size() == before.size() && copy.size() == before.size()) {
        for (qsizetype i = 0; i < copy.size(); ++i) {
            if (copy.at(i) == before.at(i))
                copy[i] = boards.at(i);
            else if (copy.at(i).Filter == before.at(i).Filter)
                copy[i].Filter = boards.at(i).Filter;
        }
    }
    boards = std::move(copy);
}

bool BoardSession::SwitchBoard(int index)
{
    if (index == m_state.CurrentBoard || index < 0 || index >= m_state.Boards.size())
        return false;
    ParmRec& board = m_state.Boards[index];
    if (board.SlowLine) {
        const QString question = QStringLiteral("指定された掲示板は低速回線の先にあります。\r\r"
                                                "処理に時間がかかりますが本当に切替えますか？");
        if (m_boxes.show(question, Mb::OkCancel | Mb::IconWarning) != Mb::IdOk)
            return false;
    }
    emit WaitingOnShare(true);
    SharePath::rememberFolder(board.ShareDir);
    const bool loaded = LoadSiteConfig(index, false, m_state.Own.Name, true);
    emit WaitingOnShare(false);
    if (!loaded) {
        m_boxes.show(QStringLiteral("指定された掲示板への接続に失敗しました"), Mb::Ok | Mb::IconStop);
        return false;
    }
    qCInfo(lcBoard) << "board switched to" << index;
    m_state.CurrentBoard = index;
    ShowBoard(m_state.Boards[index]);
    return true;
}

void BoardSession::ReloadAllAsked()
{
    const QString question = QStringLiteral("この操作はサーバに瞬間的な負荷をかけてしまいます。\r\n\r\n"
                                            "特定の人物の最新情報を見るだけならば、詳細表示を\r\n\r\n"
                                            "行って下さい。全データのリロードを本当に行いますか？");
    if (m_boxes.show(question, Mb::OkCancel | Mb::IconWarning) == Mb::IdOk)
        ShowBoard(m_state.ShownBoard());
}

void BoardSession::SortByReading(bool furigana)
{
    m_settings.SetRegistSortPriority(furigana);
    ShowBoard(m_state.ShownBoard());
}

void BoardSession::CheckMemos()
{
    if (!HasOwnEntry(m_state.Own))
        return;
    const QByteArray unread = m_state.Own.FileName + ".mil";
    m_shareQueue.Post<bool>(
        "memo check", [unread] { return ShareFiles::exists(unread); }, this,
        [this, unread](bool waiting) {
            // The user may have become somebody else meanwhile (the preferences).
            if (!waiting || unread != m_state.Own.FileName + ".mil")
                return;
            if (!m_state.NewMemo)
                qCInfo(lcBoard) << "unread memos wait";
            m_state.NewMemo = true;
            emit MemoWaiting();
        });
}

void BoardSession::MemosTakenIn()
{
    qCInfo(lcBoard) << "unread memos taken in";
    m_state.NewMemo = false;
}

void BoardSession::ReceiveParcels()
{
    m_delivery->ReceiveParcels(m_state.Own.FileName, m_state.OwnBoard().ShareDir);
}

bool BoardSession::RequestEnd()
{
    if (m_ended)
        return false;
    if (!m_state.StartUpFinished) {
        // Asked while the start-up is still running (its file waits and datagrams held back
        // during the load let events run): saving now would be undone by the start-up's later
        // steps, so the start-up ends first and then saves, once however often it was asked.
        m_endPending = true;
        qCInfo(lcBoard) << "end requested during start-up";
        return false;
    }
    return true;
}

bool BoardSession::End(const std::function<void()>& saveWindowParts)
{
    if (m_ended)
        return false;
    m_ended = true;
    m_state.Scheduler.SetTimerEnabled(false);
    qCInfo(lcBoard) << "saving for the end";
    // Handing over to the updater, the user has only just started the program: every other copy
    // would show them gone home until the new build starts.
    if (!m_handingOver)
        m_huzai.SetDefaultValueOnExit();
    if (saveWindowParts)
        saveWindowParts();
    SaveFilterFile();
    m_writer.SetStopMarker(true);
    const bool drained = m_shareQueue.Drain(EndWaitMs);
    // The answers of what was written: the stopped notice goes out only now, after its marker.
    QCoreApplication::sendPostedEvents(&m_shareQueue, QEvent::MetaCall);
    if (drained) {
        qCInfo(lcBoard) << "saved: stop marker written";
    } else {
        qCWarning(lcBoard) << "the shared directory did not answer at the end:" << m_shareQueue.Pending()
                           << "share operation(s) left";
    }
    m_kept.KeepUnwritten();
    return true;
}

bool BoardSession::ShareWorkEnded(int ms)
{
    return m_shareQueue.Drain(ms) && m_folderTests.Drain(ms);
}

void BoardSession::SaveFilterFile()
{
    // A guest has no filter file.
    if (!HasOwnEntry(m_state.Own))
        return;
    // Until the share has it, the start-up takes the filter from here.
    m_keptFilter = {m_state.Own.FileName + FilterFile::Extension, FilterFile::Build(m_state.Boards)};
    m_kept.Post("filter", {.kind = KeptWrites::Kind::File,
                           .path = m_keptFilter->first,
                           .text = m_keptFilter->second,
                           .checkBase = false,
                           .basedOn = {}});
}

void BoardSession::SaveOwnMemoBoard(const QByteArray& text, const QByteArray& basedOn, bool erase)
{
    if (!HasOwnEntry(m_state.Own))
        return;
    // An erase has a key of its own: a save typed after it must not take its place.
    m_kept.Post(erase ? "memo erase" : "memo board",
                {.kind = erase ? KeptWrites::Kind::MemoErase : KeptWrites::Kind::MemoBoard,
                 .path = m_state.Own.FileName,
                 .text = text,
                 .checkBase = true,
                 .basedOn = basedOn});
}

void BoardSession::WriteKept()
{
    const QList<KeptWrites::Write> kept = m_kept.TakeKept();
    // Once every one is settled, the folder need not hold them for a run that ends early.
    struct Settling
    {
        qsizetype left = 0;
        bool refused = false;
    };
    const auto settling = std::make_shared<Settling>(Settling{kept.size(), false});
    int n = 0;
    for (const KeptWrites::Write& write : kept) {
        if (write.kind == KeptWrites::Kind::File && write.path.endsWith(FilterFile::Extension))
            m_keptFilter = {write.path, write.text};
        // Through the journal again: a share still away at this run's end keeps them once more.
        m_kept.Post("last run " + QByteArray::number(++n), write, true, this,
                    [this, write, settling](KeptWrites::Outcome outcome) {
                        settling->refused = settling->refused || outcome == KeptWrites::Outcome::Refused;
                        if (--settling->left == 0 && !settling->refused)
                            m_kept.ForgetTaken();
                        if (outcome == KeptWrites::Outcome::Written)
                            qCInfo(lcFiles) << "written what the last run could not:" << write.path;
                        if (outcome != KeptWrites::Outcome::Changed)
                            return;
                        // Changed on the share meanwhile: never overwritten, never dropped.
                        const QString aside = m_kept.SetAside(write);
                        qCWarning(lcFiles) << "kept write changed on the share; set aside in" << aside;
                        ReportStatus(
                            m_status,
                            QStringLiteral("前回の終了時に保存できなかった内容を %1 に残しました。").arg(aside),
                            Severity::Warning);
                    });
    }
}

TVurnaDataArray BoardSession::LoadMembersOf(const QByteArray& shareDir, QString* error) const
{
    // Reads nothing; the load reads away from the window's thread as every load does.
    SharePath::rememberFolder(shareDir);
    TVurnaDataArray members{TVurnaDataRec{}};
    try {
        LoadUserFiles(SharePath::withSeparator(shareDir), members, AllMembers, m_state.Model.SortPriorityOn());
    } catch (const EFileIOError& e) {
        *error = e.message();
        members = {TVurnaDataRec{}};
    }
    return members;
}

ParmRec BoardSession::ReadSiteConfigOf(const QByteArray& shareDir) const
{
    ParmRecList boards{m_state.OwnBoard()};
    boards.append(ParmRec{});
    // Only a look: a moved share is not followed into the local settings.
    const SiteConfigContext context{
        .shareMove = nullptr, .clock = &m_clock, .memberName = {}, .retry = {}, .logAppender = m_logAppender};
    SharePath::rememberFolder(shareDir);
    ParallelWork::RunWhileEventsFlow(
        [&] { SiteConfig::Load(SharePath::withSeparator(shareDir), boards, 1, false, context); });
    return boards.at(1);
}

TVurnaDefaultValue BoardSession::ReadOwnDefaults() const
{
    TVurnaDefaultValue defaults;
    ParallelWork::RunWhileEventsFlow([&defaults, path = m_state.Own.FileName + DefaultValueFile::Extension] {
        defaults = DefaultValueFile::ReadDefaultValue(path);
    });
    return defaults;
}

void BoardSession::ApplyPreferences(const SettingResult& result)
{
    ParmRec& own = m_state.OwnBoard();
    // This run's filter choices are in memory only; the start-up below reads the file again.
    SaveFilterFile();

    const QByteArray newFileName = result.FileName.isEmpty()
                                       ? QByteArray()
                                       : SjisText::upperCase(SharePath::join(result.ShareDir, result.FileName));
    // The identity left behind is marked stopped, or it would show running on every board for ever.
    if (HasOwnEntry(m_state.Own) && SjisText::upperCase(m_state.Own.FileName) != SjisText::upperCase(newFileName))
        m_writer.SetStopMarker(true);

    own.ShareDir = result.ShareDir;
    own.AutoSmall = result.AutoSmall;
    own.AutoDengonOpen = result.AutoDengonOpen;
    if (result.Shortcut != Autostart::isPresent()) {
        QString error;
        const QString program = QCoreApplication::applicationFilePath();
        if (!(result.Shortcut ? Autostart::create(program, &error) : Autostart::remove(&error)))
            m_boxes.show(error, Mb::Ok | Mb::IconStop);
    }

    TVurnaDataRec me;
    if (!newFileName.isEmpty()) {
        me.FileName = newFileName;
        me.Furigana = result.Furigana;
        me.Name = result.Name;
        me.Group = result.Group;
        me.WarningCall = result.WarningCall;
        me.InnerLine = result.InnerLine;
        me.IP = m_notice->GetOwnAddress();
        me.DefaultOnExit = result.DefaultOnExit ? 1 : 0;
        me.SortPrefix = result.SortPrefix;
        if (result.DefaultValue)
            m_shareQueue.Post({}, [path = me.FileName + DefaultValueFile::Extension, value = *result.DefaultValue] {
                DefaultValueFile::WriteDefaultValue(path, value);
            });
    }
    m_state.Own = me;
    m_settings.SetShareDir(own.ShareDir);
    m_settings.SetAutoSmall(own.AutoSmall);
    m_settings.SetAutoDengonOpen(own.AutoDengonOpen);
    m_settings.SaveOwnIdentity(m_state.Own);
    qCInfo(lcBoard) << "preferences saved: own" << m_state.Own.FileName;
    if (newFileName.isEmpty()) {
        StartUp();
        return;
    }
    // The identity goes over the absence the file holds; the start-up waits for the file, or the
    // board it loads would not have the user on it yet.
    m_writer.RewriteUserFile(
        me,
        [me](TVurnaDataRec& current) {
            const TVurnaDataRec absence = current;
            current = me;
            UserStatusWriter::TakeAbsence(current, absence);
            return true;
        },
        true,
        [this](bool written) {
            if (!written)
                ReportStatus(m_status,
                             QStringLiteral("%1 の行き先を保存できませんでした。共有ディレクトリに書き込めません。")
                                 .arg(Cp932::toUnicode(m_state.Own.Name)),
                             Severity::Fault);
            // The end may have come while the file was written: nothing starts again then.
            if (!m_ended)
                StartUp();
        });
}

void BoardSession::RunUpdateCheck()
{
    if (m_env.programFile.isEmpty())
        return;
    UpdateCheck::Context context;
    context.arguments = m_env.arguments;
    context.localVersion = ProgramVersion::Running();
    context.programFile = m_env.programFile;
    context.programFolder = QFileInfo(m_env.programFile).absolutePath();
    context.member = m_state.Own.Name;
    context.starter = m_env.starter;
    context.clock = &m_clock;
    context.wait = m_env.updateWait;
    context.logAppender = m_logAppender;
    // The copy of the updater from the share may take long on a slow line.
    UpdateCheck::Outcome outcome = UpdateCheck::Outcome::NothingToDo;
    ParallelWork::RunWhileEventsFlow(
        [&outcome, board = m_state.OwnBoard(), &context] { outcome = UpdateCheck::Run(board, context); });
    switch (outcome) {
    case UpdateCheck::Outcome::UpdaterStarted:
        qCInfo(lcBoard) << "handed over to the updater: ends";
        m_handingOver = true;
        m_endPending = true;
        break;
    case UpdateCheck::Outcome::JustUpdated: {
        if (!m_state.OwnBoard().SilentUpdate)
            m_boxes.show(QStringLiteral("Vurnaを最新版に更新しました。"), Mb::Ok | Mb::IconInformation);
        // The updater has started this program as its last act; by then it has ended.
        const QString copy = UpdateCheck::UpdaterCopyPath(context.programFolder);
        QTimer::singleShot(UpdateCheck::UpdaterDeleteDelayMs, this, [copy] { UpdateCheck::DeleteUpdaterCopy(copy); });
        break;
    }
    case UpdateCheck::Outcome::NothingToDo:
        break;
    }
}
