#pragma once

#include "app/DengonDelivery.h"
#include "app/GridPopup.h"
#include "app/HuzaiActions.h"
#include "app/MainMenus.h"
#include "app/MainPlacement.h"
#include "app/MainState.h"
#include "board/UserStatusWriter.h"
#include "forms/TfrmInfo.h"
#include "platform/FolderChooser.h"
#include "store/TLocalSettings.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class Clock;
class MessageBoxes;
class ProcessStarter;
class FilterList;
class TfrmDefaultValue;
class TfrmSetting;
struct SettingResult;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTextEdit;
class QToolButton;
class SingleInstance;
class StatusBarSink;
class TaskTray;
class THighlightPanel;
class TQuaxoRichEdit;
class TVurnaGrid;
class TVurnaNotice;

// What the board window takes from the world outside it; tests hand in their own.
struct TMainEnvironment
{
    Clock* clock = nullptr;        // required
    MessageBoxes* boxes = nullptr; // required
    // Where arrived parcels go; without one every choice is cancelled and parcels wait.
    FolderChooser* folders = nullptr;
    // The PC's own address (platform HostAddress); looked up once per start.
    std::function<QByteArray()> lookUpAddress;
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
// menus, and the parts it is made of: the task tray (TaskTray), the absence actions
// (HuzaiActions), the placement (MainPlacement) and the datagrams (TVurnaNotice). It owns the
// process-wide state (TMainState) and hands it by reference to the parts that work on it.
//
// Its work is split over files by concern: layout (MainWindowLayout.cpp), start-up
// (MainStartUp.cpp), shutdown (MainShutdown.cpp), showing a board (MainKeiziban.cpp), the
// menu commands (MainCommands.cpp), the pages (MainPages.cpp) and the absence and datagram
// wiring (MainWiring.cpp).
class TfrmMain final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmMain)

public:
    // What a command on picked members opens the detail window for.
    using InfoMode = TfrmInfo::Mode;

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
    // The per-minute work: the caption, then the overdue-absence check.
    void KeizibanIntervalTimer();
    // (Re)connects the grid to `board` and loads it. A failed load asked for by a datagram is
    // a fault in the status bar, not a box that would stop the datagrams behind it.
    void SetKeiziban(ParmRec& board, bool fromDatagram = false);
    // Runs a command that switches, sorts or reloads the board now, or after the load under way.
    void WhenBoardIdle(std::function<void()> command);
    // A second start of the program.
    void VurnaWakeup();
    // Shows `page` and runs the page change even when it was already on show.
    void SwitchPage(QWidget* page);
    // The commands on the members picked on the board that open the detail window.
    void ShowInfomationForm(InfoMode mode);
    // 不在設定 of the own button and the tray: the detail window on the user alone, starting at
    // today's date; nothing while the last one is still open.
    void ShowOwnHuzaiEntry();
    // Files dropped on the board: the detail window sends them to the picked members.
    void KeizibanShellDrop();
    // The detail window while it is open (tests drive it; the board window keeps it to refuse a
    // second one for the own absence).
    TfrmInfo* InfoForm() const { return m_info; }
    // How a detail window is shown; tests replace it to drive the window instead of waiting on
    // its modal loop. The default runs ShowInfo.
    using InfoRunner = std::function<void(TfrmInfo& form, const ParmRec& site, const TVurnaDataArray& selection,
                                          bool presetToday, TfrmInfo::Mode mode)>;
    void SetInfoRunner(InfoRunner runner) { m_infoRunner = std::move(runner); }
    DengonDelivery& Delivery() { return *m_delivery; }
    // How the custom group editor is shown; tests drive it instead of its modal loop.
    void SetCustomGroupRunner(std::function<void(QDialog& editor)> runner) { m_customGroupRunner = std::move(runner); }
    void SetVersionRunner(std::function<void(QDialog& window)> runner) { m_versionRunner = std::move(runner); }
    // The same for the preferences and the default values dialog nested in them.
    void SetSettingRunner(std::function<void(TfrmSetting& dialog)> runner) { m_settingRunner = std::move(runner); }
    void SetDefaultValueRunner(std::function<void(TfrmDefaultValue& dialog)> runner)
    {
        m_defaultValueRunner = std::move(runner);
    }

    TMainState& State() { return m_state; }
    const TMainState& State() const { return m_state; }
    TVurnaGrid& Keiziban() { return *m_keiziban; }
    THighlightPanel& HighlightPanel() { return *m_panel1; }
    TaskTray& Tray() { return *m_tray; }
    HuzaiActions& Huzai() { return m_huzai; }
    TVurnaNotice& Notice() { return *m_notice; }
    StatusBarSink& Status() { return *m_status; }
    const MainMenus& Menus() const { return m_menus; }
    const GridPopup& Popup() const { return m_popup; }
    QTabWidget& Pages() { return *m_pgcMain; }
    FilterList& GroupFilterList() { return *m_cmbGroupFilter; }
    FilterList& StatusFilterList() { return *m_cmbStatusFilter; }
    QWidget& BoardPage() { return *m_tabKeiziban; }
    QWidget& MemoPage() { return *m_tabDengon; }
    TQuaxoRichEdit& MemoView() { return *m_rchDengonOwner; }
    QToolButton& OwnerSetButton() { return *m_btnOwnerSet; }
    QToolButton& OwnerResetButton() { return *m_btnOwnerReset; }
    // The help window at topic `context`: the site's own help when its share has one.
    void ShowHelp(int context);

