#pragma once

#include "app/MainState.h"
#include "board/UserStatusWriter.h"
#include "store/TLocalSettings.h"
#include "store/WindowPlacement.h"

#include <QIcon>
#include <QMainWindow>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>
#include <memory>

class Clock;
class MessageBoxes;
class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QToolButton;
class SingleInstance;
class StatusBarSink;
class THighlightPanel;
class TQuaxoRichEdit;
class TVurnaGrid;
class TVurnaNotice;

// What the board window takes from the world outside it; tests hand in their own.
struct TMainEnvironment
{
    Clock* clock = nullptr;        // required
    MessageBoxes* boxes = nullptr; // required
    // The PC's own address (platform HostAddress); looked up once per start.
    std::function<QByteArray()> lookUpAddress;
    // The folder of the running program file, in-memory form (shortcut protection).
    QByteArray programFolder;
    // The single-instance guard whose wake-up channel the window opens; null in tests.
    SingleInstance* instance = nullptr;
    // VURNA_ADDRESS: the datagram listener binds to this address alone; empty binds to every
    // IPv4 address of the PC.
    QByteArray bindAddress;
    // Whether the desktop shows tray icons. Without a tray the window is never hidden: it
    // starts minimised and the close box minimises it.
    bool trayAvailable = true;
};

// The board window: the board and memo pages, the status bar with its progress bar, the
// task tray icon and the menus. It owns the process-wide state (TMainState) and hands it by
// reference to the parts that work on it.
//
// The window's work is split over several files by concern: layout (MainWindowLayout.cpp),
// menus (MainMenus.cpp), start-up (MainStartUp.cpp), shutdown (MainShutdown.cpp), tray
// (MainTray.cpp), the board connection (MainKeiziban.cpp) and placement (MainPlacement.cpp).
class TfrmMain final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmMain)

