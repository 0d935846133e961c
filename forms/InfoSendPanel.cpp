#include "forms/InfoSendPanel.h"

#include "forms/HelpContext.h"
#include "forms/InfoControls.h"
#include "forms/ShadowLabel.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace InfoControls;

InfoSendPanel::InfoSendPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("pnlSend"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(new ShadowLabel(QStringLiteral("メッセージを入力して「送信」ボタンを押して下さい。"), this));
    m_memSend = named(new QPlainTextEdit(this), "memSend");
    m_memSend->setAttribute(Qt::WA_InputMethodEnabled, true);
    layout->addWidget(m_memSend, 1);
    m_btnSendOK =
        button(this, "btnSendOK", QStringLiteral("送信"), QStringLiteral("伝言を送信して、掲示板に戻ります。"));
    m_btnSendCancel =
        button(this, "btnSendCancel", QStringLiteral("戻る"), QStringLiteral("何も送信せずに、掲示板に戻ります。"));
    layout->addLayout(buttonRow({m_btnSendOK, m_btnSendCancel}));
    connect(m_btnSendOK, &QPushButton::clicked, this, &InfoSendPanel::SendRequested);
    connect(m_btnSendCancel, &QPushButton::clicked, this, &InfoSendPanel::CloseRequested);
    SetHelpContext(this, HelpTopic::Send);
}

void InfoSendPanel::SetText(const QString& text)
{
    m_memSend->setPlainText(text);
}

QString InfoSendPanel::Text() const
{
    return m_memSend->toPlainText();
}

void InfoSendPanel::TakeFocus()
{
    m_memSend->setFocus();
    QTextCursor end = m_memSend->textCursor();
    end.movePosition(QTextCursor::End);
    m_memSend->setTextCursor(end);
}
