#include "ProgramTestSupport.h"

#include <cstdint>
#include <cstdio>

#include "ProfileSettingsStore.h"
#include "Settings.h"

namespace {
// Worked out here rather than asked of the framework, so the key path is checked independently.
std::string ProgramName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    name.erase(0, name.find_last_of("\\/") + 1);
    return name.substr(0, name.rfind('.'));
}

void DeleteKey(const std::string& path) { RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str()); }
}  // namespace

std::string RegistryScope::ConfigPath() { return SettingsKeyPath(ProgramName(), kSettingsSection); }

void RegistryScope::Clear() {
    DeleteKey(ConfigPath());
    DeleteKey(SettingsKeyPath(ProgramName()));
    // Only when empty: other programs of the project keep their settings beside ours.
    DeleteKey(SettingsKeyPath());
}

RegistryScope::RegistryScope() { Clear(); }

RegistryScope::~RegistryScope() { Clear(); }

std::string HandleArgument(HWND hWnd) {
    char text[32];
    std::snprintf(text, sizeof text, "%ld", static_cast<long>(reinterpret_cast<intptr_t>(hWnd)));
    return text;
}

SettingValues UnstoredSettings() {
    ProfileSettingsStore none(nullptr);
    SettingValues values;
    ReadSettings(kFireWndReads, none, values);
    return values;
}
