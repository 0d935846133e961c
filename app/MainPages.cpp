// The two pages, and the memos: the check for unread ones, their take-in whenever the memo
// page comes up, and the reminder of the user's own absence.

#include "app/MainLog.h"
#include "app/StatusBarSink.h"
#include "app/TaskTray.h"
#include "app/TfrmMain.h"
#include "platform/ShareFiles.h"
#include "store/MemoFiles.h"
#include "store/ui/MemoBoardView.h"
#include "store/ui/TQuaxoRichEdit.h"

#include <QTabWidget>

void TfrmMain::SwitchPage(QWidget* page)
{
    if (m_pgcMain->currentWidget() == page)
        pgcMainChange();
    else
        m_pgcMain->setCurrentWidget(page); // runs pgcMainChange
}

void TfrmMain::pgcMainChange()
{
    SetEditMenuEnabled();
    const bool memoPage = m_pgcMain->currentWidget() == m_tabDengon;
    m_pnlFilters->setVisible(!memoPage);
    if (memoPage)
        ReceiveDengon();
}

void TfrmMain::ReceiveDengon()
{
    const TVurnaDataRec& own = m_state.Own;
    if (!HasOwnEntry(own) || own.Name.isEmpty() || !MemoFiles::MayTakeInMemos(own, m_state.OwnBoard().ShareDir))
        return;
    const MemoBoardView::TakeInResult result =
        MemoBoardView::TakeInOwnMemos(*m_rchDengonOwner, own.FileName, *m_status);
    if (result.hadUnread) {
        qCInfo(lcMain) << "unread memos taken in";
        m_state.NewMemo = false;
        m_tray->StopHuzaiAlart();
        ShowMainWindow();
    }
    m_delivery->ReceiveParcels(own.FileName, m_state.OwnBoard().ShareDir);
}

void TfrmMain::KeizibanCheckMsg()
{
    if (HasOwnEntry(m_state.Own) && ShareFiles::exists(m_state.Own.FileName + ".mil")) {
        if (!m_state.NewMemo)
            qCInfo(lcMain) << "unread memos wait";
        m_state.NewMemo = true;
        m_tray->StartHuzaiAlart();
    }
}

void TfrmMain::KeizibanChangeDB()
{
    TVurnaDataRec entry;
    m_state.HuzaiAlart = m_state.FindOwnEntry(entry) >= 1 && !entry.Locate.isEmpty();
    if (m_state.HuzaiAlart)
        m_tray->StartHuzaiAlart();
    else
        m_tray->StopHuzaiAlart();
}
