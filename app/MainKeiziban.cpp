// Connecting the grid to a board: the load, the name order, the filters and the caption.

#include "app/GroupFilterChoice.h"
#include "app/MainCaption.h"
#include "app/MainLog.h"
#include "app/Pictures.h"
#include "app/StatusBarSink.h"
#include "app/TfrmMain.h"
#include "board/EFileIOError.h"
#include "board/ui/TVurnaGrid.h"
#include "board/UserLoader.h"
#include "platform/Clock.h"
#include "store/StatusReport.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>

void TfrmMain::SetKeiziban(ParmRec& board, bool fromDatagram)
{
    TVurnaBoardModel& model = m_keiziban->Model();
    model.SetTimerEnabled(false);

    // The site's priority order holds unless the user chose the order by reading.
    const bool furigana = m_settings.ReadBool(QStringLiteral("RegistSortPriority"), false);
    model.SetSortPriorityOn(board.SortPriority != 0 && !furigana);
    MenuAction(QStringLiteral("mnuCustomSort"))->setChecked(!furigana);
    MenuAction(QStringLiteral("mnuFuriganaSort"))->setChecked(furigana);

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

    TInterval interval = model.Interval();
    interval.ReloadLastCommit = board.Interval.ReloadLastCommit;
    interval.ReloadAllFile = board.Interval.ReloadAllFile;
    model.SetInterval(interval);
    model.SetTimerEnabled(true);

    KeizibanSubSetting();
    ApplyOwnEntryAvailability();
}

void TfrmMain::ApplyOwnEntryAvailability()
{
    const bool own = HasOwnEntry(m_state.Own);
    m_pgcMain->setTabVisible(m_pgcMain->indexOf(m_tabDengon), own);
    // The absence entry opens in the detail window, which this program does not have yet.
    m_btnOwnerSet->setEnabled(false);
    m_btnOwnerReset->setEnabled(own);
    for (const char* name : {"popTrayDengonCheck", "popTrayHuzai60", "popTrayHuzai30", "popTrayHuzai15",
                             "popTrayHuzaiLunch", "popTrayHuzaiQuick", "popTrayHuzaiReset"}) {
        if (QAction* item = MenuAction(QLatin1String(name)))
            item->setEnabled(own);
    }
    if (QAction* item = MenuAction(QStringLiteral("popTrayHuzaiSet")))
        item->setEnabled(false);
}

void TfrmMain::KeizibanSubSetting()
{
    using namespace GroupFilterChoice;
    ParmRec& board = m_state.ShownBoard();
    const TVurnaBoardModel& model = m_keiziban->Model();

    // The group list as the filter offers it, ticked by the stored choice.
    QList<QByteArray> groups;
    model.GetGroupList(groups);
    QList<QByteArray> ticked;
    for (const QByteArray& item : GroupItems(groups, board.ShareCustomGroups)) {
        if (IsGroupTicked(item, board.Filter.CheckedGroups))
            ticked.append(item);
    }
    const TGroupSelection selection = SelectGroups(ticked, board.Filter.CustomGroup, board.ShareCustomGroups);
    m_keiziban->SetGroupFilter(selection.Groups);
    m_keiziban->SetCustomGrpMember(selection.CustomGrpMember);
    m_keiziban->SetStatusFilter(SelectStatuses(int(board.StatusTable.size()), board.Filter.CheckedStatus));
    {
        // The boxes show the stored state; the grid takes it below, once.
        const QSignalBlocker groupBlock(m_chkGroupFilter);
        const QSignalBlocker statusBlock(m_chkStatusFilter);
        m_chkGroupFilter->setChecked(board.Filter.GroupFilterOn);
        m_chkStatusFilter->setChecked(board.Filter.StatusFilterOn);
    }
    m_keiziban->SetGroupFilterOn(board.Filter.GroupFilterOn);
    m_keiziban->SetStatusFilterOn(board.Filter.StatusFilterOn);

    // The caption only: the overdue question belongs to the minute and to the start.
    setWindowTitle(MainCaptionText(m_clock.now().date(), m_state.Own.Name));
}

void TfrmMain::KeizibanIntervalTimer()
{
    setWindowTitle(MainCaptionText(m_clock.now().date(), m_state.Own.Name));
    HuzaiAutoResetCheck();
}
