// The registry key as administrators and other programs read it: integers and flags as
// REG_DWORD, texts as REG_SZ in Unicode.
#include "store/LocalSettings.h"
#include "support/TestShare.h"

#include <QSettings>
#include <gtest/gtest.h>

#include <cstring>

#include <windows.h>

namespace {

struct Stored
{
    const wchar_t* name;
    DWORD type;
    const wchar_t* text; // for REG_SZ
    DWORD number;        // for REG_DWORD
};

TEST(RegistryValues, AreStoredWithTheirTypes)
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quaxosoft"), QStringLiteral("Vurna"))
        .clear();
    LocalSettings settings;
    settings.SetShareDir(cp932(QStringLiteral("\\\\SRV\\行き先\\")));
    settings.SetAutoSmall(false);
    settings.SetSmallFont(true);
    TVurnaDataRec own;
    own.FileName = cp932(QStringLiteral("\\\\SRV\\行き先\\YAMADA"));
    own.Name = cp932(QStringLiteral("山田"));
    own.StatusIndex = 3;
    settings.SaveOwnIdentity(own);

    for (const Stored& s : {Stored{L"ShareDir", REG_SZ, L"\\\\SRV\\行き先\\", 0}, Stored{L"Name", REG_SZ, L"山田", 0},
                            Stored{L"AutoSmall", REG_DWORD, nullptr, 0}, Stored{L"SmallFont", REG_DWORD, nullptr, 1},
                            Stored{L"StatusIndex", REG_DWORD, nullptr, 3}}) {
        DWORD type = 0;
        wchar_t buffer[256] = {};
        DWORD size = sizeof buffer;
        ASSERT_EQ(
            RegGetValueW(HKEY_CURRENT_USER, L"Software\\Quaxosoft\\Vurna", s.name, RRF_RT_ANY, &type, buffer, &size),
            ERROR_SUCCESS)
            << QString::fromWCharArray(s.name).toStdString();
        EXPECT_EQ(type, s.type) << QString::fromWCharArray(s.name).toStdString();
        if (s.type == REG_SZ) {
            EXPECT_EQ(QString::fromWCharArray(buffer), QString::fromWCharArray(s.text));
        } else {
            DWORD number = 0;
            std::memcpy(&number, buffer, sizeof number);
            EXPECT_EQ(number, s.number);
        }
    }
}

} // namespace
