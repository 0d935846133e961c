#include "board/TVurnaNotice.h"

TVurnaNotice::TVurnaNotice(TNoticeContext context, QObject* parent)
    : QObject(parent), m_context(context), m_socket(m_context),
      m_receiver(m_context, [this] { return m_socket.GetOwnAddress(); })
{
    connect(&m_socket, &NoticeSocket::DatagramArrived, &m_receiver, &NoticeReceiver::HandleDatagram);
    connect(&m_receiver, &NoticeReceiver::MemoArrived, this, &TVurnaNotice::MemoArrived);
    connect(&m_receiver, &NoticeReceiver::ReloadRequested, this, &TVurnaNotice::ReloadRequested);
    connect(&m_receiver, &NoticeReceiver::EndRequested, this, &TVurnaNotice::EndRequested);
}

TVurnaNotice::~TVurnaNotice() = default;

void TVurnaNotice::SetAddressLookUp(std::function<QByteArray()> lookUp)
{
    m_socket.SetAddressLookUp(std::move(lookUp));
}

bool TVurnaNotice::StartListener(const QByteArray& bindAddress)
{
    return m_socket.StartListener(bindAddress);
}

void TVurnaNotice::StopListener()
{
    m_socket.StopListener();
}

bool TVurnaNotice::Active() const
{
    return m_socket.Active();
}

quint16 TVurnaNotice::ListenerPort() const
{
    return m_socket.ListenerPort();
}

QByteArray TVurnaNotice::GetOwnAddress() const
{
    return m_socket.GetOwnAddress();
}

void TVurnaNotice::SendStatusNotice(const TVurnaDataRec& record)
{
    m_socket.SendStatusNotice(record);
}

void TVurnaNotice::SendRunningNotice(const TVurnaDataRec& own, bool running)
{
    m_socket.SendRunningNotice(own, running);
}

void TVurnaNotice::SendMemoNotice(const QByteArray& path)
{
    m_socket.SendMemoNotice(path);
}

void TVurnaNotice::SendNotice(const QByteArray& text)
{
    m_socket.SendNotice(text);
}

void TVurnaNotice::SetSender(Sender send)
{
    m_socket.SetSender(std::move(send));
}

void TVurnaNotice::HandleDatagram(const QByteArray& text, const QByteArray& senderAddress)
{
    m_receiver.HandleDatagram(text, senderAddress);
}

void TVurnaNotice::RunDueRequests()
{
    m_receiver.RunDueRequests();
}
