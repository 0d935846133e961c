#include "session/AlartPhase.h"

namespace AlartPhase {

TPicture PictureAt(int millisecond, bool newMemo, bool absent)
{
    const int phase = (millisecond / 250) % 4;
    if (phase == 0 || phase == 2)
        return TPicture::Normal;
    if (newMemo && absent)
        return phase == 1 ? TPicture::Memo : TPicture::Absent;
    if (newMemo)
        return TPicture::Memo;
    if (absent)
        return TPicture::Absent;
    return TPicture::Stop;
}

} // namespace AlartPhase
