#include "app/GridPopup.h"

#include "app/MenuItems.h"

#include <QAction>
#include <QMenu>

void GridPopup::EnableFor(bool selected) const
{
    for (QAction* item : {popInfo, popHuzaiSet, popDengonSend, popDengonRead, popHuzaiReset})
        item->setEnabled(selected);
    popSelectAll->setEnabled(true);
}

GridPopup BuildGridPopup(QWidget& parent)
{
    GridPopup p;
    p.popControl = new QMenu(&parent);
    p.popControl->setObjectName(QStringLiteral("popControl"));
    QMenu* menu = p.popControl;
    p.popInfo = AddMenuItem(menu, menu, QStringLiteral("popInfo"), QStringLiteral("詳細表示"));
    menu->setDefaultAction(p.popInfo);
    menu->addSeparator();
    p.popHuzaiSet = AddMenuItem(menu, menu, QStringLiteral("popHuzaiSet"), QStringLiteral("不在設定"));
    p.popHuzaiReset = AddMenuItem(menu, menu, QStringLiteral("popHuzaiReset"), QStringLiteral("不在解除"));
    menu->addSeparator();
    p.popDengonSend = AddMenuItem(menu, menu, QStringLiteral("popDengonSend"), QStringLiteral("伝言送信"));
    p.popDengonRead = AddMenuItem(menu, menu, QStringLiteral("popDengonRead"), QStringLiteral("伝言確認"));
    menu->addSeparator();
    p.popSelectAll = AddMenuItem(menu, menu, QStringLiteral("popSelectAll"), QStringLiteral("全て選択"),
                                 QKeySequence(Qt::CTRL | Qt::Key_A));
    // The edit menu's 全て選択 owns the key; the popup only shows it.
    p.popSelectAll->setShortcutContext(Qt::WidgetShortcut);
    return p;
}
