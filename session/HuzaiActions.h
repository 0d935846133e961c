#pragma once

#include "session/HuzaiPresets.h"
#include "store/TVurnaDataRec.h"

class Clock;
class MessageBoxes;
class UserStatusWriter;
struct MainState;

// The absence actions of the board window, apart from any widget: the tray presets, setting
// and clearing absences for the user or for members picked on the board, the question about
// an overdue absence, and the default absence written at exit and cleared at the next start.
// Every change goes through SetHuzai.
class StatusSink;

class HuzaiActions
{
public:
    HuzaiActions(MainState& state, UserStatusWriter& writer, const Clock& clock, MessageBoxes& boxes);
    // Where a write that failed is reported; none: not reported.
    void SetStatusSink(StatusSink* sink) { m_status = sink; }

    // One of the tray's one-click absences for the user.
    void ApplyPreset(HuzaiPresets::Preset preset);
    // 不在解除 of the own button and the tray: marked running, absence cleared.
    void ResetOwn();
    // 不在解除 of the board's popup for the picked members (element 0 a placeholder), asked
    // first.
    void ResetMembers(TVurnaDataArray& records);

    // Writes the absence into every record 1..n: the board and the own record show it at once;
    // each file takes it over what the file holds when the write runs, off the window's thread;
    // then the datagrams, and the change stamp once, naming the first. Failures are reported.
    void SetHuzai(TVurnaDataArray& records, const QByteArray& locate, qint32 statusIndex, const QByteArray& time,
                  const QByteArray& date);

    // The overdue-absence question; false while it cannot be asked at all.
    bool HuzaiAutoResetCheck();
    // At exit: the user's default absence while present, when they asked for it.
    void SetDefaultValueOnExit();
    // At start: the absence that the last exit wrote ends now that the user is back.
    void ClearAbsenceOfLastExit();

private:
    MainState& m_state;
    UserStatusWriter& m_writer;
    const Clock& m_clock;
    MessageBoxes& m_boxes;
    StatusSink* m_status = nullptr;
};
