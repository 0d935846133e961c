#include "forms/InfoReadPanel.h"

#include "forms/HelpContext.h"
#include "forms/InfoContext.h"
#include "forms/InfoControls.h"
#include "forms/ShadowLabel.h"
#include "store/StatusSink.h"
#include "store/ui/MemoBoardView.h"
#include "store/ui/TQuaxoRichEdit.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

using namespace InfoControls;

InfoReadPanel::InfoReadPanel(const InfoContext& context, QWidget* parent) : QFrame(parent), m_context(context)
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
    m_shownPath = member.FileName;
    m_memReadRich->clearLines();
    if (!m_context.showMemoBoard) {
        ShowUnread(false);
        return;
    }
    m_lblRead->setText(QStringLiteral("伝言板を読み込み中…"));
    m_lblRead->setColour(Qt::white);
    m_context.Run<MemoFiles::Board>(
        "info memo board", [read = m_context.showMemoBoard, member] { return read(member); }, this,
        [this, path = member.FileName](const MemoFiles::Board& board) {
            // Another member was chosen meanwhile: its own board is on the way.
            if (path != m_shownPath)
                return;
            const bool unread = MemoBoardView::ShowBoard(*m_memReadRich, board, false, m_context.status);
            m_context.status.setProgress(-1);
            ShowUnread(unread);
        });
}

void InfoReadPanel::ShowUnread(bool unread)
{
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
