#include "support/ProcessSettings.h"

void UseOwnUserSettings() {}
