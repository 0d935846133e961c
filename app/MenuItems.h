#pragma once

#include <QKeySequence>
#include <QString>

class QAction;
class QMenu;
class QObject;

// A menu command named as the program's texts and tests know it, owned by `owner` and added
// to `menu` (none: a command with a key only). The hint goes to the status bar and the tip.
QAction* AddMenuItem(QObject* owner, QMenu* menu, const QString& name, const QString& caption,
                     const QKeySequence& shortcut = {}, const QString& hint = {});
