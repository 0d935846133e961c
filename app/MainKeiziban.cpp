// Showing a board: the load, the name order, the filters, the caption, and the switch
// between the own board and the others that its site lists.

#include "app/MainCaption.h"
#include "app/MainLog.h"
#include "app/Pictures.h"
#include "app/StatusBarSink.h"
#include "app/TaskTray.h"
#include "app/TfrmMain.h"
#include "board/EFileIOError.h"
#include "board/UserLoader.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/MessageBoxes.h"
#include "platform/ShareFiles.h"
#include "store/SiteConfig.h"
#include "store/StatusReport.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

void TfrmMain::SetKeiziban(ParmRec& board, bool fromDatagram)
{
    TVurnaBoardModel& model = m_state.BoardModel;
    MinuteScheduler& scheduler = m_state.Scheduler;
    scheduler.SetTimerEnabled(false);

    // The site's priority order holds unless the user chose the order by reading.
    const bool furigana = m_settings.RegistSortPriority();
    model.SetSortPriorityOn(board.SortPriority != 0 && !furigana);
    m_menus.mnuCustomSort->setChecked(!furigana);
    m_menus.mnuFuriganaSort->setChecked(furigana);

    m_keiziban->SetImageList(Pictures::StatusPictureList(board));
    model.SetDataSource(board.ShareDir);
    if (board.ShareDir.isEmpty()) {
        // No shared directory chosen yet (a fresh PC): an empty path would name the working
        // folder, whose files are no board.
        qCInfo(lcMain) << "no shared directory: empty board";
    } else {
        try {
            model.Reload(AllMembers);
            qCInfo(lcMain) << "board loaded" << board.ShareDir << "members" << model.MemberHigh();
        } catch (const EFileIOError& e) {
            qCWarning(lcMain) << "board load failed" << e.message();
            if (fromDatagram)
                ReportStatus(*m_status, QStringLiteral("ＵＤＰメッセージの受信に失敗しました。"), Severity::Fault);
            else
                ShowLoadFailure(e.message());
        }
    }

    TInterval interval = scheduler.Interval();
    interval.ReloadLastCommit = board.Interval.ReloadLastCommit;
    interval.ReloadAllFile = board.Interval.ReloadAllFile;
    scheduler.SetInterval(interval);
    scheduler.SetTimerEnabled(true);

    KeizibanSubSetting();
    ApplyOwnEntryAvailability();
}

void TfrmMain::ApplyOwnEntryAvailability()
{
    const bool own = HasOwnEntry(m_state.Own);
    m_pgcMain->setTabVisible(m_pgcMain->indexOf(m_tabDengon), own);
    m_btnOwnerSet->setEnabled(own);
    m_btnOwnerReset->setEnabled(own);
    m_tray->SetOwnItemsEnabled(own);
}

void TfrmMain::KeizibanSubSetting()
{
    const ParmRec& board = m_state.ShownBoard();
    {
        // The boxes show the stored state; the grid takes it with the lists below, once.
        const QSignalBlocker groupBlock(m_chkGroupFilter);
        const QSignalBlocker statusBlock(m_chkStatusFilter);
        m_chkGroupFilter->setChecked(board.Filter.GroupFilterOn);
        m_chkStatusFilter->setChecked(board.Filter.StatusFilterOn);
    }
    SetGroupList();
    SetStatusList();
    SetStatusFilter();

    // The caption only: the overdue question belongs to the minute and to the start.
    setWindowTitle(MainCaptionText(m_clock.now().date(), m_state.Own.Name));
}

void TfrmMain::KeizibanIntervalTimer()
{
    setWindowTitle(MainCaptionText(m_clock.now().date(), m_state.Own.Name));
    m_huzai.HuzaiAutoResetCheck();
}

void TfrmMain::WhenBoardIdle(std::function<void()> command)
{
    TVurnaBoardModel& model = m_state.BoardModel;
    if (!model.IsLoading()) {
        command();
        return;
    }
    // The window answers while a board loads. A command that switches or reloads the board
    // would then run inside the load, and the load's caller would finish after it with the
    // settings of the board it began with; it runs once that caller has returned.
    model.WhenIdle([this, command = std::move(command)] { QTimer::singleShot(0, this, command); });
}

void TfrmMain::SetShareDirectoryToMenuItem()
{
    m_menus.mnuShareDir->clear();
    auto* group = new QActionGroup(m_menus.mnuShareDir);
    for (int i = 0; i < m_state.Boards.size(); ++i) {
        QAction* item = m_menus.mnuShareDir->addAction(Cp932::toUnicode(m_state.Boards.at(i).BoardName));
        item->setCheckable(true);
        item->setChecked(i == 0);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, i] { WhenBoardIdle([this, i] { sbmShareDirClick(i); }); });
    }
}

void TfrmMain::sbmShareDirClick(int index)
{
    const QList<QAction*> items = m_menus.mnuShareDir->actions();
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
