#include "SettingsKey.h"

std::string SettingsKeyPath(const std::string& appName, const char* section) {
    std::string path = std::string("Software\\") + kRegistryKey;
    if (appName.empty()) return path;
    path += "\\" + appName;
    if (section) path += std::string("\\") + section;
    return path;
}
