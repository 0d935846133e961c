#pragma once

#include "store/TVurnaDataRec.h"

#include <QFrame>

class QPushButton;
class ShadowLabel;
class TQuaxoRichEdit;
struct InfoContext;

// The detail window's panel of a member's memo board, with a line that says whether unread
// memos are on it. The board is read on the share's queue and shown when it comes.
class InfoReadPanel final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InfoReadPanel)

public:
    // `context` is the window's: its board reader, its queue, and the board window's status bar,
    // which shows the board filling.
    InfoReadPanel(const InfoContext& context, QWidget* parent);

    void ShowMember(const TVurnaDataRec& member);
    void TakeFocus();

signals:
    // 戻る: back to the board.
    void CloseRequested();

private:
    void ShowUnread(bool unread);

    const InfoContext& m_context;
    QByteArray m_shownPath; // the member whose board is wanted
    ShadowLabel* m_lblRead = nullptr;
    TQuaxoRichEdit* m_memReadRich = nullptr;
    QPushButton* m_btnReadCancel = nullptr;
};
