#include "app/MenuItems.h"

#include <QAction>
#include <QMenu>

QAction* AddMenuItem(QObject* owner, QMenu* menu, const QString& name, const QString& caption,
                     const QKeySequence& shortcut, const QString& hint)
{
    auto* action = new QAction(caption, owner);
    action->setObjectName(name);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    if (!hint.isEmpty()) {
        action->setStatusTip(hint);
        action->setToolTip(hint);
    }
    if (menu)
        menu->addAction(action);
    return action;
}
