#pragma once
// Helpers of the tests of the Windows program: its settings key and its preview switch.
#include <string>

#include "Afx.h"
#include "Settings.h"
#include "SettingsKey.h"

// Deletes HKCU\Software\Kindlewick.\<this program> before and after a test.
class RegistryScope {
public:
    RegistryScope();
    RegistryScope(const RegistryScope&) = delete;
    RegistryScope& operator=(const RegistryScope&) = delete;
    ~RegistryScope();
    // The section key under which the test program's settings live.
    static std::string ConfigPath();

private:
    static void Clear();
};

// The handle of a window as the preview switch passes it: decimal.
std::string HandleArgument(HWND hWnd);

// What every fire window reads when nothing is stored.
SettingValues UnstoredSettings();
