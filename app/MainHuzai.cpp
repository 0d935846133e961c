// Absence actions: the dispatcher behind the owner buttons, the grid popup and the tray menu,
// the presets, the one write operation, the overdue question and the default absence on exit.

#include "app/HuzaiPresets.h"
#include "app/MainLog.h"
#include "app/TfrmMain.h"
#include "board/StatusText.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/MessageBoxes.h"
#include "store/DefaultValueFile.h"
#include "store/NextWorkDay.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>
#include <QToolButton>

namespace {

// The detail window is not part of the program yet: the commands that would open it stay
// disabled, and the grid's double-click and file drop do nothing.
constexpr bool DetailWindowAvailable = false;

const char* const DetailCommands[] = {"popInfo", "popHuzaiSet", "popDengonSend", "popDengonRead"};

bool opensDetailWindow(const QString& sender)
{
    for (const char* name : DetailCommands) {
        if (sender == QLatin1String(name))
            return true;
    }
    return sender == QLatin1String("Keiziban") || sender == QLatin1String("frmMain");
}

} // namespace

void TfrmMain::BuildGridPopup()
{
    m_popControl = new QMenu(this);
    m_popControl->setObjectName(QStringLiteral("popControl"));
    QAction* info = AddMenuItem(m_popControl, QStringLiteral("popInfo"), QStringLiteral("詳細表示"));
    m_popControl->setDefaultAction(info);
    m_popControl->addSeparator();
    AddMenuItem(m_popControl, QStringLiteral("popHuzaiSet"), QStringLiteral("不在設定"));
    AddMenuItem(m_popControl, QStringLiteral("popHuzaiReset"), QStringLiteral("不在解除"));
    m_popControl->addSeparator();
    AddMenuItem(m_popControl, QStringLiteral("popDengonSend"), QStringLiteral("伝言送信"));
    AddMenuItem(m_popControl, QStringLiteral("popDengonRead"), QStringLiteral("伝言確認"));
    m_popControl->addSeparator();
    QAction* selectAll = AddMenuItem(m_popControl, QStringLiteral("popSelectAll"), QStringLiteral("全て選択"),
                                     QKeySequence(Qt::CTRL | Qt::Key_A));
    // The edit menu's 全て選択 owns the key; the popup only shows it.
    selectAll->setShortcutContext(Qt::WidgetShortcut);
    connect(selectAll, &QAction::triggered, m_keiziban, &TVurnaGrid::SelectAll);
    for (QAction* item : m_popControl->actions()) {
        if (!item->isSeparator() && item != selectAll)
            connect(item, &QAction::triggered, this, [this, item] { ShowInfomationForm(item); });
    }

    m_keiziban->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_keiziban, &QWidget::customContextMenuRequested, this, &TfrmMain::popControlPopup);
    connect(m_keiziban, &TVurnaGrid::OnDblClick, this, [this] { ShowInfomationForm(m_keiziban); });
    connect(m_keiziban, &TVurnaGrid::OnShellDrop, this, [this] { ShowInfomationForm(this); });

    // The owner buttons and the tray's own items.
    connect(m_btnOwnerSet, &QToolButton::clicked, this, [this] { ShowInfomationForm(m_btnOwnerSet); });
    connect(m_btnOwnerReset, &QToolButton::clicked, this, [this] { ShowInfomationForm(m_btnOwnerReset); });
    for (const char* name : {"popTrayHuzai60", "popTrayHuzai30", "popTrayHuzai15", "popTrayHuzaiLunch",
                             "popTrayHuzaiQuick", "popTrayHuzaiSet", "popTrayHuzaiReset"}) {
        QAction* item = MenuAction(QLatin1String(name));
        connect(item, &QAction::triggered, this, [this, item] { ShowInfomationForm(item); });
    }
}

void TfrmMain::popControlPopup(const QPoint& pos)
{
    const bool selected = m_keiziban->HasSelection();
    for (QAction* item : m_popControl->actions()) {
        if (item->isSeparator() || item->objectName() == QLatin1String("popSelectAll"))
            continue;
        item->setEnabled(selected && (DetailWindowAvailable || !opensDetailWindow(item->objectName())));
    }
    m_popControl->popup(m_keiziban->mapToGlobal(pos));
}

void TfrmMain::ShowInfomationForm(QObject* sender)
{
    const QString name = sender ? sender->objectName() : QString();
    qCInfo(lcMain) << "absence action" << name;
    if (name == QLatin1String("popTrayTerminate")) {
        Quit();
        return;
    }
    if (name == QLatin1String("popTrayDengonCheck")) {
        SwitchPage(m_tabDengon);
        ShowMainWindow();
        return;
    }
    if (name == QLatin1String("btnOwnerSet") || name == QLatin1String("btnOwnerReset") ||
        name.startsWith(QLatin1String("popTrayHuzai"))) {
        OwnActions(name);
        return;
    }
    SelectionActions(name);
}

