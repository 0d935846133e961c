#include "board/UserStatusWriter.h"

#include "board/BoardModel.h"
#include "board/StatusNotifier.h"
#include "board/UserFile.h"
#include "platform/FileText.h"
#include "platform/ShareFiles.h"
#include "platform/SjisText.h"

UserStatusWriter::UserStatusWriter(BoardModel& board, TVurnaDataRec& own) : m_board(board), m_own(own) {}

bool UserStatusWriter::WriteUserFile(const TVurnaDataRec& record)
{
    // The board and the other copies are told only what the file holds: a change shown but not
    // stored would vanish at the next reload, after colleagues had acted on it.
    if (!WriteFileText(record.FileName + ".vrn", BuildUserFileText(record)))
        return false;
    m_board.UpdateMember(record);
    if (record.FileName == m_own.FileName)
        m_own = record;
    if (m_notifier)
        m_notifier->SendStatusNotice(record);
    return true;
}

bool UserStatusWriter::SetStopMarker(bool stopped)
{
    if (SjisText::trim(m_own.FileName).isEmpty())
        return true;
    const QByteArray marker = m_own.FileName + ".off";
    m_own.Running = !stopped;
    const bool marked =
        stopped ? WriteFileText(marker, QByteArray()) : ShareFiles::remove(marker) || !ShareFiles::exists(marker);
    if (m_notifier)
        m_notifier->SendRunningNotice(m_own, !stopped);
    const bool stamped = m_board.CommitTimeStamp(m_own.FileName);
    return marked && stamped;
}
