#include "app/tray/TaskTray.h"

#include "app/HighlightButtons.h"
#include "app/MenuItems.h"
#include "app/Pictures.h"
#include "platform/Clock.h"
#include "platform/LogCategories.h"
#include "session/AlartPhase.h"
#include "session/MainState.h"
#include "session/TrayTip.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

namespace {

constexpr int AlartIntervalMs = 250;

} // namespace

TaskTray::TaskTray(MainState& state, const Clock& clock, bool trayAvailable, QWidget& window)
    : QObject(&window), m_state(state), m_clock(clock), m_trayAvailable(trayAvailable), m_menu(new QMenu(&window)),
      m_normalIcon(Pictures::TrayNormal()), m_memoIcon(Pictures::TrayMemo()), m_absentIcon(Pictures::TrayAbsent())
{
    buildMenu();
    m_icon = new QSystemTrayIcon(this);
    m_icon->setContextMenu(m_menu);
    // The right button opens popTaskTray through the icon's own context menu.
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            emit Clicked();
    });
    // Created disabled; the reminders switch it on.
    m_huzaiAlartTimer.setInterval(AlartIntervalMs);
    connect(&m_huzaiAlartTimer, &QTimer::timeout, this, &TaskTray::HuzaiAlartTimerTimer);
}

TaskTray::~TaskTray()
{
    // The icon goes away with the program, not at the next refresh of the tray.
    m_icon->hide();
}

void TaskTray::buildMenu()
{
    QMenu* menu = m_menu;
    menu->setObjectName(QStringLiteral("popTaskTray"));
    QAction* terminate = AddMenuItem(menu, menu, QStringLiteral("popTrayTerminate"), QStringLiteral("Vurnaの終了"),
                                     QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Shown for the reader; the main menu's 終了 owns the key itself.
    terminate->setShortcutContext(Qt::WidgetShortcut);
    connect(terminate, &QAction::triggered, this, &TaskTray::TerminateChosen);
    menu->addSeparator();

    using HuzaiPresets::Preset;
    const struct
    {
        const char* name;
        QString caption;
        QString hint;
        Preset preset;
    } presets[] = {
        {"popTrayHuzai60", QStringLiteral("会議 （４時間ほど）"), {}, Preset::Meeting4h},
        {"popTrayHuzai30", QStringLiteral("会議 （２時間ほど）"), {}, Preset::Meeting2h},
        {"popTrayHuzai15", QStringLiteral("会議 （１時間ほど）"), {}, Preset::Meeting1h},
        {"popTrayHuzaiLunch", QStringLiteral("ちょっと食事"), {}, Preset::Lunch},
        {"popTrayHuzaiQuick", QStringLiteral("ちょっと離席"), QStringLiteral("少しだけ離席するときに選択します。"),
         Preset::Quick},
    };
    for (const auto& p : presets) {
        QAction* item = AddMenuItem(menu, menu, QLatin1String(p.name), p.caption, {}, p.hint);
        const Preset preset = p.preset;
        connect(item, &QAction::triggered, this, [this, preset] { emit PresetChosen(preset); });
        m_ownItems.append(item);
    }
    menu->addSeparator();
    QAction* set = AddMenuItem(menu, menu, QStringLiteral("popTrayHuzaiSet"), QStringLiteral("不在設定"));
    connect(set, &QAction::triggered, this, &TaskTray::OwnSetChosen);
    m_ownItems.append(set);
    QAction* reset = AddMenuItem(menu, menu, QStringLiteral("popTrayHuzaiReset"), QStringLiteral("不在解除"));
    connect(reset, &QAction::triggered, this, &TaskTray::OwnResetChosen);
    m_ownItems.append(reset);
    menu->addSeparator();
    QAction* dengon = AddMenuItem(menu, menu, QStringLiteral("popTrayDengonCheck"), QStringLiteral("伝言確認"));
    connect(dengon, &QAction::triggered, this, &TaskTray::DengonCheckChosen);
    m_ownItems.append(dengon);
    menu->addSeparator();

    QMenu* show = menu->addMenu(QStringLiteral("掲示板を開く"));
    show->menuAction()->setObjectName(QStringLiteral("popTrayVurnaShow"));
    // The tag of each row is the letter that picks it from the keyboard.
    const char letters[] = {'A', 'K', 'S', 'T', 'N', 'H', 'M', 'Y', 'R', 'W'};
    for (int tag = 1; tag < HighlightRows::Count; ++tag) {
        const char letter = letters[tag - 1];
        QAction* row = show->addAction(HighlightRows::RowName(tag));
        row->setObjectName(QStringLiteral("popTrayKeiziban") + QLatin1Char(letter));
        connect(row, &QAction::triggered, this, [this, letter] { emit RowChosen(letter); });
    }
}

void TaskTray::SetOwnItemsEnabled(bool own)
{
    for (QAction* item : std::as_const(m_ownItems))
        item->setEnabled(own);
}

void TaskTray::SetTaskTrayIcon(const QString& text, TrayOperation operation, const QIcon& icon)
{
    if (operation == TrayOperation::Delete) {
        m_icon->hide();
        m_shown = false;
        return;
    }
    m_tip = TrayTipText(text);
    m_icon->setIcon(icon);
    m_icon->setToolTip(m_tip);
    if (operation == TrayOperation::Add) {
        // Without a tray host there is nothing to show the icon in.
        if (m_trayAvailable)
            m_icon->show();
        m_shown = true;
    }
}

void TaskTray::StartHuzaiAlart()
{
    if (!m_huzaiAlartTimer.isActive()) {
        m_huzaiAlartTimer.start();
        qCInfo(lcBoard) << "tray reminder on: memo" << m_state.NewMemo << "absent" << m_state.HuzaiAlart;
    }
}

void TaskTray::StopHuzaiAlart()
{
    if (m_state.HuzaiAlart || m_state.NewMemo)
        return;
    if (m_huzaiAlartTimer.isActive())
        qCInfo(lcBoard) << "tray reminder off";
    m_huzaiAlartTimer.stop();
    SetTaskTrayIcon(QStringLiteral("Vurnaboard"), TrayOperation::Modify, m_normalIcon);
}

void TaskTray::HuzaiAlartTimerTimer()
{
    using AlartPhase::Picture;
    const Picture picture = AlartPhase::PictureAt(m_clock.now().time().msec(), m_state.NewMemo, m_state.HuzaiAlart);
    switch (picture) {
    case Picture::Normal:
        SetTaskTrayIcon(QString(), TrayOperation::Modify, m_normalIcon);
        return;
    case Picture::Stop:
        StopHuzaiAlart();
        return;
    case Picture::Memo:
        SetTaskTrayIcon(QStringLiteral("新着伝言が届いています。"), TrayOperation::Modify, m_memoIcon);
        break;
    case Picture::Absent:
        SetTaskTrayIcon(QStringLiteral("Vurnaは「不在状態」に設定されています。"), TrayOperation::Modify, m_absentIcon);
        break;
    }
    if (m_state.NewMemo && m_state.OwnBoard().AutoDengonOpen) {
        m_state.NewMemo = false;
        emit DengonOpenDue();
    }
}
