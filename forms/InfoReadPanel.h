#pragma once

#include "store/TVurnaDataRec.h"

#include <QFrame>

#include <functional>

class QPushButton;
class ShadowLabel;
class StatusSink;
class TQuaxoRichEdit;

// The detail window's panel of a member's memo board, with a line that says whether unread
// memos are on it.
class InfoReadPanel final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InfoReadPanel)

public:
    // How a board comes into the view; true when it holds unread memos.
    using BoardReader = std::function<bool(TQuaxoRichEdit& view, const TVurnaDataRec& member)>;

    // `status` is the board window's status bar, which shows the board filling.
    InfoReadPanel(BoardReader showMemoBoard, StatusSink& status, QWidget* parent);

    void ShowMember(const TVurnaDataRec& member);
    void TakeFocus();

signals:
    // 戻る: back to the board.
    void CloseRequested();

private:
    BoardReader m_showMemoBoard;
    StatusSink& m_status;
    ShadowLabel* m_lblRead = nullptr;
    TQuaxoRichEdit* m_memReadRich = nullptr;
    QPushButton* m_btnReadCancel = nullptr;
};
