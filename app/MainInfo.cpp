// The detail window opened from the board window, and the delivery of what it sends.

#include "app/MainLog.h"
#include "app/StatusBarSink.h"
#include "app/TfrmMain.h"
#include "board/TVurnaNotice.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/MessageBoxes.h"

#include <QGuiApplication>

namespace {

void tellNobodySelected(MessageBoxes& boxes)
{
    boxes.show(QStringLiteral("誰も選択されていません。\r\n\r\n左クリックで誰かを選択して下さい。"),
               Mb::Ok | Mb::IconWarning);
}

} // namespace

void TfrmMain::MakeDelivery()
{
    FolderChooser& folders = m_env.folders ? *m_env.folders : m_noFolders;
    DeliveryContext context{*m_status, m_boxes, m_clock, folders, {}, {}};
    context.announceMemo = [this](const QByteArray& recipient) { m_notice->SendMemoNotice(recipient); };
    m_delivery = std::make_unique<DengonDelivery>(std::move(context));
}

void TfrmMain::ShowInfomationForm(InfoMode mode)
{
    // While a detail window works (it lets events through as it sends), the board may be
    // clicked again; one detail window at a time.
    if (m_info)
        return;
    if (!m_keiziban->HasSelection()) {
        tellNobodySelected(m_boxes);
        return;
    }
    TVurnaDataArray list;
    if (!m_keiziban->GetSelection(list, true))
        return;
    RunInfoForm(m_state.ShownBoard(), list, false, mode);
}

void TfrmMain::ResetSelectedHuzai()
{
    TVurnaDataArray list;
    if (!m_keiziban->GetSelection(list, true)) {
        tellNobodySelected(m_boxes);
        return;
    }
    m_huzai.ResetMembers(list);
}

void TfrmMain::ShowOwnHuzaiEntry()
{
    if (m_info || !HasOwnEntry(m_state.Own))
        return;
    const TVurnaDataArray list{TVurnaDataRec{}, m_state.Own};
    RunInfoForm(m_state.OwnBoard(), list, true, InfoMode::HuzaiSet);
}

void TfrmMain::KeizibanShellDrop()
{
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        raise();
        activateWindow();
    }
    ShowInfomationForm(InfoMode::SendFiles);
}

void TfrmMain::RunInfoForm(const ParmRec& site, const TVurnaDataArray& selection, bool presetToday, InfoMode mode)
{
    if (m_info)
        return;
    InfoContext context{m_state.BoardModel,
                        {},
                        m_state.Own,
                        m_clock,
                        m_boxes,
                        *m_status,
                        m_keiziban->ImageList(),
                        mode == InfoMode::SendFiles ? m_keiziban->DropFiles() : QStringList(),
                        {},
                        {},
                        {},
                        {}};
    context.setHuzai = [this](TVurnaDataArray& records, const QByteArray& locate, qint32 statusIndex,
                              const QByteArray& time,
                              const QByteArray& date) { m_huzai.SetHuzai(records, locate, statusIndex, time, date); };
    context.clearDropFiles = [this] { m_keiziban->ClearDropFiles(); };
    context.send = [this](const QList<QByteArray>& lines) {
        m_state.SendList = lines;
        m_delivery->ProcessSendList(m_state.SendList, m_state.ShownBoard().ShareDir);
    };
    TfrmInfo form(std::move(context), this);
    m_info = &form;
    try {
        if (m_infoRunner)
            m_infoRunner(form, site, selection, presetToday, mode);
        else
            form.ShowInfo(site, selection, presetToday, mode);
    } catch (const std::exception& e) {
        m_boxes.show(QString::fromLocal8Bit(e.what()), Mb::Ok | Mb::IconStop);
    }
    m_info = nullptr;
    m_keiziban->ClearDropFiles();
}
