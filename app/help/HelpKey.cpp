#include "app/help/HelpKey.h"

#include "forms/HelpContext.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>

#include <utility>

namespace {

bool IsHelpKey(const QKeyEvent& key)
{
    // Shift+F1 and the like stay free for whatever else wants them.
    return key.key() == Qt::Key_F1 && (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

HelpKey::HelpKey(std::function<void(int context)> onHelp, QObject* parent)
    : QObject(parent), m_onHelp(std::move(onHelp))
{
}

int HelpKey::ContextFor(const QObject* receiver)
{
    if (const auto* menu = qobject_cast<const QMenu*>(receiver)) {
        if (const QAction* command = menu->activeAction()) {
            if (const int context = HelpContextOf(command))
                return context;
        }
    }
    if (const int context = NearestHelpContext(qobject_cast<const QWidget*>(receiver)))
        return context;
    if (const int context = NearestHelpContext(QApplication::activeWindow()))
        return context;
    return HelpTopic::Contents;
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    // A key reaches its window first, then the widget with the focus, then that widget's parents
    // while nobody takes it: only the widget's delivery is looked at, and it is taken there.
    if ((type != QEvent::KeyPress && type != QEvent::ShortcutOverride) || !watched->isWidgetType())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!IsHelpKey(*key))
        return false;
    event->accept();
    if (type == QEvent::ShortcutOverride) // no shortcut may take F1 from the help
        return true;
    if (key->isAutoRepeat())
        return true;
    const int context = ContextFor(watched);
    // An open menu would keep the keyboard and hide the help behind it.
    while (QWidget* popup = QApplication::activePopupWidget()) {
        if (!popup->close())
            break;
    }
    if (m_onHelp)
        m_onHelp(context);
    return true;
}
