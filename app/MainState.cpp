#include "app/MainState.h"

#include "platform/SjisText.h"

bool HasOwnEntry(const TVurnaDataRec& own)
{
    // Lower-casing ASCII only: the drive-root test looks at ASCII letters alone.
    const QByteArray path = SjisText::trim(own.FileName).toLower();
    return !SjisText::fileNamePart(path).isEmpty() && path != "c:\\";
}
