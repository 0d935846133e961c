// The preferences: opened on the own board, and what confirming them does to the user's
// identity, the local settings, the autostart entry and the running start-up.

#include "app/MainLog.h"
#include "app/TfrmMain.h"
#include "board/EFileIOError.h"
#include "board/TVurnaNotice.h"
#include "board/UserLoader.h"
#include "board/ui/TVurnaGrid.h"
#include "forms/TfrmDefaultValue.h"
#include "forms/TfrmSetting.h"
#include "platform/Autostart.h"
#include "platform/MessageBoxes.h"
#include "platform/SharePath.h"
#include "platform/SjisText.h"
#include "store/DefaultValueFile.h"
#include "store/FilterFile.h"
#include "store/SiteConfig.h"

#include <QCoreApplication>

void TfrmMain::mnuPreferenceClick()
{
    if (m_state.CurrentBoard != 0)
        sbmShareDirClick(0);
    if (m_state.CurrentBoard != 0)
        return; // the own board could not be reached: the preferences would edit another board
    SwitchPage(m_tabKeiziban);

    FolderChooser& folders = m_env.folders ? *m_env.folders : m_noFolders;
    SettingEnvironment environment{folders, m_boxes, m_clock, {}, {}, {}, {}, {}};
    environment.loadMembers = [this](const QByteArray& shareDir, QString* error) {
        TVurnaDataArray members{TVurnaDataRec{}};
        try {
            LoadUserFiles(SharePath::withSeparator(shareDir), members, AllMembers, m_state.BoardModel.SortPriorityOn());
        } catch (const EFileIOError& e) {
            *error = e.message();
            members = {TVurnaDataRec{}};
        }
        return members;
    };
    environment.readSiteConfig = [this](const QByteArray& shareDir) {
        TParmArray boards{m_state.OwnBoard()};
        boards.append(ParmRec{});
        SiteConfigContext context;
        context.clock = &m_clock;
        SiteConfig::Load(SharePath::withSeparator(shareDir), boards, 1, false, context);
        return boards.at(1);
    };
    environment.shortcutPresent = [] { return Autostart::isPresent(); };
    environment.readDefaults = [this] {
        return DefaultValueFile::ReadDefaultValue(m_state.Own.FileName + DefaultValueFile::Extension);
    };
    environment.editDefaults = [this](const TVurnaDefaultValue& current) -> std::optional<TVurnaDefaultValue> {
        TfrmDefaultValue dialog(m_state.OwnBoard(), m_keiziban->ImageList(), m_clock, m_boxes, current, this);
        if (m_defaultValueRunner)
            m_defaultValueRunner(dialog);
        else
            dialog.exec();
        if (!dialog.Ok())
            return std::nullopt;
        return dialog.Value();
    };

    TfrmSetting dialog(std::move(environment), m_state.OwnBoard(), m_state.Own, m_state.BoardModel.Members(), this);
    if (m_settingRunner)
        m_settingRunner(dialog);
    else
        dialog.exec();
    if (dialog.Ok())
        ApplyPreferences(dialog.Result());
}

void TfrmMain::ApplyPreferences(const SettingResult& result)
{
    ParmRec& own = m_state.OwnBoard();
    // This run's filter choices are in memory only; the start-up below reads the file again.
    FilterFile::Write(m_state.Own.FileName + FilterFile::Extension, m_state.Boards);

    const QByteArray newFileName =
        result.FileName.isEmpty() ? QByteArray() : SharePath::join(result.ShareDir, result.FileName);
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

    if (!newFileName.isEmpty()) {
        TVurnaDataRec& me = m_state.Own;
        me = TVurnaDataRec{};
        me.FileName = newFileName;
        m_state.BoardModel.LoadUserRecord(me);
        me.Furigana = result.Furigana;
        me.Name = result.Name;
        me.Group = result.Group;
        me.WarningCall = result.WarningCall;
        me.InnerLine = result.InnerLine;
        me.IP = m_notice->GetOwnAddress();
        me.DefaultOnExit = result.DefaultOnExit ? 1 : 0;
        me.SortPrefix = result.SortPrefix;
        if (result.DefaultValue)
            DefaultValueFile::WriteDefaultValue(me.FileName + DefaultValueFile::Extension, *result.DefaultValue);
        TVurnaDataArray list{TVurnaDataRec{}, me};
        m_huzai.SetHuzai(list, me.Locate, me.StatusIndex, me.Time, me.Date);
    } else {
        m_state.Own = TVurnaDataRec{};
    }

    m_settings.SetShareDir(own.ShareDir);
    m_settings.SetAutoSmall(own.AutoSmall);
    m_settings.SetAutoDengonOpen(own.AutoDengonOpen);
    m_settings.SaveOwnIdentity(m_state.Own);
    qCInfo(lcMain) << "preferences saved: own" << m_state.Own.FileName;
    StartUp();
}
