#pragma once

#include <QByteArray>

// Whether the program file lies in the board's shared directory itself: `programFolder` and
// `shareDir` are in-memory paths (CP932); they are compared upper-cased and with one final
// separator, whichever separator either uses.
bool IsRunFromShare(const QByteArray& programFolder, const QByteArray& shareDir);
