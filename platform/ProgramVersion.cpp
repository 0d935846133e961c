#include "platform/ProgramVersion.h"

QByteArray ProgramVersion::Built()
{
    return QByteArray::number(VURNA_VERSION_MAJOR) + '.' +
           QByteArray::number(VURNA_VERSION_MINOR).rightJustified(2, '0');
}

QByteArray ProgramVersion::Text()
{
    return Running().value_or(Built());
}
