#pragma once

#include "forms/TfrmInfo.h"

#include <QPointer>

#include <functional>

class BoardSession;
class QDialog;
class QWidget;
class TVurnaGrid;

// Opens the board window's modal dialogs over it and hands what they confirm to the session:
// the detail window on the members picked on the board (one at a time), the preferences (with
// the default values dialog nested in them), the custom group editor and the version window.
// Tests replace how a dialog runs instead of waiting on its modal loop.
class DialogLauncher
{
public:
    using Runner = std::function<void(QDialog& dialog)>;
    // The detail window is prepared for its members before it runs.
    using InfoRunner = std::function<void(TfrmInfo& form, const ParmRec& site, const TVurnaDataArray& selection,
                                          bool presetToday, TfrmInfo::Mode mode)>;

    // `grid` gives the picked members, the status pictures and the files dropped on it.
    DialogLauncher(BoardSession& session, TVurnaGrid& grid, QWidget& owner);

    void SetRunner(Runner runner) { m_runner = std::move(runner); }
    void SetInfoRunner(InfoRunner runner) { m_infoRunner = std::move(runner); }

    // The commands on the members picked on the board that open the detail window.
    void ShowInfomationForm(TfrmInfo::Mode mode);
    // 不在設定 of the own button and the tray: the detail window on the user alone, starting at
    // today's date; nothing while the last one is still open.
    void ShowOwnHuzaiEntry();
    // 不在解除 of the board's popup for the picked members.
    void ResetSelectedHuzai();

    // The preferences of the own board; confirming them applies the result.
    void Preferences();
    // The custom group editor of the board on show.
    void CustomGroups();
    // バージョン情報: the program's name and version.
    void Version();

private:
    void Run(QDialog& dialog);
    void RunInfoForm(const ParmRec& site, const TVurnaDataArray& selection, bool presetToday, TfrmInfo::Mode mode);

    BoardSession& m_session;
    TVurnaGrid& m_grid;
    QWidget& m_owner;
    Runner m_runner;
    InfoRunner m_infoRunner;
    // While a detail window is open its modal loop lets the board's events through, and the board
    // may be clicked again; one detail window at a time.
    QPointer<TfrmInfo> m_info;
    // The preferences look at the share while the window answers: opened once at a time.
    bool m_preferencesOpen = false;
};
