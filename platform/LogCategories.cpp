#include "platform/LogCategories.h"

Q_LOGGING_CATEGORY(lcBoard, "vurna.board", QtWarningMsg)
Q_LOGGING_CATEGORY(lcUdp, "vurna.udp", QtWarningMsg)
Q_LOGGING_CATEGORY(lcFiles, "vurna.files", QtWarningMsg)
Q_LOGGING_CATEGORY(lcConfig, "vurna.config", QtWarningMsg)
Q_LOGGING_CATEGORY(lcUpdate, "vurna.update", QtWarningMsg)
