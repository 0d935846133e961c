#pragma once

class QAction;
class QMenu;
class QWidget;

// popControl, the board's popup menu: commands on the members picked on the board.
struct GridPopup
{
    QMenu* popControl = nullptr;
    QAction* popInfo = nullptr;
    QAction* popHuzaiSet = nullptr;
    QAction* popHuzaiReset = nullptr;
    QAction* popDengonSend = nullptr;
    QAction* popDengonRead = nullptr;
    QAction* popSelectAll = nullptr;

    // Before it opens: the commands on members need someone picked; 全て選択 is always there.
    void EnableFor(bool selected) const;
};

// Builds popControl with `parent` as its owner.
GridPopup BuildGridPopup(QWidget& parent);
