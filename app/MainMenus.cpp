// The main menu: quitting, reloading, the clipboard, the font size, the name order, the
// board switch and help.

#include "app/MainLog.h"
#include "app/TfrmMain.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/Cp932.h"
#include "platform/MessageBoxes.h"
#include "platform/ShareFiles.h"
#include "platform/SharePath.h"
#include "store/SiteConfig.h"

#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMenuBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QUrl>

QAction* TfrmMain::AddMenuItem(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& shortcut,
                               const QString& hint)
{
    auto* action = new QAction(caption, this);
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

void TfrmMain::BuildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("mnuForm"));

    QMenu* file = bar->addMenu(QStringLiteral(" ファイル "));
    QAction* quit =
        AddMenuItem(file, QStringLiteral("mnuQuit"), QStringLiteral("終了"), QKeySequence(Qt::CTRL | Qt::Key_Q),
                    QStringLiteral("Vurnaを終了し、メモリを開放します。"));
    connect(quit, &QAction::triggered, this, &TfrmMain::Quit);

    QMenu* edit = bar->addMenu(QStringLiteral(" 編集 "));
    QAction* reload = AddMenuItem(edit, QStringLiteral("mnuReloadAll"), QStringLiteral("データのリロード"),
                                  QKeySequence(Qt::Key_F5), QStringLiteral("全ユーザーの情報を再読み込みします。"));
    connect(reload, &QAction::triggered, this, &TfrmMain::ReloadAllClick);
    // The old shortcut of the same command, kept without a menu entry of its own.
    QAction* reloadOld = AddMenuItem(nullptr, QStringLiteral("mnuReloadAllOld"), QStringLiteral("データのリロード"),
                                     QKeySequence(Qt::CTRL | Qt::Key_R));
    addAction(reloadOld);
    connect(reloadOld, &QAction::triggered, this, &TfrmMain::ReloadAllClick);
    edit->addSeparator();
    const struct
    {
        const char* name;
        QString caption;
        QKeySequence key;
        QString hint;
    } editItems[] = {
        {"mnuCopy", QStringLiteral("コピー"), QKeySequence(Qt::CTRL | Qt::Key_C), {}},
        {"mnuCut", QStringLiteral("切り取り"), QKeySequence(Qt::CTRL | Qt::Key_X), {}},
        {"mnuPaste", QStringLiteral("貼り付け"), QKeySequence(Qt::CTRL | Qt::Key_V), {}},
        {"mnuSelectAll", QStringLiteral("全て選択"), QKeySequence(Qt::CTRL | Qt::Key_A),
         QStringLiteral("掲示板に表示されている全ユーザーを選択します。")},
    };
    for (const auto& item : editItems) {
        if (QLatin1String(item.name) == QLatin1String("mnuSelectAll"))
            edit->addSeparator();
        QAction* action = AddMenuItem(edit, QLatin1String(item.name), item.caption, item.key, item.hint);
        connect(action, &QAction::triggered, this, [this, action] { clickEditMenu(action); });
    }

    QMenu* setting = bar->addMenu(QStringLiteral(" 設定 "));
    // The preferences, the custom group editor and the version window come with their dialogs.
    AddMenuItem(setting, QStringLiteral("mnuPreference"), QStringLiteral("環境設定"),
                QKeySequence(Qt::CTRL | Qt::Key_S), QStringLiteral("オーナーの変更やオプションの設定等を行います。"));
    setting->addSeparator();
    AddMenuItem(setting, QStringLiteral("mnuCustomGroup"), QStringLiteral("ｶｽﾀﾑｸﾞﾙｰﾌﾟの設定"),
                QKeySequence(Qt::CTRL | Qt::Key_G),
                QStringLiteral("任意の人だけをグループ化する「カスタムグループ」を設定します。"));
    setting->addSeparator();

    QMenu* fontSize = setting->addMenu(QStringLiteral("掲示板の文字サイズ"));
    fontSize->menuAction()->setObjectName(QStringLiteral("mnuFontSize"));
    auto* fontGroup = new QActionGroup(this);
    QAction* normalFont = AddMenuItem(fontSize, QStringLiteral("mnuNormalFont"), QStringLiteral("大きい文字"));
    QAction* smallFont = AddMenuItem(fontSize, QStringLiteral("mnuSmallfont"), QStringLiteral("小さい文字"));
    for (QAction* a : {normalFont, smallFont}) {
        a->setCheckable(true);
        fontGroup->addAction(a);
    }
    normalFont->setChecked(true);
    connect(normalFont, &QAction::triggered, this, [this] { SetSmallFont(false); });
    connect(smallFont, &QAction::triggered, this, [this] { SetSmallFont(true); });

    QMenu* sort = setting->addMenu(QStringLiteral("名前の表示順序"));
    sort->menuAction()->setObjectName(QStringLiteral("mnuSort"));
    auto* sortGroup = new QActionGroup(this);
    QAction* customSort = AddMenuItem(sort, QStringLiteral("mnuCustomSort"), QStringLiteral("管理者の意図した順序"));
    QAction* furiganaSort = AddMenuItem(sort, QStringLiteral("mnuFuriganaSort"), QStringLiteral("フリガナ順序"));
    for (QAction* a : {customSort, furiganaSort}) {
        a->setCheckable(true);
        sortGroup->addAction(a);
    }
    customSort->setChecked(true);
    connect(customSort, &QAction::triggered, this, [this] { SortClick(false); });
    connect(furiganaSort, &QAction::triggered, this, [this] { SortClick(true); });

    setting->addSeparator();
    m_mnuShareDir = setting->addMenu(QStringLiteral("掲示板の切替え"));
    m_mnuShareDir->menuAction()->setObjectName(QStringLiteral("mnuShareDir"));

    QMenu* help = bar->addMenu(QStringLiteral(" ヘルプ "));
    QAction* helpItem = AddMenuItem(help, QStringLiteral("mnuHelp"), QStringLiteral("Vurnaヘルプ"),
                                    QKeySequence(Qt::CTRL | Qt::Key_H), QStringLiteral("Vurnaについての説明です。"));
    connect(helpItem, &QAction::triggered, this, &TfrmMain::mnuHelpClick);
    help->addSeparator();
    AddMenuItem(help, QStringLiteral("mnuVersion"), QStringLiteral("バージョン情報"), {},
                QStringLiteral("使用している「Vurna」のバージョンを表示します。"));
}