public:
    explicit TfrmMain(TMainEnvironment environment, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The start-up sequence. False when the program ended during it (it then saved as at a
    // normal exit, and the caller ends the process).
    bool FormCreate();
    // After FormCreate: the window appears unless the user chose to start in the tray
    // (minimised instead where there is no tray).
    void ShowAtStart();
    void StartUp();
    // The saving of a normal exit; always true.
    bool SaveOnClose();
    // "終了" and "Vurnaの終了", log-off and the end signals: save once, then end the program.
    void Quit();
    bool HasEnded() const { return m_ended; }

    void ShowMainWindow();
    // operation 0 adds the icon, 1 modifies it, 2 deletes it; the tip is cut to 63
    // characters.
    void SetTaskTrayIcon(const QString& text, int operation, const QIcon& icon);
    QString TrayTip() const { return m_trayTip; }
    bool TrayIconShown() const { return m_trayShown; }

    // The per-minute work: the caption, then the overdue-absence check.
    void KeizibanIntervalTimer();
    // (Re)connects the grid to `board` and loads it. A failed load asked for by a datagram is
    // a fault in the status bar, not a box that would stop the datagrams behind it.
    void SetKeiziban(ParmRec& board, bool fromDatagram = false);
    void KeizibanSubSetting();
    void SetShareDirectoryToMenuItem();
    void SetSmallFont(bool small);
    void SetEditMenuEnabled();
    // A second start of the program.
    void VurnaWakeup();
    void pgcMainChange();
    // Shows `page` and runs the page change even when it was already on show.
    void SwitchPage(QWidget* page);
    // The memo page came up: unread memos are taken in.
    void ReceiveDengon();

    // Absence actions. `sender` is the button, menu item, grid or window that was used.
    void ShowInfomationForm(QObject* sender);
    // Writes the absence into every record 1..n (board, file, own record, datagram), then
    // advances the change stamp once, naming the first.
    void SetHuzai(TVurnaDataArray& records, const QByteArray& locate, qint32 statusIndex, const QByteArray& time,
                  const QByteArray& date);
    // The overdue-absence question; false while it cannot be asked at all.
    bool HuzaiAutoResetCheck();
    // Close-time: the user's default absence while present, when they asked for it.
    void SetDefaultValueOnExit();

    // Reminders in the tray.
    void KeizibanCheckMsg();
    void KeizibanChangeDB();
    void StartHuzaiAlart();
    void StopHuzaiAlart();
    void HuzaiAlartTimerTimer();
    bool HuzaiAlartActive() const { return m_huzaiAlartTimer.isActive(); }

    // The datagrams of this copy (never null after construction).
    TVurnaNotice& Notice() { return *m_notice; }

    TMainState& State() { return m_state; }
    const TMainState& State() const { return m_state; }
    TVurnaGrid& Keiziban() { return *m_keiziban; }
    THighlightPanel& HighlightPanel() { return *m_panel1; }
    TLocalSettings& Settings() { return m_settings; }
    QTabWidget& Pages() { return *m_pgcMain; }
    QWidget& BoardPage() { return *m_tabKeiziban; }
    QWidget& MemoPage() { return *m_tabDengon; }
    TQuaxoRichEdit& MemoView() { return *m_rchDengonOwner; }
    QMenu& TrayMenu() { return *m_popTaskTray; }
    QMenu& GridMenu() { return *m_popControl; }
    QToolButton& OwnerSetButton() { return *m_btnOwnerSet; }
    QToolButton& OwnerResetButton() { return *m_btnOwnerReset; }
    QAction* MenuAction(const QString& objectName) const;
    StatusBarSink& Status() { return *m_status; }

signals:
    // The program has saved and ends now.
    void Ended();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Layout and parts.
    void BuildWindow();
    void BuildBoardPage(QWidget& page);
    void BuildMemoPage(QWidget& page);
    void BuildFilterPanel(QWidget& central);
    void BuildStatusBar();
    void BuildMenus();
    void BuildTray();
    void TrayNotify(QSystemTrayIcon::ActivationReason reason);
    QAction* AddMenuItem(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& shortcut = {},
                         const QString& hint = {});

    // Placement.
    void RestoreWindowPlacement();
    void SaveWindowPlacement();
    void ApplySizeLimits();
    int Dpi() const;

    // Board and menus.
    void ApplyOwnEntryAvailability();
    void sbmShareDirClick(int index);
    void ReloadAllClick();
    void SortClick(bool furigana);
    void clickEditMenu(QAction* action);
    void mnuHelpClick();
    void popTrayKeizibanClick(char letter);
    void FormKeyPress(QChar character);
    void ShowLoadFailure(const QString& message);
    // The saving of a real end and the end itself, once.
    void EndProgram();

    // Absence actions and datagrams.
    void BuildGridPopup();
    void popControlPopup(const QPoint& pos);
    void OwnActions(const QString& sender);
    void SelectionActions(const QString& sender);
    void CreateNotice();
    void StartNotice();
    void ClearAbsenceOfLastExit();

    QByteArray OwnAddress() const;
    QIcon MainIcon() const { return windowIcon(); }

    TMainEnvironment m_env;
    Clock& m_clock;
    MessageBoxes& m_boxes;
    TMainState m_state;
    TLocalSettings m_settings;

    // Widgets (owned by the window through their parents).
    QTabWidget* m_pgcMain = nullptr;
    QWidget* m_tabKeiziban = nullptr;
    QWidget* m_tabDengon = nullptr;
    TVurnaGrid* m_keiziban = nullptr;
    THighlightPanel* m_panel1 = nullptr;
    QToolButton* m_btnOwnerSet = nullptr;
    QToolButton* m_btnOwnerReset = nullptr;
    TQuaxoRichEdit* m_rchDengonOwner = nullptr;
    QPushButton* m_btnDengonErase = nullptr;
    QWidget* m_pnlFilters = nullptr;
    QCheckBox* m_chkGroupFilter = nullptr;
    QCheckBox* m_chkStatusFilter = nullptr;
    QLabel* m_statusText = nullptr;
    QProgressBar* m_progress = nullptr;
    std::unique_ptr<StatusBarSink> m_status;

    QMenu* m_mnuShareDir = nullptr;
    QMenu* m_popTaskTray = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QString m_trayTip;
    bool m_trayShown = false;

    QMenu* m_popControl = nullptr;
    QTimer m_huzaiAlartTimer;
    // The reminder pictures, made once: the tray changes picture four times a second.
    QIcon m_trayMemoIcon;
    QIcon m_trayAbsentIcon;

    std::unique_ptr<UserStatusWriter> m_writer;
    TVurnaNotice* m_notice = nullptr;
    TWindowPlacement m_placement;
    QString m_helpFile;
    bool m_ended = false;
    bool m_quitRequested = false;
};
