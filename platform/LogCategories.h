#pragma once

#include <QLoggingCategory>

// The program's log categories, each declared here once. All are silent below warnings unless
// QT_LOGGING_RULES or VURNA_DIAGNOSTICS turns them on (for example "vurna.board.info=true").
Q_DECLARE_LOGGING_CATEGORY(lcBoard)  // "vurna.board": start-up, loads, the window and shutdown
Q_DECLARE_LOGGING_CATEGORY(lcUdp)    // "vurna.udp": datagrams sent, received, held and refused
Q_DECLARE_LOGGING_CATEGORY(lcFiles)  // "vurna.files": reads, writes and retries on the share
Q_DECLARE_LOGGING_CATEGORY(lcConfig) // "vurna.config": the site configuration and local settings
Q_DECLARE_LOGGING_CATEGORY(lcUpdate) // "vurna.update": the update check and the updater