void TfrmMain::SetSmallFont(bool small)
{
    MenuAction(QStringLiteral("mnuSmallfont"))->setChecked(small);
    MenuAction(QStringLiteral("mnuNormalFont"))->setChecked(!small);
    m_keiziban->SetSmallFont(small);
    m_settings.WriteBool(QStringLiteral("SmallFont"), small);
    m_keiziban->update();
}

void TfrmMain::SortClick(bool furigana)
{
    MenuAction(QStringLiteral("mnuFuriganaSort"))->setChecked(furigana);
    MenuAction(QStringLiteral("mnuCustomSort"))->setChecked(!furigana);
    m_settings.WriteBool(QStringLiteral("RegistSortPriority"), furigana);
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
    const bool memoPage = m_pgcMain->currentWidget() == m_tabDengon;
    for (const char* name : {"mnuCopy", "mnuCut", "mnuPaste"})
        MenuAction(QLatin1String(name))->setEnabled(memoPage);
}

void TfrmMain::clickEditMenu(QAction* action)
{
    const QString name = action->objectName();
    QWidget* focused = QApplication::focusWidget();
    if (auto* text = qobject_cast<QTextEdit*>(focused)) {
        if (name == QLatin1String("mnuCopy"))
            text->copy();
        else if (name == QLatin1String("mnuCut"))
            text->cut();
        else if (name == QLatin1String("mnuPaste"))
            text->paste();
        else if (name == QLatin1String("mnuSelectAll"))
            text->selectAll();
    } else if (auto* line = qobject_cast<QLineEdit*>(focused)) {
        if (name == QLatin1String("mnuCopy"))
            line->copy();
        else if (name == QLatin1String("mnuCut"))
            line->cut();
        else if (name == QLatin1String("mnuPaste"))
            line->paste();
        else if (name == QLatin1String("mnuSelectAll"))
            line->selectAll();
    }
    if (name == QLatin1String("mnuSelectAll") && m_pgcMain->currentWidget() == m_tabKeiziban)
        m_keiziban->SelectAll();
}

void TfrmMain::SetShareDirectoryToMenuItem()
{
    m_mnuShareDir->clear();
    auto* group = new QActionGroup(m_mnuShareDir);
    for (int i = 0; i < m_state.Boards.size(); ++i) {
        QAction* item = m_mnuShareDir->addAction(Cp932::toUnicode(m_state.Boards.at(i).BoardName));
        item->setCheckable(true);
        item->setChecked(i == 0);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, i] { sbmShareDirClick(i); });
    }
}

void TfrmMain::sbmShareDirClick(int index)
{
    const QList<QAction*> items = m_mnuShareDir->actions();
    const auto tickShown = [&] {
        if (m_state.CurrentBoard < items.size())
            items.at(m_state.CurrentBoard)->setChecked(true);
    };
    if (index == m_state.CurrentBoard || index < 0 || index >= m_state.Boards.size())
        return;
    ParmRec& board = m_state.Boards[index];
    if (board.SlowLine) {
        const QString question = QStringLiteral("指定された掲示板は低速回線の先にあります。\r\r"
                                                "処理に時間がかかりますが本当に切替えますか？");
        if (m_boxes.show(question, Mb::OkCancel | Mb::IconWarning) != Mb::IdOk) {
            tickShown();
            return;
        }
    }
    const QString failed = QStringLiteral("指定された掲示板への接続に失敗しました");
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool reachable = ShareFiles::isDirectory(board.ShareDir);
    QApplication::restoreOverrideCursor();
    SiteConfigContext context;
    context.shareMove = &m_settings;
    context.clock = &m_clock;
    context.memberName = m_state.Own.Name;
    if (!reachable || !SiteConfig::Load(board.ShareDir, m_state.Boards, index, false, context)) {
        m_boxes.show(failed, Mb::Ok | Mb::IconStop);
        tickShown();
        return;
    }
    qCInfo(lcMain) << "board switched to" << index;
    m_state.CurrentBoard = index;
    SetKeiziban(m_state.Boards[index]);
    items.at(index)->setChecked(true);
}

void TfrmMain::mnuHelpClick()
{
    if (!m_helpFile.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(m_helpFile));
}
