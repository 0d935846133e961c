#include "platform/NetworkPath.h"

QString NetworkPath::UniversalForm(const QString& path)
{
    return path;
}
