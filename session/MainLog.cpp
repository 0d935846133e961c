#include "session/MainLog.h"

Q_LOGGING_CATEGORY(lcMain, "vurna.board", QtWarningMsg)
