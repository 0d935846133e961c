#include "platform/FreeNames.h"

namespace FreeNames {

QString Candidate(const QString& name, bool isFolder, int n)
{
    if (n == 1)
        return name;
    const qsizetype dot = isFolder ? -1 : name.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > 0 && dot < name.size() - 1;
    const QString number = QStringLiteral(" (%1)").arg(n);
    return hasExtension ? name.left(dot) + number + name.mid(dot) : name + number;
}

} // namespace FreeNames
