#pragma once

#include "app/DialogLauncher.h"
#include "app/GridPopup.h"
#include "app/MainMenus.h"
#include "app/MainPlacement.h"

#include <QMainWindow>

#include <memory>

class BoardSession;
class FilterPanel;
class MemoPage;
class QTabWidget;
class QToolButton;
class SingleInstance;
class StatusBarSink;
class TaskTray;
class HighlightPanel;
class TVurnaGrid;

// What the board window takes from the desktop; tests hand in their own.
struct MainWindowEnvironment
{
    // The single-instance guard whose wake-up channel the window opens; null in tests.
    SingleInstance* instance = nullptr;
    // Whether the desktop shows tray icons. Without a tray the window is never hidden: it
    // starts minimised and the close box minimises it.
    bool trayAvailable = true;
};

// The board window: it builds the board and memo pages, the filters, the status bar, the menus
// and the task tray, and wires them to the session (BoardSession), which does the work and
// owns the state. Layout in MainWindowLayout.cpp, the wiring in MainWiring.cpp.
class TfrmMain final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmMain)

public:
    TfrmMain(BoardSession& session, MainWindowEnvironment environment, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The start-up sequence. False when the program ended during it (it then saved as at a
    // normal exit, and the caller ends the process).
    bool FormCreate();
    // After FormCreate: the window appears unless the user chose to start in the tray
    // (minimised instead where there is no tray).
    void ShowAtStart();
    // "終了" and "Vurnaの終了", log-off and the end signals: save once, then end the program.
    void Quit();
    void ShowMainWindow();
    // A second start of the program.
    void VurnaWakeup();
    // Shows `page` and runs the page change even when it was already on show.
    void SwitchPage(QWidget* page);
    // The help window at topic `context`: the site's own help when its share has one.
    void ShowHelp(int context);
    DialogLauncher& Dialogs() { return *m_dialogs; }

signals:
    // The program's end begins its saving.
    void Ending();
    // The program has saved and ends now.
    void Ended();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildWindow();
    void BuildBoardPage(QWidget& page, double scale);
    void ConnectMenus();
    void ConnectTray();
    void ConnectBoard();
    void ConnectSession();

    // The shown board was loaded: its filters, the caption and what the own entry allows.
    void ShowBoard();
    void SetShareDirectoryToMenuItem();
    void SwitchBoardClick(int index);
    void SetSmallFont(bool small);
    void SetEditMenuEnabled();
    void pgcMainChange();
    void FormKeyPress(QChar character);
    void EndProgram();

    BoardSession& m_session;
    MainWindowEnvironment m_env;
    MainPlacement m_placement;
    QTabWidget* m_pgcMain = nullptr;
    QWidget* m_tabKeiziban = nullptr;
    TVurnaGrid* m_keiziban = nullptr;
    HighlightPanel* m_panel1 = nullptr;
    QToolButton* m_btnOwnerSet = nullptr;
    QToolButton* m_btnOwnerReset = nullptr;
    FilterPanel* m_filters = nullptr;
    MemoPage* m_memoPage = nullptr;
    StatusBarSink* m_status = nullptr;
    MainMenus m_menus;
    GridPopup m_popup;
    TaskTray* m_tray = nullptr;
    std::unique_ptr<DialogLauncher> m_dialogs;
};
