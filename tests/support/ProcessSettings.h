#pragma once

// Gives this test process settings of its own. On Linux each fixture points XDG_CONFIG_HOME at a
// folder of its own; on Windows the settings are the user's registry, shared by every program of
// the user, so the process's HKEY_CURRENT_USER is redirected to a key of its own, removed at exit.
void UseOwnUserSettings();
