#include "platform/ProgramVersion.h"

// An ELF program file has no version resource: the running program is the build it was made as.
std::optional<QByteArray> ProgramVersion::Running()
{
    return Built();
}

std::optional<QByteArray> ProgramVersion::FromResource(const QString&)
{
    return std::nullopt;
}
