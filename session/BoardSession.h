#pragma once

#include "board/UserStatusWriter.h"
#include "platform/FolderChooser.h"
#include "platform/ShareQueue.h"
#include "session/DengonDelivery.h"
#include "session/HuzaiActions.h"
#include "session/KeptWrites.h"
#include "session/MainState.h"
#include "session/StatusRelay.h"
#include "store/DefaultValueFile.h"
#include "store/LocalSettings.h"
#include "store/SiteConfig.h"
#include "store/VurnaLog.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class Clock;
class MessageBoxes;
class ProcessStarter;
class ChangeNotice;
struct SettingResult;

// What the session takes from the world outside it; tests hand in their own.
struct SessionEnvironment
{
    Clock* clock = nullptr;        // required
    MessageBoxes* boxes = nullptr; // required
    // Where arrived parcels go; without one every choice is cancelled and parcels wait.
    FolderChooser* folders = nullptr;
    // The PC's own address (platform HostAddress); looked up once per start.
    std::function<QByteArray()> lookUpAddress;
    // VURNA_ADDRESS: the datagram listener binds to this address alone; empty binds to every
    // IPv4 address of the PC.
    QByteArray bindAddress;
    // The folder of the running program file, in-memory form (shortcut protection, help).
    QByteArray programFolder;
    // The running program file (a real path) and its arguments after its name, for the update
    // check; without a program file nothing is checked.
    QString programFile;
    QStringList arguments;
    // Starts the updater; required when programFile is set.
    ProcessStarter* starter = nullptr;
    // Waits before the updater starts; null: no wait.
    std::function<void(int)> updateWait;
};

// The board program's work apart from any widget: the process-wide state, the local settings,
// the own status file, the datagrams, the absence actions and the deliveries. It starts up,
// shows a board, switches boards, takes the own entry, applies confirmed preferences and saves
// at the end; the window shows what it reports through its signals and status sink.
class BoardSession final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BoardSession)

public:
    explicit BoardSession(SessionEnvironment environment, QObject* parent = nullptr);
    ~BoardSession() override;

    MainState& State() { return m_state; }
    const MainState& State() const { return m_state; }
    LocalSettings& Settings() { return m_settings; }
    HuzaiActions& Huzai() { return m_huzai; }
    DengonDelivery& Delivery() { return *m_delivery; }
    ChangeNotice& Notice() { return *m_notice; }
    Clock& clock() const { return m_clock; }
    MessageBoxes& Boxes() { return m_boxes; }
    // The own share's work, in order, off the window's thread.
    ShareQueue& Queue() { return m_shareQueue; }
    FolderChooser& Folders() { return m_env.folders ? *m_env.folders : m_noFolders; }
    const QByteArray& ProgramFolder() const { return m_env.programFolder; }
    // Where reports go; the window hands in its status bar once it has one.
    StatusSink& Status() { return m_status; }
    void SetStatusSink(StatusSink* sink) { m_status.SetTarget(sink); }

    // The start-up up to the window's own steps: settings, site, board, own entry, shortcut
    // protection, the update check and the end of the last exit's absence. False when the
    // program must end now (the caller saves as at a normal exit).
    bool BeginStartUp();
    // The last steps, once the window is ready: the overdue question may be asked from now on.
    void FinishStartUp();
    // Reads the local settings and the site configuration again and shows the own board.
    void StartUp();

    // (Re)loads `board` into the model. A failed load asked for by a datagram is a fault in the
    // status bar, not a box that would stop the datagrams behind it.
    void ShowBoard(ParmRec& board, bool fromDatagram = false);
    // Shows the board at `index` of the site's list, asked first over a slow line; false when
    // the board was not switched.
    bool SwitchBoard(int index);
    // Runs a command that switches, sorts or reloads the board now, or after the load under way.
    void WhenBoardIdle(std::function<void()> command);
    // 全データのリロード: asked first, the load is heavy on the server.
    void ReloadAllAsked();
    // The name order: by reading, or the site's priority order.
    void SortByReading(bool furigana);
    void ApplyPreferences(const SettingResult& result);

    // The preferences' look at another share: its members, or the error; and its site settings.
    TVurnaDataArray LoadMembersOf(const QByteArray& shareDir, QString* error) const;
    ParmRec ReadSiteConfigOf(const QByteArray& shareDir) const;
    TVurnaDefaultValue ReadOwnDefaults() const;

    // Looks for unread memos off the window's thread; when they wait, the reminder starts.
    void CheckMemos();
    // The memos were taken in: the reminder of unread ones ends.
    void MemosTakenIn();
    // Moves what arrived in the user's inbox to where they choose.
    void ReceiveParcels();

    // An end asked for while the start-up still runs waits for it; true when the end may run now.
    bool RequestEnd();
    bool EndPending() const { return m_endPending; }
    bool HasEnded() const { return m_ended; }
    // The saving of a real end, once: the exit default, then what `saveWindowParts` keeps (the
    // memo board, the placement), the filter file, and the stop marker last, so that the user
    // shows running for as long as anything of theirs is still being written. It waits for the
    // share at most EndWaitMs: log-off must never hang on a server that does not answer; what
    // the share did not take of the memo board and the filter file is kept for the next start.
    // False when the program has already ended.
    bool End(const std::function<void()>& saveWindowParts);
    static constexpr int EndWaitMs = 4000;
    // Waits up to `ms` for the share's work still running; false when some of it still waits on
    // a server that does not answer.
    bool ShareWorkEnded(int ms);
    // The memo board as edited, `basedOn` the text it was loaded with: written on the queue,
    // kept on this PC when the share does not take it before the end.
    // `erase`: the board is erased instead, unread memos included.
    void SaveOwnMemoBoard(const QByteArray& text, const QByteArray& basedOn, bool erase = false);

