#include "app/memo/MemoPage.h"

#include "app/Anchors.h"
#include "app/MainFonts.h"
#include "forms/HelpContext.h"
#include "platform/ShareQueue.h"
#include "session/MainState.h"
#include "store/MemoFiles.h"
#include "store/StatusReport.h"
#include "store/ui/MemoBoardView.h"
#include "store/ui/TQuaxoRichEdit.h"

#include <QLabel>
#include <QPushButton>

MemoPage::MemoPage(const TVurnaDataRec& own, ShareQueue& queue, BoardSave save, MessageBoxes& boxes, StatusSink& status,
                   QSize designSize, double scale)
    : m_own(own), m_queue(queue), m_save(std::move(save)), m_status(status)
{
    setObjectName(QStringLiteral("tabDengon"));
    SetHelpContext(this, HelpTopic::MemoBoard);
    auto* anchors = new Anchors(*this, designSize, scale);

    m_rchDengonOwner = new TQuaxoRichEdit(this);
    m_rchDengonOwner->setObjectName(QStringLiteral("rchDengonOwner"));
    m_rchDengonOwner->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_rchDengonOwner->setTabChangesFocus(false);
    anchors->Place(m_rchDengonOwner, QRect(8, 16, 593, 305), Anchors::All);

    m_btnDengonErase = new QPushButton(QStringLiteral("伝言を消す"), this);
    m_btnDengonErase->setObjectName(QStringLiteral("btnDengonErase"));
    anchors->Place(m_btnDengonErase, QRect(8, 322, 129, 25), Anchors::Left | Anchors::Bottom);
    connect(m_btnDengonErase, &QPushButton::clicked, this, [this, &boxes] { EraseClick(boxes); });
    // Edits reach the file as soon as the user turns to something else, not only at a clean
    // exit that a crash or a power cut would never reach.
    connect(m_rchDengonOwner, &TQuaxoRichEdit::focusLeft, this, &MemoPage::SaveOwnBoard);
    connect(m_rchDengonOwner, &TQuaxoRichEdit::charactersRefused, this, [this](const QString& characters) {
        const QString message = QStringLiteral("「%1」は使用できない文字の為、入力できません。").arg(characters);
        ReportStatus(m_status, message, Severity::Warning);
    });

    m_lblTakingIn = new QLabel(QStringLiteral("伝言板を読み込み中…"), this);
    m_lblTakingIn->setObjectName(QStringLiteral("lblDengonTakingIn"));
    m_lblTakingIn->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_lblTakingIn->hide();
    anchors->Place(m_lblTakingIn, QRect(145, 326, 160, 22), Anchors::Left | Anchors::Bottom);

    // A navy caption over a grey copy one pixel down and right: a shadow.
    const QString caption = QStringLiteral("あなたの伝言板です。修正可能です。");
    const QString hint = QStringLiteral("他人の伝言板を見るときは、「行き先掲示板」で右クリックして下さい。");
    const QRect place(601 - 290, 326, 290, 22);
    for (int shadow = 1; shadow >= 0; --shadow) {
        auto* label = new QLabel(caption, this);
        label->setObjectName(shadow ? QStringLiteral("Label4") : QStringLiteral("Label2"));
        label->setFont(MainFonts::Proportional(16, true, scale));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setToolTip(hint);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, shadow ? QColor(128, 128, 128) : QColor(0, 0, 128));
        label->setPalette(palette);
        anchors->Place(label, place.translated(shadow, shadow), Anchors::Right | Anchors::Bottom);
    }
}

bool MemoPage::TakeInMemos(const QByteArray& ownShareDir)
{
    if (!HasOwnEntry(m_own) || m_own.Name.isEmpty() || !MemoFiles::MayTakeInMemos(m_own, ownShareDir))
        return false;
    // The one under way brings the newest board.
    if (m_takingIn)
        return true;
    // Edits not saved yet go first; the take-in, after them on the queue, reads them back.
    SaveOwnBoard();
    SetTakingIn(true);
    const QByteArray path = m_own.FileName;
    m_queue.Post<MemoFiles::TakeIn>(
        "memo take-in", [path] { return MemoFiles::TakeInOwnMemos(path); }, this,
        [this, path](const MemoFiles::TakeIn& taken) {
            SetTakingIn(false);
            // The user may have become somebody else meanwhile (the preferences).
            if (path == m_own.FileName)
                ShowTakenIn(taken);
        });
    return true;
}

void MemoPage::ShowTakenIn(const MemoFiles::TakeIn& taken)
{
    MemoBoardView::ShowBoard(*m_rchDengonOwner, taken.board, true, m_status);
    m_rchDengonOwner->setModified(false);
    m_basedOn = taken.readText;
    if (taken.board.hadUnread)
        emit UnreadTakenIn();
}

void MemoPage::SetTakingIn(bool takingIn)
{
    m_takingIn = takingIn;
    m_rchDengonOwner->setReadOnly(takingIn);
    m_btnDengonErase->setEnabled(!takingIn);
    m_lblTakingIn->setVisible(takingIn);
}

void MemoPage::SaveOwnBoard()
{
    if (!HasOwnEntry(m_own) || !m_rchDengonOwner->isModified() || !m_save)
        return;
    // Kept on this PC when the share does not take it before the end: the mark can go now.
    const QByteArray text = MemoBoardView::BoardText(*m_rchDengonOwner);
    m_save(text, m_basedOn, false);
    // The next save starts from what this one wrote.
    m_basedOn = text;
    m_rchDengonOwner->setModified(false);
}

void MemoPage::EraseClick(MessageBoxes& boxes)
{
    if (!HasOwnEntry(m_own) || m_takingIn || !MemoBoardView::ConfirmErase(*m_rchDengonOwner, boxes))
        return;
    // Kept with the board's saves: a save still waiting must not come back after the erase.
    if (m_save)
        m_save({}, m_basedOn, true);
    m_basedOn.clear();
}