signals:
    // The program has saved and ends now.
    void Ended();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Layout.
    void BuildWindow();
    void BuildBoardPage(QWidget& page);
    void BuildMemoPage(QWidget& page);
    void BuildFilterPanel(QWidget& central);
    void BuildStatusBar();

    // Wiring of the parts to the window's handlers.
    void ConnectMenus();
    void ConnectTray();
    void ConnectBoard();
    void ConnectNotice();

    // Start-up steps with a name of their own.
    // A newer build in the share: hands over to the updater, or greets the updated program
    // (MainUpdate.cpp).
    void RunUpdateCheck();
    void ApplySmallFontSetting();
    void TakeOwnEntry();

    // Showing a board.
    void KeizibanSubSetting();
    // The filter lists of the board page (MainFilters.cpp).
    void SetGroupList();
    void SetStatusList();
    void SetGroupFilter();
    void SetStatusFilter();
    void GroupFilterClick();
    void StatusFilterClick();
    void ApplyOwnEntryAvailability();
    void SetShareDirectoryToMenuItem();
    void sbmShareDirClick(int index);

    // Menu commands.
    void ReloadAllClick();
    void SortClick(bool furigana);
    void SetSmallFont(bool small);
    void SetEditMenuEnabled();
    // Runs the clipboard command on the text field with the focus.
    void EditFocusedText(const std::function<void(QTextEdit&)>& onText, const std::function<void(QLineEdit&)>& onLine);
    void mnuHelpClick();
    // The custom group editor; the group filter is applied again afterwards, OK or not.
    void mnuCustomGroupClick();
    // The preferences, on the own board; confirming them applies the result (MainPreferences.cpp).
    void mnuPreferenceClick();
    // バージョン情報: the program's name and version.
    void mnuVersionClick();
    void ApplyPreferences(const SettingResult& result);
    void popControlPopup(const QPoint& pos);
    void ResetSelectedHuzai();
    void popTrayKeizibanClick(char letter);
    void TrayNotify();
    void FormKeyPress(QChar character);

    // Pages and memos.
    void pgcMainChange();
    void ReceiveDengon();
    void KeizibanCheckMsg();
    void KeizibanChangeDB();

    void ShowLoadFailure(const QString& message);
    void MakeDelivery();
    void RunInfoForm(const ParmRec& site, const TVurnaDataArray& selection, bool presetToday, InfoMode mode);
    // The saving of a real end and the end itself, once.
    void EndProgram();

    TMainEnvironment m_env;
    Clock& m_clock;
    MessageBoxes& m_boxes;
    TMainState m_state;
    TLocalSettings m_settings;
    UserStatusWriter m_writer;
    HuzaiActions m_huzai;
    MainPlacement m_placement;

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
    QPushButton* m_btnGroupFilter = nullptr;
    QPushButton* m_btnStatusFilter = nullptr;
    FilterList* m_cmbGroupFilter = nullptr;
    FilterList* m_cmbStatusFilter = nullptr;
    QLabel* m_statusText = nullptr;
    QProgressBar* m_progress = nullptr;
    std::unique_ptr<StatusBarSink> m_status;

    MainMenus m_menus;
    GridPopup m_popup;
    TaskTray* m_tray = nullptr;
    TVurnaNotice* m_notice = nullptr;
    ScriptedFolderChooser m_noFolders;
    std::unique_ptr<DengonDelivery> m_delivery;
    QPointer<TfrmInfo> m_info;
    InfoRunner m_infoRunner;
    std::function<void(QDialog& editor)> m_customGroupRunner;
    std::function<void(QDialog& window)> m_versionRunner;
    std::function<void(TfrmSetting& dialog)> m_settingRunner;
    std::function<void(TfrmDefaultValue& dialog)> m_defaultValueRunner;
    bool m_ended = false;
    bool m_quitRequested = false;
    // The program ends for the updater while the user is starting it: no exit default absence.
    bool m_handingOver = false;
    // The status text of a failed minute's reload, cleared by the next load that succeeds.
    QString m_loadFault;
};
