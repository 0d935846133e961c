#pragma once

#include <QByteArray>

// Applies one SORTPRIORITY line to the sort priority length `length` (0 = not used, else
// 1..10): SORTPRIORITY=USE switches it on with length 1, or with LENGTH= when the line has
// one (1 when that is not a number from 1 to 10). Other values leave `length` alone.
void ApplySortPriorityLine(const QByteArray& line, qint32& length);
