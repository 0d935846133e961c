#include "session/AlartPhase.h"

namespace AlartPhase {

Picture PictureAt(int millisecond, bool newMemo, bool absent)
{
    const int phase = (millisecond / 250) % 4;
    if (phase == 0 || phase == 2)
        return Picture::Normal;
    if (newMemo && absent)
        return phase == 1 ? Picture::Memo : Picture::Absent;
    if (newMemo)
        return Picture::Memo;
    if (absent)
        return Picture::Absent;
    return Picture::Stop;
}

} // namespace AlartPhase
