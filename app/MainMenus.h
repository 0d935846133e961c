#pragma once

class QAction;
class QMainWindow;
class QMenu;

// The board window's menu bar: every command a member, each connected by the window to a
// handler of its own. Object names are the commands' names for tests and screenshots.
struct MainMenus
{
    // ファイル
    QAction* mnuQuit = nullptr;
    // 編集
    QAction* mnuReloadAll = nullptr;
    QAction* mnuReloadAllOld = nullptr; // the old key of the same command, without a menu entry
    QAction* mnuCopy = nullptr;
    QAction* mnuCut = nullptr;
    QAction* mnuPaste = nullptr;
    QAction* mnuSelectAll = nullptr;
    // 設定
    QAction* mnuPreference = nullptr;
    QAction* mnuCustomGroup = nullptr;
    QAction* mnuNormalFont = nullptr;
    QAction* mnuSmallfont = nullptr;
    QAction* mnuCustomSort = nullptr;
    QAction* mnuFuriganaSort = nullptr;
    QMenu* mnuShareDir = nullptr; // one radio item per board, filled when the boards are known
    // ヘルプ
    QAction* mnuHelp = nullptr;
    QAction* mnuVersion = nullptr;
};

// Builds the menu bar of `window`, its commands owned by the window.
MainMenus BuildMainMenus(QMainWindow& window);
