// Shutdown: what the close box does, and the saving of a real end. The stop marker comes
// last, so the user shows running for as long as anything of theirs is still being written.

#include "app/MainLog.h"
#include "app/TaskTray.h"
#include "app/TfrmMain.h"
#include "store/FilterFile.h"
#include "store/ui/MemoBoardView.h"
#include "store/ui/TQuaxoRichEdit.h"

#include <QCloseEvent>
#include <QCoreApplication>

bool TfrmMain::SaveOnClose()
{
    qCInfo(lcMain) << "saving for the end";
    // Handing over to the updater, the user has only just started the program: every other copy
    // would show them gone home until the new build starts.
    if (!m_handingOver)
        m_huzai.SetDefaultValueOnExit();
    if (HasOwnEntry(m_state.Own))
        MemoBoardView::SaveOwnBoard(*m_rchDengonOwner, m_state.Own.FileName);
    // A guest has no filter file; the writer knows.
    FilterFile::Write(m_state.Own.FileName + FilterFile::Extension, m_state.Boards);
    m_placement.Save();
    m_writer.SetStopMarker(true);
    qCInfo(lcMain) << "saved: stop marker written";
    return true;
}

void TfrmMain::Quit()
{
    if (m_ended)
        return;
    if (!m_state.StartUpFinished) {
        // Asked while the start-up is still running (its file waits and datagrams held back
        // during the load let events run): saving now would be undone by the start-up's later
        // steps, so the start-up ends first and then saves, once however often it was asked.
        m_quitRequested = true;
        qCInfo(lcMain) << "end requested during start-up";
        return;
    }
    EndProgram();
}

void TfrmMain::EndProgram()
{
    if (m_ended)
        return;
    m_ended = true;
    m_state.Scheduler.SetTimerEnabled(false);
    SaveOnClose();
    m_tray->SetTaskTrayIcon(QString(), TrayOperation::Delete, {});
    hide();
    qCInfo(lcMain) << "program ends";
    emit Ended();
    QCoreApplication::quit();
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (m_ended) {
        event->accept();
        return;
    }
    // The close box keeps the program running: the board page comes back on top and the
    // window goes to the tray, or is minimised where there is no tray to come back from.
    event->ignore();
    SwitchPage(m_tabKeiziban);
    if (m_env.trayAvailable)
        hide();
    else
        showMinimized();
}
