#include "app/DialogLauncher.h"

#include "app/VersionWindow.h"
#include "board/ui/TVurnaGrid.h"
#include "forms/TfrmCustomGroup.h"
#include "forms/TfrmDefaultValue.h"
#include "forms/TfrmSetting.h"
#include "platform/Autostart.h"
#include "platform/MessageBoxes.h"
#include "session/BoardSession.h"
#include "store/HistoryFile.h"
#include "store/MemoFiles.h"

#include <QScopeGuard>

namespace {

void tellNobodySelected(MessageBoxes& boxes)
{
    boxes.show(QStringLiteral("誰も選択されていません。\r\n\r\n左クリックで誰かを選択して下さい。"),
               Mb::Ok | Mb::IconWarning);
}

} // namespace

DialogLauncher::DialogLauncher(BoardSession& session, TVurnaGrid& grid, QWidget& owner)
    : m_session(session), m_grid(grid), m_owner(owner)
{
}

void DialogLauncher::Run(QDialog& dialog)
{
    if (m_runner)
        m_runner(dialog);
    else
        dialog.exec();
}

void DialogLauncher::Preferences()
{
    if (m_preferencesOpen)
        return;
    m_preferencesOpen = true;
    const auto reopenable = qScopeGuard([this] { m_preferencesOpen = false; });
    MainState& state = m_session.State();
    SettingEnvironment environment{
        .folders = m_session.Folders(),
        .boxes = m_session.Boxes(),
        .clock = m_session.clock(),
        .loadMembers = [this](const QByteArray& shareDir,
                              QString* error) { return m_session.LoadMembersOf(shareDir, error); },
        .readSiteConfig = [this](const QByteArray& shareDir) { return m_session.ReadSiteConfigOf(shareDir); },
        .shortcutPresent = [] { return Autostart::isPresent(); },
        .editDefaults = [this, &state](const TVurnaDefaultValue& current) -> std::optional<TVurnaDefaultValue> {
            TfrmDefaultValue dialog(state.OwnBoard(), m_grid.ImageList(), m_session.clock(), m_session.Boxes(), current,
                                    &m_owner);
            Run(dialog);
            if (!dialog.Ok())
                return std::nullopt;
            return dialog.Value();
        },
        .readDefaults = [this] { return m_session.ReadOwnDefaults(); },
    };

    TfrmSetting dialog(std::move(environment), state.OwnBoard(), state.Own, state.Model.Members(), &m_owner);
    Run(dialog);
    if (dialog.Ok())
        m_session.ApplyPreferences(dialog.Result());
}

void DialogLauncher::CustomGroups()
{
    MainState& state = m_session.State();
    TfrmCustomGroup editor(state.Boards, state.CurrentBoard, state.Model, {}, &m_owner);
    Run(editor);
}

void DialogLauncher::Version()
{
    VersionWindow version(&m_owner);
    Run(version);
}

void DialogLauncher::ShowInfomationForm(TfrmInfo::Mode mode)
{
    if (m_info)
        return;
    if (!m_grid.HasSelection()) {
        tellNobodySelected(m_session.Boxes());
        return;
    }
    TVurnaDataArray list;
    if (!m_grid.GetSelection(list, true))
        return;
    RunInfoForm(m_session.State().ShownBoard(), list, false, mode);
}

void DialogLauncher::ResetSelectedHuzai()
{
    TVurnaDataArray list;
    if (!m_grid.GetSelection(list, true)) {
        tellNobodySelected(m_session.Boxes());
        return;
    }
    m_session.Huzai().ResetMembers(list);
}

void DialogLauncher::ShowOwnHuzaiEntry()
{
    const MainState& state = m_session.State();
    if (m_info || !HasOwnEntry(state.Own))
        return;
    const TVurnaDataArray list{TVurnaDataRec{}, state.Own};
    RunInfoForm(state.OwnBoard(), list, true, TfrmInfo::Mode::HuzaiSet);
}

void DialogLauncher::RunInfoForm(const ParmRec& site, const TVurnaDataArray& selection, bool presetToday,
                                 TfrmInfo::Mode mode)
{
    if (m_info)
        return;
    MainState& state = m_session.State();
    // The window reads and writes no file itself: the memo board and the reason histories are
    // the board's, and their reads and writes run on the share's queue.
    InfoContext context{
        .board = state.Model,
        .setHuzai =
            [this](TVurnaDataArray& records, const QByteArray& locate, qint32 statusIndex, const QByteArray& time,
                   const QByteArray& date) { m_session.Huzai().SetHuzai(records, locate, statusIndex, time, date); },
        .own = state.Own,
        .clock = m_session.clock(),
        .boxes = m_session.Boxes(),
        .status = m_session.Status(),
        .statusPictures = m_grid.ImageList(),
        .dropFiles = mode == TfrmInfo::Mode::SendFiles ? m_grid.DropFiles() : QStringList(),
        .clearDropFiles = [this] { m_grid.ClearDropFiles(); },
        .send =
            [this, &state](const QList<QByteArray>& lines) {
                state.SendList = lines;
                m_session.Delivery().ProcessSendList(state.SendList, state.ShownBoard().ShareDir);
            },
        .showMemoBoard = [](const TVurnaDataRec& member) { return MemoFiles::ReadBoard(member.FileName); },
        .history =
            {
                .read = [](const QByteArray& member) -> std::optional<QList<QByteArray>> {
                    HistoryFile::Lines history = HistoryFile::Read(member);
                    if (!history.ok)
                        return std::nullopt;
                    return history.lines;
                },
                .replace =
                    [](const QByteArray& member, const QByteArray& kept, const QByteArray& newText) {
                        HistoryFile::Write(member, HistoryFile::MergeHistory(kept, newText, HistoryFile::MaxLines - 1));
                    },
                .add = [](const QList<QByteArray>& members,
                          const QByteArray& newText) { HistoryFile::AddToMembers(members, newText); },
            },
        .queue = &m_session.Queue(),
    };
    TfrmInfo form(std::move(context), &m_owner);
    m_info = &form;
    try {
        if (m_infoRunner)
            m_infoRunner(form, site, selection, presetToday, mode);
        else
            form.ShowInfo(site, selection, presetToday, mode);
    } catch (const std::exception& e) {
        m_session.Boxes().show(QString::fromLocal8Bit(e.what()), Mb::Ok | Mb::IconStop);
    }
    m_info = nullptr;
    m_grid.ClearDropFiles();
}
