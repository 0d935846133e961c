#pragma once

#include "forms/CustomGroupLists.h"
#include "store/ParmRec.h"

#include <QDialog>
#include <QList>
#include <QPixmap>

class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;
class BoardModel;

// The custom group editor: for each board, who belongs to the member's own custom group,
// shown one board at a time as groups with their members beneath, each in or out. The boards'
// filter states change only on "設定"; Cancel and the close box leave them as they were.
class TfrmCustomGroup final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmCustomGroup)

public:
    // The tree's pictures by index.
    enum Picture { GroupPicture = 0, OutPicture = 1, InPicture = 2 };

    // `boards`: written on "設定" only. `shownBoard`: the board on show in the board window,
    // whose members come from `board`; other boards are read from their shares when chosen.
    // `pictures`: group, out, in; drawn ones stand in when fewer than three are given.
    TfrmCustomGroup(ParmRecList& boards, int shownBoard, const BoardModel& board, QList<QPixmap> pictures = {},
                    QWidget* parent = nullptr);

    // Small pictures for the tree when the caller has none: a group, a member out, a member in.
    static QList<QPixmap> DrawnPictures();

    void accept() override;

private:
    void BuildWindow();
    void ShowBoard(int index);
    void FillTree();
    void RefreshPictures(QTreeWidgetItem* item);
    void NodeClicked(QTreeWidgetItem* item);

    ParmRecList& m_boards;
    const BoardModel& m_board;
    const int m_boardOnShow;
    QList<QPixmap> m_pictures;
    CustomGroupSession m_session;

    QComboBox* m_cmbShareDir = nullptr;
    QTreeWidget* m_treCustomGroup = nullptr;
};
