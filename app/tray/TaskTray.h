#pragma once

#include "session/HuzaiPresets.h"

#include <QIcon>
#include <QObject>
#include <QString>
#include <QTimer>

class Clock;
class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;
struct MainState;

// What SetTaskTrayIcon does with the icon.
enum class TrayOperation {
    Add,
    Modify,
    Delete,
};

// The program's place in the task tray: the icon with its tip, its menu popTaskTray, and the
// blinking reminders of unread memos and of the user's own absence (HuzaiAlartTimer).
class TaskTray final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TaskTray)

public:
    // `state` gives the reminders' flags and the own board's AutoDengonOpen. Without a tray
    // host (`trayAvailable` false) the icon is never shown, but its tip and picture still
    // follow. The menu is a child of `window`.
    TaskTray(MainState& state, const Clock& clock, bool trayAvailable, QWidget& window);
    ~TaskTray() override;

    // The tip is cut to 63 characters; Delete ignores text and icon.
    void SetTaskTrayIcon(const QString& text, TrayOperation operation, const QIcon& icon);
    QString Tip() const { return m_tip; }
    bool Shown() const { return m_shown; }
    QMenu& Menu() const { return *m_menu; }

    // The items that act on the user's own entry are there only for a user who has one.
    void SetOwnItemsEnabled(bool own);

    // The reminders.
    void StartHuzaiAlart();
    void StopHuzaiAlart();
    void HuzaiAlartTimerTimer();
    bool HuzaiAlartActive() const { return m_huzaiAlartTimer.isActive(); }

signals:
    void TerminateChosen();
    void PresetChosen(HuzaiPresets::Preset preset);
    void OwnSetChosen();
    void OwnResetChosen();
    void DengonCheckChosen();
    // A row of 掲示板を開く, by the letter that picks it from the keyboard.
    void RowChosen(char letter);
    // The icon was clicked with the left button.
    void Clicked();
    // A new memo waits and the user wants the memo page to open by itself.
    void DengonOpenDue();

private:
    void buildMenu();

    MainState& m_state;
    const Clock& m_clock;
    bool m_trayAvailable;
    QMenu* m_menu = nullptr;
    QSystemTrayIcon* m_icon = nullptr;
    QString m_tip;
    bool m_shown = false;
    QList<QAction*> m_ownItems;
    QTimer m_huzaiAlartTimer;
    // Made once: the reminder changes picture four times a second.
    QIcon m_normalIcon;
    QIcon m_memoIcon;
    QIcon m_absentIcon;
};
