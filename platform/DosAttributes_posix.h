#pragma once

#include "platform/DosAttributes.h"

// Where Linux keeps the hidden attribute of a path (see DosAttributes.h).
namespace DosAttributes {

// IsHidden and SetHidden choose the mechanism from the file system.
enum class Mechanism { CifsMount, SambaXattr, Marker };
Mechanism MechanismFor(const QString& realPath);
// The same as IsHidden and SetHidden with the mechanism given, so each can be checked on any disk.
Hidden IsHidden(const QString& realPath, Mechanism mechanism);
bool SetHidden(const QString& realPath, bool hidden, Mechanism mechanism);

} // namespace DosAttributes
