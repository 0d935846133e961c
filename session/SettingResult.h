#pragma once

#include "store/DefaultValueFile.h"

#include <QByteArray>

#include <optional>

// What "設定" confirmed. The session applies it: settings, shortcut, own status file and the
// defaults file.
struct SettingResult
{
    QByteArray ShareDir; // as typed, ending in the separator
    bool AutoSmall = true;
    bool AutoDengonOpen = false;
    bool Shortcut = false;
    // The trimmed file name as typed (no directory, no extension); empty: the user is a guest and
    // the identity fields below are empty too.
    QByteArray FileName;
    QByteArray Furigana, Name, Group, WarningCall, InnerLine, SortPrefix; // CP932
    bool DefaultOnExit = false;
    // Values confirmed in the default values dialog during this session; to be written under the
    // final file name, since the name may still change before "設定".
    std::optional<TVurnaDefaultValue> DefaultValue;
};
