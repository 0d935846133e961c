#pragma once

#include <QLoggingCategory>

// "vurna.board": start-up steps, loads and shutdown of the board window. Silent unless
// QT_LOGGING_RULES turns it on ("vurna.board.info=true").
Q_DECLARE_LOGGING_CATEGORY(lcMain)
