#include "board/ChangeNotice.h"

ChangeNotice::ChangeNotice(NoticeContext context, QObject* parent)
    : QObject(parent), m_context(context), m_socket(m_context),
      m_receiver(m_context, [this] { return m_socket.GetOwnAddress(); })
{
    connect(&m_socket, &NoticeSocket::DatagramArrived, &m_receiver, &NoticeReceiver::HandleDatagram);
    connect(&m_receiver, &NoticeReceiver::MemoArrived, this, &ChangeNotice::MemoArrived);
    connect(&m_receiver, &NoticeReceiver::ReloadRequested, this, &ChangeNotice::ReloadRequested);
    connect(&m_receiver, &NoticeReceiver::EndRequested, this, &ChangeNotice::EndRequested);
}

ChangeNotice::~ChangeNotice() = default;

void ChangeNotice::SetAddressLookUp(std::function<QByteArray()> lookUp)
{
    m_socket.SetAddressLookUp(std::move(lookUp));
}

bool ChangeNotice::StartListener(const QByteArray& bindAddress)
{
    return m_socket.StartListener(bindAddress);
}

void ChangeNotice::StopListener()
{
    m_socket.StopListener();
}

bool ChangeNotice::Active() const
{
    return m_socket.Active();
}

quint16 ChangeNotice::ListenerPort() const
{
    return m_socket.ListenerPort();
}

QByteArray ChangeNotice::GetOwnAddress() const
{
    return m_socket.GetOwnAddress();
}

void ChangeNotice::SendStatusNotice(const TVurnaDataRec& record)
{
    m_socket.SendStatusNotice(record);
}

void ChangeNotice::SendRunningNotice(const TVurnaDataRec& own, bool running)
{
    m_socket.SendRunningNotice(own, running);
}

void ChangeNotice::SendMemoNotice(const QByteArray& path)
{
    m_socket.SendMemoNotice(path);
}

void ChangeNotice::SendNotice(const QByteArray& text)
{
    m_socket.SendNotice(text);
}

void ChangeNotice::SetSender(Sender send)
{
    m_socket.SetSender(std::move(send));
}

void ChangeNotice::HandleDatagram(const QByteArray& text, const QByteArray& senderAddress)
{
    m_receiver.HandleDatagram(text, senderAddress);
}

void ChangeNotice::RunDueRequests()
{
    m_receiver.RunDueRequests();
}
