#include "support/ProcessSettings.h"

#include <cstdlib>
#include <string>

#include <windows.h>

namespace {

std::wstring ownKey()
{
    return L"Software\\VurnaTests\\" + std::to_wstring(GetCurrentProcessId());
}

void removeOwnKey()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, ownKey().c_str());
}

} // namespace

void UseOwnUserSettings()
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, ownKey().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    if (RegOverridePredefKey(HKEY_CURRENT_USER, key) == ERROR_SUCCESS)
        std::atexit(removeOwnKey);
    RegCloseKey(key);
}
