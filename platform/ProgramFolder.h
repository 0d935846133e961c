#pragma once

#include <QString>

// Who may replace the running program. A member's own install (in the home folder, or under
// %LOCALAPPDATA% on Windows) updates itself from the share; one installed for every user of the
// PC (under /usr or Program Files) is the administrator's to replace.
namespace ProgramFolder {

// Whether the program file and its folder are the running user's to replace.
bool IsUsersOwn(const QString& programFile);

} // namespace ProgramFolder
