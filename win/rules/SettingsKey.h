#pragma once
// Where the Windows program keeps the settings: the key the application object's profile
// is rooted at, and the full path it builds from it.
#include <string>

constexpr const char* kRegistryKey = "Kindlewick.";

// The settings' key under HKEY_CURRENT_USER, as the application's profile builds it:
// Software\<kRegistryKey>, then \<application name>, then \<section> when given.
std::string SettingsKeyPath(const std::string& appName = {}, const char* section = nullptr);
