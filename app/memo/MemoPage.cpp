#include "app/memo/MemoPage.h"

#include "app/Anchors.h"
#include "app/MainFonts.h"
#include "forms/HelpContext.h"
#include "session/MainState.h"
#include "store/MemoFiles.h"
#include "store/StatusReport.h"
#include "store/ui/MemoBoardView.h"
#include "store/ui/TQuaxoRichEdit.h"

#include <QLabel>
#include <QPushButton>

MemoPage::MemoPage(const TVurnaDataRec& own, MessageBoxes& boxes, StatusSink& status, QSize designSize, double scale)
    : m_own(own), m_status(status)
{
    setObjectName(QStringLiteral("tabDengon"));
    SetHelpContext(this, HelpTopic::MemoBoard);
    auto* anchors = new Anchors(*this, designSize, scale);

    m_rchDengonOwner = new TQuaxoRichEdit(this);
    m_rchDengonOwner->setObjectName(QStringLiteral("rchDengonOwner"));
    m_rchDengonOwner->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_rchDengonOwner->setTabChangesFocus(false);
    anchors->Place(m_rchDengonOwner, QRect(8, 16, 593, 305), Anchors::All);

    auto* erase = new QPushButton(QStringLiteral("伝言を消す"), this);
    erase->setObjectName(QStringLiteral("btnDengonErase"));
    anchors->Place(erase, QRect(8, 322, 129, 25), Anchors::Left | Anchors::Bottom);
    connect(erase, &QPushButton::clicked, this, [this, &boxes] {
        if (HasOwnEntry(m_own))
            MemoBoardView::EraseOwnBoard(*m_rchDengonOwner, m_own.FileName, boxes);
    });
    // Edits reach the file as soon as the user turns to something else, not only at a clean
    // exit that a crash or a power cut would never reach.
    connect(m_rchDengonOwner, &TQuaxoRichEdit::focusLeft, this, &MemoPage::SaveOwnBoard);
    connect(m_rchDengonOwner, &TQuaxoRichEdit::charactersRefused, this, [this](const QString& characters) {
        const QString message = QStringLiteral("「%1」は使用できない文字の為、入力できません。").arg(characters);
        ReportStatus(m_status, message, Severity::Warning);
    });

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

MemoPage::TakeIn MemoPage::TakeInMemos(const QByteArray& ownShareDir)
{
    if (!HasOwnEntry(m_own) || m_own.Name.isEmpty() || !MemoFiles::MayTakeInMemos(m_own, ownShareDir))
        return TakeIn::NotAllowed;
    const bool unread = MemoBoardView::TakeInOwnMemos(*m_rchDengonOwner, m_own.FileName, m_status).hadUnread;
    return unread ? TakeIn::Unread : TakeIn::NothingNew;
}

void MemoPage::SaveOwnBoard()
{
    if (HasOwnEntry(m_own))
        MemoBoardView::SaveOwnBoard(*m_rchDengonOwner, m_own.FileName);
}
