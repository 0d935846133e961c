#include "platform/ProgramVersion.h"

QByteArray ProgramVersion::Text()
{
    return QByteArray::number(VURNA_VERSION_MAJOR) + '.' +
           QByteArray::number(VURNA_VERSION_MINOR).rightJustified(2, '0');
}
