// The task tray icon, its tip and picture, its menu, and what its clicks do.

#include "app/HighlightButtons.h"
#include "app/MainLog.h"
#include "app/Pictures.h"
#include "app/TfrmMain.h"
#include "app/TrayTip.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>

void TfrmMain::BuildTray()
{
    m_popTaskTray = new QMenu(this);
    m_popTaskTray->setObjectName(QStringLiteral("popTaskTray"));
    QAction* terminate = AddMenuItem(m_popTaskTray, QStringLiteral("popTrayTerminate"), QStringLiteral("Vurnaの終了"),
                                     QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Shown for the reader; the main menu's 終了 owns the key itself.
    terminate->setShortcutContext(Qt::WidgetShortcut);
    connect(terminate, &QAction::triggered, this, &TfrmMain::Quit);
    m_popTaskTray->addSeparator();
    // The presets and the own absence items; their clicks go to ShowInfomationForm.
    AddMenuItem(m_popTaskTray, QStringLiteral("popTrayHuzai60"), QStringLiteral("会議 （４時間ほど）"));
    AddMenuItem(m_popTaskTray, QStringLiteral("popTrayHuzai30"), QStringLiteral("会議 （２時間ほど）"));
    AddMenuItem(m_popTaskTray, QStringLiteral("popTrayHuzai15"), QStringLiteral("会議 （１時間ほど）"));
    AddMenuItem(m_popTaskTray, QStringLiteral("popTrayHuzaiLunch"), QStringLiteral("ちょっと食事"));
    AddMenuItem(m_popTaskTray, QStringLiteral("popTrayHuzaiQuick"), QStringLiteral("ちょっと離席"), {},
                QStringLiteral("少しだけ離席するときに選択します。"));
    m_popTaskTray->addSeparator();
    AddMenuItem(m_popTaskTray, QStringLiteral("popTrayHuzaiSet"), QStringLiteral("不在設定"));
    AddMenuItem(m_popTaskTray, QStringLiteral("popTrayHuzaiReset"), QStringLiteral("不在解除"));
    m_popTaskTray->addSeparator();
    QAction* dengon = AddMenuItem(m_popTaskTray, QStringLiteral("popTrayDengonCheck"), QStringLiteral("伝言確認"));
    connect(dengon, &QAction::triggered, this, [this] {
        SwitchPage(m_tabDengon);
        ShowMainWindow();
    });
    m_popTaskTray->addSeparator();
    QMenu* show = m_popTaskTray->addMenu(QStringLiteral("掲示板を開く"));
    show->menuAction()->setObjectName(QStringLiteral("popTrayVurnaShow"));
    // The tag of each row is the letter that picks it from the keyboard.
    const char letters[] = {'A', 'K', 'S', 'T', 'N', 'H', 'M', 'Y', 'R', 'W'};
    for (int tag = 1; tag < HighlightRows::Count; ++tag) {
        const char letter = letters[tag - 1];
        QAction* row = show->addAction(HighlightRows::RowName(tag));
        row->setObjectName(QStringLiteral("popTrayKeiziban") + QLatin1Char(letter));
        row->setData(int(letter));
        connect(row, &QAction::triggered, this, [this, letter] { popTrayKeizibanClick(letter); });
    }

    m_trayMemoIcon = Pictures::TrayMemo();
    m_trayAbsentIcon = Pictures::TrayAbsent();
    m_tray = new QSystemTrayIcon(this);
    m_tray->setContextMenu(m_popTaskTray);
    connect(m_tray, &QSystemTrayIcon::activated, this, &TfrmMain::TrayNotify);
}

void TfrmMain::SetTaskTrayIcon(const QString& text, int operation, const QIcon& icon)
{
    switch (operation) {
    case 0:
    case 1:
        m_trayTip = TrayTipText(text);
        m_tray->setIcon(icon);
        m_tray->setToolTip(m_trayTip);
        if (operation == 0) {
            // Without a tray host there is nothing to show the icon in.
            if (m_env.trayAvailable)
                m_tray->show();
            m_trayShown = true;
        }
        break;
    case 2:
        m_tray->hide();
        m_trayShown = false;
        break;
    default:
        break;
    }
}

void TfrmMain::TrayNotify(QSystemTrayIcon::ActivationReason reason)
{
    // The right button opens popTaskTray through the icon's own context menu.
    if (reason != QSystemTrayIcon::Trigger)
        return;
    if (m_state.NewMemo)
        SwitchPage(m_tabDengon);
    ShowMainWindow();
}

void TfrmMain::popTrayKeizibanClick(char letter)
{
    FormKeyPress(QLatin1Char(letter));
    SwitchPage(m_tabKeiziban);
    ShowMainWindow();
}
