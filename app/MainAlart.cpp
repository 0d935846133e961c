// The reminders in the tray: unread memos and the user's own absence make the icon blink
// until they are dealt with.

#include "app/AlartPhase.h"
#include "app/MainLog.h"
#include "app/TfrmMain.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/Clock.h"
#include "platform/ShareFiles.h"

#include <QTabWidget>

namespace {

constexpr int AlartIntervalMs = 250;

} // namespace

void TfrmMain::KeizibanCheckMsg()
{
    if (HasOwnEntry(m_state.Own) && ShareFiles::exists(m_state.Own.FileName + ".mil")) {
        if (!m_state.NewMemo)
            qCInfo(lcMain) << "unread memos wait";
        m_state.NewMemo = true;
        StartHuzaiAlart();
    }
}

void TfrmMain::KeizibanChangeDB()
{
    // Index 0 is the empty placeholder, which a guest's empty file name would find.
    TVurnaDataRec entry;
    m_state.HuzaiAlart = m_keiziban->Model().FindMember(m_state.Own.FileName, entry) >= 1 && !entry.Locate.isEmpty();
    if (m_state.HuzaiAlart)
        StartHuzaiAlart();
    else
        StopHuzaiAlart();
}

void TfrmMain::StartHuzaiAlart()
{
    if (!m_huzaiAlartTimer.isActive()) {
        m_huzaiAlartTimer.setInterval(AlartIntervalMs);
        m_huzaiAlartTimer.start();
        qCInfo(lcMain) << "tray reminder on: memo" << m_state.NewMemo << "absent" << m_state.HuzaiAlart;
    }
}

void TfrmMain::StopHuzaiAlart()
{
    if (m_state.HuzaiAlart || m_state.NewMemo)
        return;
    if (m_huzaiAlartTimer.isActive())
        qCInfo(lcMain) << "tray reminder off";
    m_huzaiAlartTimer.stop();
    SetTaskTrayIcon(QStringLiteral("Vurnaboard"), 1, MainIcon());
}

void TfrmMain::HuzaiAlartTimerTimer()
{
    using AlartPhase::TPicture;
    const TPicture picture = AlartPhase::PictureAt(m_clock.now().time().msec(), m_state.NewMemo, m_state.HuzaiAlart);
    switch (picture) {
    case TPicture::Normal:
        SetTaskTrayIcon(QString(), 1, MainIcon());
        return;
    case TPicture::Stop:
        StopHuzaiAlart();
        return;
    case TPicture::Memo:
        SetTaskTrayIcon(QStringLiteral("新着伝言が届いています。"), 1, m_trayMemoIcon);
        break;
    case TPicture::Absent:
        SetTaskTrayIcon(QStringLiteral("Vurnaは「不在状態」に設定されています。"), 1, m_trayAbsentIcon);
        break;
    }
    if (m_state.NewMemo && m_state.OwnBoard().AutoDengonOpen) {
        m_state.NewMemo = false;
        SwitchPage(m_tabDengon);
        ShowMainWindow();
    }
}
