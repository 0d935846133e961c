// The page change: the edit menu, the filter panel, and the take-in of memos whenever the
// memo page comes up.

#include "app/MainLog.h"
#include "app/StatusBarSink.h"
#include "app/TfrmMain.h"
#include "store/ui/MemoBoardView.h"
#include "store/MemoFiles.h"
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
        StopHuzaiAlart();
        ShowMainWindow();
    }
    // Parcels in the inbox folder are collected here with the file delivery.
}
