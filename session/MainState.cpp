#include "session/MainState.h"

#include "platform/SjisText.h"

int MainState::FindOwnEntry(TVurnaDataRec& entry) const
{
    if (CurrentBoard != 0 || !HasOwnEntry(Own))
        return -1;
    // Index 0 is the empty placeholder, never anybody's entry.
    TVurnaDataRec found;
    const int index = Model.FindMember(Own.FileName, found);
    if (index < 1)
        return -1;
    entry = found;
    return index;
}

bool HasOwnEntry(const TVurnaDataRec& own)
{
    // Lower-casing ASCII only: the drive-root test looks at ASCII letters alone.
    const QByteArray path = SjisText::trim(own.FileName).toLower();
    return !SjisText::fileNamePart(path).isEmpty() && path != "c:\\";
}