signals:
    // A board is about to load: its pictures are needed as its members arrive.
    void BoardLoading(const ParmRec& board);
    // The shown board was loaded (or failed to load): filters, caption and own entry follow it.
    void BoardShown();
    // The site's list of boards was read again.
    void BoardsListed();
    // The own entry was found on the board and marked running.
    void OwnEntryTaken();
    // Unread memos wait; or the own entry's absence changed.
    void MemoWaiting();
    void OwnAbsenceChanged(bool absent);
    // A share operation the user waits on runs now, or has ended.
    void WaitingOnShare(bool waiting);
    // The minute's beat, before its overdue-absence check.
    void MinutePassed();
    // A datagram or the update asks the program to end.
    void EndRequested();

private:
    // How the site configuration of a board of this session is read: a moved share is stored in
    // the local settings, log entries name `memberName`.
    SiteConfigContext SiteContext(const QByteArray& memberName);
    void TakeOwnEntry();
    // The site configuration of board `index`, read while the window answers; false when it
    // could not be read (or, `mustBeReachable`, the folder is not there).
    bool LoadSiteConfig(int index, bool followMove, const QByteArray& memberName, bool mustBeReachable = false);
    // Runs a read of the share that fills the boards off the window's thread, which answers meanwhile.
    static void OffTheWindow(ParmRecList& boards, const std::function<void(ParmRecList&)>& read);
    // Writes what an earlier run could not, where it is still valid.
    void WriteKept();
    // The filter file of this run's choices, on the queue and kept if the share does not take it.
    void SaveFilterFile();
    void RunUpdateCheck();
    void ConnectBoard();

    SessionEnvironment m_env;
    Clock& m_clock;
    MessageBoxes& m_boxes;
    ScriptedFolderChooser m_noFolders;
    StatusRelay m_status;
    MainState m_state;
    LocalSettings m_settings;
    UserStatusWriter m_writer;
    HuzaiActions m_huzai;
    // The own share's work, off the window's thread.
    ShareQueue m_shareQueue;
    // Folders that share-moved requests name, tested on a thread of their own.
    ShareQueue m_folderTests;
    // Log lines leave the window's thread through the share's queue, in order.
    const VurnaLog::Appender m_logAppender = [this](std::function<void()> append) {
        m_shareQueue.Post(QByteArray(), std::move(append));
    };
    // The memo board and the filter file: kept on this PC when the share does not take them.
    KeptWrites m_kept;
    // A filter file written on the queue or kept by an earlier run (path, text): newer than what
    // the share may still hold when the start-up reads it.
    std::optional<std::pair<QByteArray, QByteArray>> m_keptFilter;
    ChangeNotice* m_notice = nullptr;
    std::unique_ptr<DengonDelivery> m_delivery;
    bool m_ended = false;
    bool m_endPending = false;
    // The program ends for the updater while the user is starting it: no exit default absence.
    bool m_handingOver = false;
    // The status text of a failed minute's reload, cleared by the next load that succeeds; the
    // same for the share not answering, cleared once it answers.
    QString m_loadFault;
    QString m_stallReport;
};
