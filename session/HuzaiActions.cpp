#include "session/HuzaiActions.h"

#include "board/StatusText.h"
#include "board/UserStatusWriter.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/LogCategories.h"
#include "platform/MessageBoxes.h"
#include "platform/SjisText.h"
#include "session/MainState.h"
#include "store/DefaultValueFile.h"
#include "store/NextWorkDay.h"
#include "store/StatusReport.h"

HuzaiActions::HuzaiActions(MainState& state, UserStatusWriter& writer, const Clock& clock, MessageBoxes& boxes)
    : m_state(state), m_writer(writer), m_clock(clock), m_boxes(boxes)
{
}

void HuzaiActions::ApplyPreset(HuzaiPresets::Preset preset)
{
    // A guest has no entry to change: the items are disabled, and a stray signal must not
    // write a file named after nothing.
    if (!HasOwnEntry(m_state.Own))
        return;
    TVurnaDataArray list{TVurnaDataRec{}, m_state.Own};
    const HuzaiPresets::HuzaiValues values = HuzaiPresets::PresetValues(preset, m_clock.now());
    SetHuzai(list, values.Locate, values.StatusIndex, values.Time, values.Date);
}

void HuzaiActions::ResetOwn()
{
    if (!HasOwnEntry(m_state.Own))
        return;
    // Marked running first, so the record written below says so too.
    m_writer.SetStopMarker(false);
    TVurnaDataArray list{TVurnaDataRec{}, m_state.Own};
    SetHuzai(list, {}, 0, {}, {});
}

void HuzaiActions::ResetMembers(TVurnaDataArray& records)
{
    if (records.size() < 2)
        return;
    const QString question = HuzaiPresets::ResetQuestion(
        Cp932::toUnicode(records.at(1).Name), Cp932::toUnicode(records.last().Name), int(records.size() - 1));
    if (m_boxes.show(question, Mb::OkCancel | Mb::IconQuestion) != Mb::IdOk)
        return;
    SetHuzai(records, {}, 0, {}, {});
}

void HuzaiActions::SetHuzai(TVurnaDataArray& records, const QByteArray& locate, qint32 statusIndex,
                            const QByteArray& time, const QByteArray& date)
{
    if (records.size() < 2)
        return;
    for (qsizetype i = 1; i < records.size(); ++i) {
        TVurnaDataRec& record = records[i];
        record.Locate = locate;
        record.Date = date;
        record.Time = time;
        record.StatusIndex = statusIndex;
    }
    const qsizetype asked = records.size() - 1;
    m_writer.WriteUserFiles(
        records, true,
        [this, asked](const TVurnaDataArray& failed) {
            qCInfo(lcBoard) << "absence written for" << asked - (failed.size() - 1) << "member(s)," << failed.size() - 1
                            << "failed";
            if (failed.size() < 2 || !m_status)
                return;
            QStringList names;
            for (qsizetype i = 1; i < failed.size(); ++i) {
                const TVurnaDataRec& record = failed.at(i);
                names << Cp932::toUnicode(record.Name.isEmpty() ? SjisText::fileNamePart(record.FileName)
                                                                : record.Name);
            }
            ReportStatus(*m_status,
                         QStringLiteral("%1 の行き先を保存できませんでした。共有ディレクトリに書き込めません。")
                             .arg(names.join(QStringLiteral("、"))),
                         Severity::Fault);
        },
        UserStatusWriter::Fields::AbsenceOnly);
}

bool HuzaiActions::HuzaiAutoResetCheck()
{
    if (!m_state.StartUpFinished || !m_state.AutoResetAllowed || m_state.AutoResetAsking)
        return false;
    TVurnaDataRec entry;
    if (m_state.FindOwnEntry(entry) < 0)
        return true;
    QByteArray text;
    int code = 0;
    GetStatusText(entry, m_clock.now(), text, code);
    if (code != StatusCode::Overdue)
        return true;
    m_state.AutoResetAsking = true;
    const int answer = m_boxes.show(HuzaiPresets::AutoResetQuestion(Cp932::toUnicode(m_state.Own.Name)),
                                    Mb::YesNo | Mb::IconWarning | Mb::SystemModal);
    // The question may have stood open for long, and the board switched meanwhile: the entry
    // as the own board has it now, or nothing.
    if (answer == Mb::IdYes && m_state.FindOwnEntry(entry) >= 1) {
        entry.Locate.clear();
        entry.Date.clear();
        entry.Time.clear();
        entry.StatusIndex = 0;
        m_writer.WriteUserFile(entry);
        qCInfo(lcBoard) << "overdue absence cleared";
    } else if (answer != Mb::IdYes) {
        m_state.AutoResetAllowed = false;
        qCInfo(lcBoard) << "overdue absence kept; not asked again";
    }
    m_state.AutoResetAsking = false;
    return true;
}

void HuzaiActions::SetDefaultValueOnExit()
{
    if (!HasOwnEntry(m_state.Own))
        return;
    const QByteArray defaultsFile = m_state.Own.FileName + DefaultValueFile::Extension;
    const QByteArray date = NextWorkDay(m_state.OwnBoard(), m_clock.now().date());
    // Decided on the entry as its file has it when the write runs: a colleague may have set the
    // user's absence while the program ran, which the own record never heard of.
    m_writer.RewriteUserFile(
        m_state.Own,
        [defaultsFile, date](TVurnaDataRec& current) {
            if (!current.Locate.isEmpty() || current.DefaultOnExit != 1)
                return false;
            const TVurnaDefaultValue value = DefaultValueFile::ReadDefaultValue(defaultsFile);
            current.Locate = value.Locate;
            current.StatusIndex = value.StatusMark;
            current.Time = value.ReturnTime;
            current.Date = date;
            qCInfo(lcBoard) << "default absence written for the next working day" << date;
            return true;
        },
        true);
}

void HuzaiActions::ClearAbsenceOfLastExit()
{
    if (HasOwnEntry(m_state.Own) && m_state.Own.DefaultOnExit == 1) {
        ResetOwn();
        qCInfo(lcBoard) << "default absence of the last exit cleared";
    }
}
