// The datagrams of this copy: the listener, the own address, and what received datagrams ask
// of the window.

#include "app/MainLog.h"
#include "app/StatusBarSink.h"
#include "app/TfrmMain.h"
#include "board/ui/TVurnaGrid.h"
#include "board/TVurnaNotice.h"

void TfrmMain::StartNotice()
{
    // Without a listener the own address stays empty, so nothing is sent either.
    if (m_state.OwnBoard().UdpMode == 0) {
        qCInfo(lcMain) << "datagrams off on the own board";
        return;
    }
    m_notice->StartListener(m_env.bindAddress);
}

QByteArray TfrmMain::OwnAddress() const
{
    // Empty while the listener is not active: other copies could not reach this one anyway.
    return m_notice->GetOwnAddress();
}

void TfrmMain::CreateNotice()
{
    TNoticeContext context{m_keiziban->Model(), m_state.Own,      m_state.Boards, m_state.CurrentBoard,
                           *m_status,           m_settings,       m_clock};
    m_notice = new TVurnaNotice(context, this);
    // Without a look-up of its own the notice asks the host.
    if (m_env.lookUpAddress)
        m_notice->SetAddressLookUp(m_env.lookUpAddress);
    m_writer->SetNotifier(m_notice);
    connect(m_notice, &TVurnaNotice::MemoArrived, this, [this] {
        m_state.NewMemo = true;
        StartHuzaiAlart();
    });
    connect(m_notice, &TVurnaNotice::ReloadRequested, this,
            [this] { SetKeiziban(m_state.ShownBoard(), true); });
    connect(m_notice, &TVurnaNotice::EndRequested, this, &TfrmMain::Quit);
}
