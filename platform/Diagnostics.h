#pragma once

// The program's diagnostics (the vurna.* logging categories) for places where Qt's own switches
// do not reach: a Windows program without a console sends Qt's messages to the debugger only,
// and Wine passes no QT_ variable on to the programs it runs. VURNA_DIAGNOSTICS holds logging
// rules in Qt's syntax ("vurna.*.info=true"); when it is set, those rules apply and every
// message is written to the standard error output as one UTF-8 line.
namespace Diagnostics {
void InstallFromEnvironment();
} // namespace Diagnostics
