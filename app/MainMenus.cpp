#include "app/MainMenus.h"

#include "app/MenuItems.h"
#include "forms/HelpContext.h"

#include <QActionGroup>
#include <QMainWindow>
#include <QMenuBar>

namespace {

// Two radio items of which exactly one is ticked; the first at the start.
void makeRadioPair(QObject* owner, QAction* first, QAction* second)
{
    auto* group = new QActionGroup(owner);
    for (QAction* a : {first, second}) {
        a->setCheckable(true);
        group->addAction(a);
    }
    first->setChecked(true);
}

} // namespace

MainMenus BuildMainMenus(QMainWindow& window)
{
    MainMenus m;
    QMenuBar* bar = window.menuBar();
    bar->setObjectName(QStringLiteral("mnuForm"));
    // F1 in an open menu explains the highlighted command where it has a page, else the menus.
    SetHelpContext(bar, HelpTopic::Menus);

    QMenu* file = bar->addMenu(QStringLiteral(" ファイル "));
    m.mnuQuit = AddMenuItem(&window, file, QStringLiteral("mnuQuit"), QStringLiteral("終了"),
                            QKeySequence(Qt::CTRL | Qt::Key_Q), QStringLiteral("Vurnaを終了し、メモリを開放します。"));

    QMenu* edit = bar->addMenu(QStringLiteral(" 編集 "));
    m.mnuReloadAll = AddMenuItem(&window, edit, QStringLiteral("mnuReloadAll"), QStringLiteral("データのリロード"),
                                 QKeySequence(Qt::Key_F5), QStringLiteral("全ユーザーの情報を再読み込みします。"));
    m.mnuReloadAllOld = AddMenuItem(&window, nullptr, QStringLiteral("mnuReloadAllOld"),
                                    QStringLiteral("データのリロード"), QKeySequence(Qt::CTRL | Qt::Key_R));
    window.addAction(m.mnuReloadAllOld);
    edit->addSeparator();
    m.mnuCopy = AddMenuItem(&window, edit, QStringLiteral("mnuCopy"), QStringLiteral("コピー"),
                            QKeySequence(Qt::CTRL | Qt::Key_C));
    m.mnuCut = AddMenuItem(&window, edit, QStringLiteral("mnuCut"), QStringLiteral("切り取り"),
                           QKeySequence(Qt::CTRL | Qt::Key_X));
    m.mnuPaste = AddMenuItem(&window, edit, QStringLiteral("mnuPaste"), QStringLiteral("貼り付け"),
                             QKeySequence(Qt::CTRL | Qt::Key_V));
    edit->addSeparator();
    m.mnuSelectAll = AddMenuItem(&window, edit, QStringLiteral("mnuSelectAll"), QStringLiteral("全て選択"),
                                 QKeySequence(Qt::CTRL | Qt::Key_A),
                                 QStringLiteral("掲示板に表示されている全ユーザーを選択します。"));

    QMenu* setting = bar->addMenu(QStringLiteral(" 設定 "));
    m.mnuPreference = AddMenuItem(&window, setting, QStringLiteral("mnuPreference"), QStringLiteral("環境設定"),
                                  QKeySequence(Qt::CTRL | Qt::Key_S),
                                  QStringLiteral("オーナーの変更やオプションの設定等を行います。"));
    setting->addSeparator();
    m.mnuCustomGroup = AddMenuItem(&window, setting, QStringLiteral("mnuCustomGroup"),
                                   QStringLiteral("ｶｽﾀﾑｸﾞﾙｰﾌﾟの設定"), QKeySequence(Qt::CTRL | Qt::Key_G),
                                   QStringLiteral("任意の人だけをグループ化する「カスタムグループ」を設定します。"));
    setting->addSeparator();

    QMenu* fontSize = setting->addMenu(QStringLiteral("掲示板の文字サイズ"));
    fontSize->menuAction()->setObjectName(QStringLiteral("mnuFontSize"));
    m.mnuNormalFont = AddMenuItem(&window, fontSize, QStringLiteral("mnuNormalFont"), QStringLiteral("大きい文字"));
    m.mnuSmallfont = AddMenuItem(&window, fontSize, QStringLiteral("mnuSmallfont"), QStringLiteral("小さい文字"));
    makeRadioPair(&window, m.mnuNormalFont, m.mnuSmallfont);

    QMenu* sort = setting->addMenu(QStringLiteral("名前の表示順序"));
    sort->menuAction()->setObjectName(QStringLiteral("mnuSort"));
    m.mnuCustomSort =
        AddMenuItem(&window, sort, QStringLiteral("mnuCustomSort"), QStringLiteral("管理者の意図した順序"));
    m.mnuFuriganaSort = AddMenuItem(&window, sort, QStringLiteral("mnuFuriganaSort"), QStringLiteral("フリガナ順序"));
    makeRadioPair(&window, m.mnuCustomSort, m.mnuFuriganaSort);

    setting->addSeparator();
    m.mnuShareDir = setting->addMenu(QStringLiteral("掲示板の切替え"));
    m.mnuShareDir->menuAction()->setObjectName(QStringLiteral("mnuShareDir"));

    QMenu* help = bar->addMenu(QStringLiteral(" ヘルプ "));
    m.mnuHelp = AddMenuItem(&window, help, QStringLiteral("mnuHelp"), QStringLiteral("Vurnaヘルプ"),
                            QKeySequence(Qt::CTRL | Qt::Key_H), QStringLiteral("Vurnaについての説明です。"));
    SetHelpContext(m.mnuHelp, HelpTopic::Contents);
    SetHelpContext(m.mnuPreference, HelpTopic::Preferences);
    SetHelpContext(m.mnuCustomGroup, HelpTopic::CustomGroup);
    help->addSeparator();
    m.mnuVersion = AddMenuItem(&window, help, QStringLiteral("mnuVersion"), QStringLiteral("バージョン情報"), {},
                               QStringLiteral("使用している「Vurna」のバージョンを表示します。"));
    return m;
}
