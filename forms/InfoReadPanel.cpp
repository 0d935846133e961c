#include "forms/InfoReadPanel.h"

#include "forms/HelpContext.h"
#include "forms/InfoControls.h"
#include "forms/ShadowLabel.h"
#include "store/StatusSink.h"
#include "store/ui/TQuaxoRichEdit.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

using namespace InfoControls;

InfoReadPanel::InfoReadPanel(BoardReader showMemoBoard, StatusSink& status, QWidget* parent)
    : QFrame(parent), m_showMemoBoard(std::move(showMemoBoard)), m_status(status)
{
    setObjectName(QStringLiteral("pnlRead"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    m_lblRead = named(
        new ShadowLabel(QStringLiteral("※下記の内容には、まだ読まれていない伝言が含まれています。"), this), "lblRead");
    layout->addWidget(m_lblRead);
    m_memReadRich = named(new TQuaxoRichEdit(this), "memReadRich");
    m_memReadRich->setReadOnly(true);
    layout->addWidget(m_memReadRich, 1);
    m_btnReadCancel = button(this, "btnReadCancel", QStringLiteral("戻る"), QStringLiteral("掲示板に戻ります。"));
    layout->addLayout(buttonRow({m_btnReadCancel}));
    connect(m_btnReadCancel, &QPushButton::clicked, this, &InfoReadPanel::CloseRequested);
    SetHelpContext(this, HelpTopic::MemoCheck);
}

void InfoReadPanel::ShowMember(const TVurnaDataRec& member)
{
    const bool unread = m_showMemoBoard && m_showMemoBoard(*m_memReadRich, member);
    m_status.setProgress(-1);
    if (unread) {
        m_lblRead->setText(QStringLiteral("この伝言板には、未読伝言があります。"));
        m_lblRead->setColour(Qt::yellow);
    } else {
        m_lblRead->setText(QStringLiteral("この伝言板には、未読伝言はありません。"));
        m_lblRead->setColour(Qt::white);
    }
}

void InfoReadPanel::TakeFocus()
{
    m_memReadRich->setFocus();
}
