// Settings that were stored by hand or by something else: anything but a four-byte DWORD
// reads as absent, so a fire window starts with its defaults.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ProfileSettingsStore.h"
#include "ProgramTestSupport.h"
#include "Settings.h"
#include "WinApp.h"

namespace {

struct Stored {
    const char* what;
    DWORD type;
    std::vector<BYTE> bytes;
};

void StoreAll(const Stored& s) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, RegistryScope::ConfigPath().c_str(), 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (std::size_t n = 0; n < kSettingCount; ++n)
        EXPECT_EQ(RegSetValueExA(key, SettingName(SettingId(n)), 0, s.type, s.bytes.data(), DWORD(s.bytes.size())),
                  ERROR_SUCCESS)
            << s.what;
    RegCloseKey(key);
}

// What every fire window starts from.
SettingValues ReadStored(CWinApp& app) {
    ProfileSettingsStore store(&app);
    SettingValues values;
    ReadSettings(kFireWndReads, store, values);
    return values;
}

TEST(StoredSettings, ValuesOfTheWrongTypeOrSizeReadAsAbsent) {
    // Each holds 7 (or "7") where a careless reader could find it.
    const Stored cases[] = {
        {"REG_SZ \"7\"", REG_SZ, {'7', 0}},
        {"REG_SZ of four bytes", REG_SZ, {'7', '7', '7', 0}},
        {"REG_QWORD 7", REG_QWORD, {7, 0, 0, 0, 0, 0, 0, 0}},
        {"REG_BINARY of four bytes", REG_BINARY, {7, 0, 0, 0}},
        {"REG_BINARY of two bytes", REG_BINARY, {7, 0}},
        {"REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 7}},
        {"empty REG_DWORD", REG_DWORD, {}},
        {"REG_DWORD of two bytes", REG_DWORD, {7, 0}},
        {"REG_DWORD of eight bytes", REG_DWORD, {7, 0, 0, 0, 7, 0, 0, 0}},
        {"empty REG_NONE", REG_NONE, {}},
    };
    const int32_t defaults[kSettingCount] = {0, 0, 0, 0, 0, 5};
    CWinApp app;
    app.SetRegistryKey(kRegistryKey);
    for (const Stored& c : cases) {
        RegistryScope scope;
        StoreAll(c);
        const SettingValues got = ReadStored(app);
        for (std::size_t n = 0; n < kSettingCount; ++n)
            EXPECT_EQ(got.value[n], defaults[n]) << c.what << " in " << SettingName(SettingId(n));
        std::printf("%-26s -> %d %d %d %d %d %d\n", c.what, got.value[0], got.value[1], got.value[2], got.value[3],
                    got.value[4], got.value[5]);
    }
    // No section, and no key of the program at all.
    {
        RegistryScope scope;
        ProfileSettingsStore store(&app);
        EXPECT_EQ(store.GetInt(kSettingsSection, "FlySpeed", 5), 5) << "missing key";
        const SettingValues got = ReadStored(app);
        EXPECT_EQ(got[SettingId::FlySpeed], 5) << "missing key";
        EXPECT_EQ(got[SettingId::DrawFly], 0) << "missing key";
    }
    // The same values as DWORDs are read: the cases above were refused for their type or size.
    RegistryScope scope;
    StoreAll(Stored{"REG_DWORD 7", REG_DWORD, {7, 0, 0, 0}});
    const SettingValues got = ReadStored(app);
    EXPECT_EQ(got[SettingId::FlySpeed], 7);
    EXPECT_EQ(got[SettingId::FireType], 7);
}

}  // namespace
