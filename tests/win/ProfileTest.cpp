#include <gtest/gtest.h>

#include "FireWnd.h"
#include "ProfileSettingsStore.h"
#include "ProgramTestSupport.h"
#include "SaverApp.h"
#include "Settings.h"
#include "WinApp.h"
#include "WinTestSupport.h"

namespace {

struct StoredValue {
    DWORD type = 0;
    DWORD value = 0;
    bool found = false;
};

StoredValue ReadRaw(const std::string& path, const char* name) {
    StoredValue v;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
    DWORD size = sizeof v.value;
    v.found = RegQueryValueExA(key, name, nullptr, &v.type, reinterpret_cast<BYTE*>(&v.value), &size) ==
              ERROR_SUCCESS;
    RegCloseKey(key);
    return v;
}

TEST(Profile, SettingsLiveUnderSoftwareKeyApplicationNameAndSection) {
    RegistryScope scope;
    CWinApp app;
    std::printf("application name: %s, settings key: HKCU\\%s\n", app.AppName().c_str(),
                RegistryScope::ConfigPath().c_str());
    EXPECT_EQ(RegistryScope::ConfigPath(), "Software\\Kindlewick.\\" + app.AppName() + "\\Config");

    EXPECT_FALSE(app.WriteProfileInt("Config", "FlyWidth", 7)) << "no registry key set yet";
    EXPECT_EQ(app.GetProfileInt("Config", "FlyWidth", 3), 3u);

    app.SetRegistryKey(kRegistryKey);
    EXPECT_EQ(app.GetProfileInt("Config", "FlyWidth", 3), 3u) << "absent value gives the default";
    EXPECT_TRUE(app.WriteProfileInt("Config", "FlyWidth", 7));
    EXPECT_TRUE(app.WriteProfileInt("Config", "FireType", -1));

    const StoredValue raw = ReadRaw(RegistryScope::ConfigPath(), "FlyWidth");
    ASSERT_TRUE(raw.found) << "not under HKCU\\" << RegistryScope::ConfigPath();
    EXPECT_EQ(raw.type, DWORD(REG_DWORD));
    EXPECT_EQ(raw.value, 7u);
    EXPECT_EQ(app.GetProfileInt("Config", "FlyWidth", 3), 7u);

    ProfileSettingsStore store(&app);
    EXPECT_EQ(store.GetInt("Config", "FireType", 0), -1) << "negative values come back unchanged";
    EXPECT_EQ(store.GetInt("Config", "FlySpeed", 5), 5);
    EXPECT_TRUE(store.WriteInt("Config", "FlySpeed", 50));
    EXPECT_EQ(store.GetInt("Config", "FlySpeed", 5), 50);

    // A value of another type is not an integer setting.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, RegistryScope::ConfigPath().c_str(), 0, KEY_WRITE, &key),
              ERROR_SUCCESS);
    RegSetValueExA(key, "DrawFly", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    RegCloseKey(key);
    EXPECT_EQ(store.GetInt("Config", "DrawFly", 0), 0);

    ProfileSettingsStore detached(nullptr);
    EXPECT_EQ(detached.GetInt("Config", "FlyWidth", 9), 9);
    EXPECT_FALSE(detached.WriteInt("Config", "FlyWidth", 1));
}

TEST(Profile, EveryModeStartsFromTheFireWindowsReadsOfTheStore) {
    RegistryScope scope;
    SaverApp app;
    app.SetRegistryKey(kRegistryKey);
    const SettingsReader noModeReads{};
    const SettingValues fresh = app.StoredSettings(noModeReads);
    const int32_t want[] = {0, 0, 0, 0, 0, 5};
    for (std::size_t n = 0; n < kSettingCount; ++n)
        EXPECT_EQ(fresh.value[n], want[n]) << "nothing stored, setting " << SettingName(SettingId(n));

    app.WriteProfileInt("Config", "FireType", 7);
    app.WriteProfileInt("Config", "FlySpeed", -3);
    app.WriteProfileInt("Config", "BlankScreen", 2);
    const FireWnd stored(app.StoredSettings(noModeReads));
    EXPECT_EQ(stored.State().m_nFireType, 7);
    EXPECT_EQ(stored.State().m_nFlySpeed, -3);
    EXPECT_EQ(stored.State().m_bBlankScreen, 2);
    EXPECT_EQ(stored.State().m_bFullScreen, 0);

    // The firefly's first start point is a whole pixel on the screen.
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(stored.State().m_flyStart.x, float(int(stored.State().m_flyStart.x)));
    EXPECT_GE(stored.State().m_flyStart.x, 0.0f);
    EXPECT_LT(stored.State().m_flyStart.x, float(cx));
    EXPECT_GE(stored.State().m_flyStart.y, 0.0f);
    EXPECT_LT(stored.State().m_flyStart.y, float(cy));
}

}  // namespace
