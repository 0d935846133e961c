#pragma once

// What the tray shows at one beat of the blinking reminder.
namespace AlartPhase {

enum class Picture {
    Normal, // the program's own icon, no tip
    Memo,   // new memo picture, "新着伝言が届いています。"
    Absent, // absence picture, "Vurnaは「不在状態」に設定されています。"
    Stop,   // nothing to remind of: the blinking ends
};

// The quarter of the second decides the beat: quarters 0 and 2 show the normal icon, 1 and 3
// the reminder; with both reminders the memo takes quarter 1 and the absence quarter 3.
Picture PictureAt(int millisecond, bool newMemo, bool absent);

} // namespace AlartPhase