void TfrmMain::OwnActions(const QString& sender)
{
    // A guest has no entry to change; their buttons and items are disabled, and a stray
    // signal must not write a file named after nothing.
    if (!HasOwnEntry(m_state.Own))
        return;
    const QDateTime t = m_clock.now();
    if (sender == QLatin1String("btnOwnerSet") || sender == QLatin1String("popTrayHuzaiSet")) {
        qCInfo(lcMain) << "absence entry needs the detail window";
        return;
    }
    if (sender == QLatin1String("btnOwnerReset") || sender == QLatin1String("popTrayHuzaiReset")) {
        // Marked running first, so the record written below says so too.
        m_writer->SetStopMarker(false);
        TVurnaDataArray list{TVurnaDataRec{}, m_state.Own};
        SetHuzai(list, {}, 0, {}, {});
        return;
    }
    TVurnaDataArray list{TVurnaDataRec{}, m_state.Own};
    using HuzaiPresets::TPreset;
    const struct
    {
        const char* name;
        TPreset preset;
    } presets[] = {
        {"popTrayHuzai60", TPreset::Meeting4h}, {"popTrayHuzai30", TPreset::Meeting2h},
        {"popTrayHuzai15", TPreset::Meeting1h}, {"popTrayHuzaiLunch", TPreset::Lunch},
        {"popTrayHuzaiQuick", TPreset::Quick},
    };
    for (const auto& entry : presets) {
        if (sender == QLatin1String(entry.name)) {
            const HuzaiPresets::THuzaiValues values = HuzaiPresets::PresetValues(entry.preset, t);
            SetHuzai(list, values.Locate, values.StatusIndex, values.Time, values.Date);
            return;
        }
    }
}

void TfrmMain::SelectionActions(const QString& sender)
{
    if (!m_keiziban->HasSelection()) {
        m_boxes.show(QStringLiteral("誰も選択されていません。\r\n\r\n左クリックで誰かを選択して下さい。"),
                     Mb::Ok | Mb::IconWarning);
        return;
    }
    if (sender != QLatin1String("popHuzaiReset")) {
        // Every other command on members opens the detail window, which is still to come.
        if (opensDetailWindow(sender))
            qCInfo(lcMain) << "command needs the detail window:" << sender;
        return;
    }
    // The records as their files hold them now, not as this board last saw them: the write
    // below replaces whole files.
    TVurnaDataArray list;
    if (!m_keiziban->GetSelection(list, true))
        return;
    for (qsizetype i = 1; i < list.size(); ++i)
        m_keiziban->Model().LoadUserRecord(list[i]);
    const QString question = HuzaiPresets::ResetQuestion(Cp932::toUnicode(list.at(1).Name),
                                                         Cp932::toUnicode(list.last().Name), int(list.size() - 1));
    if (m_boxes.show(question, Mb::OkCancel | Mb::IconQuestion) != Mb::IdOk)
        return;
    SetHuzai(list, {}, 0, {}, {});
}

void TfrmMain::SetHuzai(TVurnaDataArray& records, const QByteArray& locate, qint32 statusIndex, const QByteArray& time,
                        const QByteArray& date)
{
    if (records.size() < 2)
        return;
    for (qsizetype i = 1; i < records.size(); ++i) {
        TVurnaDataRec& record = records[i];
        record.Locate = locate;
        record.Date = date;
        record.Time = time;
        record.StatusIndex = statusIndex;
        m_writer->WriteUserFile(record);
    }
    m_keiziban->Model().CommitTimeStamp(records.at(1).FileName);
    qCInfo(lcMain) << "absence written for" << records.size() - 1 << "member(s)";
}

bool TfrmMain::HuzaiAutoResetCheck()
{
    if (!m_state.StartUpFinished || !m_state.AutoResetAllowed || m_state.AutoResetAsking)
        return false;
    TVurnaDataRec entry;
    if (m_keiziban->Model().FindMember(m_state.Own.FileName, entry) < 0)
        return true;
    QByteArray text;
    int code = 0;
    GetStatusText(entry, m_clock.now(), text, code);
    if (code != StatusCode::Overdue)
        return true;
    m_state.AutoResetAsking = true;
    const int answer = m_boxes.show(HuzaiPresets::AutoResetQuestion(Cp932::toUnicode(m_state.Own.Name)),
                                    Mb::YesNo | Mb::IconWarning | Mb::SystemModal);
    if (answer == Mb::IdYes) {
        // The question may have stood open for long: the entry as the board has it now.
        m_keiziban->Model().FindMember(m_state.Own.FileName, entry);
        entry.Locate.clear();
        entry.Date.clear();
        entry.Time.clear();
        entry.StatusIndex = 0;
        m_writer->WriteUserFile(entry);
        qCInfo(lcMain) << "overdue absence cleared";
    } else {
        m_state.AutoResetAllowed = false;
        qCInfo(lcMain) << "overdue absence kept; not asked again";
    }
    m_state.AutoResetAsking = false;
    return true;
}

void TfrmMain::SetDefaultValueOnExit()
{
    if (!HasOwnEntry(m_state.Own) || !m_state.Own.Locate.isEmpty() || m_state.Own.DefaultOnExit != 1)
        return;
    TVurnaDataArray list{TVurnaDataRec{}, m_state.Own};
    const TVurnaDefaultValue value =
        DefaultValueFile::ReadDefaultValue(m_state.Own.FileName + DefaultValueFile::Extension);
    const QByteArray date = NextWorkDay(m_state.OwnBoard(), m_clock.now().date());
    SetHuzai(list, value.Locate, value.StatusMark, value.ReturnTime, date);
    qCInfo(lcMain) << "default absence written for the next working day" << date;
}

void TfrmMain::ClearAbsenceOfLastExit()
{
    // The absence that the last exit wrote ends now that the user is back.
    if (HasOwnEntry(m_state.Own) && m_state.Own.DefaultOnExit == 1) {
        OwnActions(QStringLiteral("btnOwnerReset"));
        qCInfo(lcMain) << "default absence of the last exit cleared";
    }
}
