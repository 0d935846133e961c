// The handlers of the menu commands, the board's popup and the tray, one per command.

#include "app/HelpBook.h"
#include "app/HelpWindow.h"
#include "app/HighlightButtons.h"
#include "app/MainLog.h"
#include "app/TaskTray.h"
#include "app/TfrmMain.h"
#include "app/VersionWindow.h"
#include "board/ui/TVurnaGrid.h"
#include "forms/HelpContext.h"
#include "platform/MessageBoxes.h"
#include "store/TLocalSettings.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTextEdit>

void TfrmMain::SetSmallFont(bool small)
{
    m_menus.mnuSmallfont->setChecked(small);
    m_menus.mnuNormalFont->setChecked(!small);
    m_keiziban->SetSmallFont(small);
    m_settings.SetSmallFont(small);
    m_keiziban->update();
}

void TfrmMain::SortClick(bool furigana)
{
    m_menus.mnuFuriganaSort->setChecked(furigana);
    m_menus.mnuCustomSort->setChecked(!furigana);
    m_settings.SetRegistSortPriority(furigana);
    SetKeiziban(m_state.ShownBoard());
}

void TfrmMain::ReloadAllClick()
{
    const QString question = QStringLiteral("この操作はサーバに瞬間的な負荷をかけてしまいます。\r\n\r\n"
                                            "特定の人物の最新情報を見るだけならば、詳細表示を\r\n\r\n"
                                            "行って下さい。全データのリロードを本当に行いますか？");
    if (m_boxes.show(question, Mb::OkCancel | Mb::IconWarning) == Mb::IdOk)
        SetKeiziban(m_state.ShownBoard());
}

void TfrmMain::SetEditMenuEnabled()
{
    // The clipboard has work only on the memo page; the board's members are not text.
    const bool memoPage = m_pgcMain->currentWidget() == m_tabDengon;
    for (QAction* item : {m_menus.mnuCopy, m_menus.mnuCut, m_menus.mnuPaste})
        item->setEnabled(memoPage);
}

void TfrmMain::EditFocusedText(const std::function<void(QTextEdit&)>& onText,
                               const std::function<void(QLineEdit&)>& onLine)
{
    QWidget* focused = QApplication::focusWidget();
    if (auto* text = qobject_cast<QTextEdit*>(focused))
        onText(*text);
    else if (auto* line = qobject_cast<QLineEdit*>(focused))
        onLine(*line);
}

void TfrmMain::mnuHelpClick()
{
    ShowHelp(HelpTopic::Board);
}

void TfrmMain::ShowHelp(int context)
{
    // Every member can write the share: the site's help is shown as text here, never handed to
    // the desktop's opener.
    HelpWindow::Open(HelpBook(m_state.OwnBoard().ShareDir), context, this);
}

void TfrmMain::popControlPopup(const QPoint& pos)
{
    m_popup.EnableFor(m_keiziban->HasSelection());
    m_popup.popControl->popup(m_keiziban->mapToGlobal(pos));
}

void TfrmMain::TrayNotify()
{
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

void TfrmMain::mnuVersionClick()
{
    VersionWindow version(this);
    if (m_versionRunner)
        m_versionRunner(version);
    else
        version.exec();
}
