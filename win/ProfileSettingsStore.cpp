#include "ProfileSettingsStore.h"

#include "WinApp.h"

int32_t ProfileSettingsStore::GetInt(const char* section, const char* name, int32_t fallback) {
    if (!m_app) return fallback;
    // The profile hands back the stored DWORD; negative settings come back as they went in.
    return static_cast<int32_t>(m_app->GetProfileInt(section, name, fallback));
}

bool ProfileSettingsStore::WriteInt(const char* section, const char* name, int32_t value) {
    return m_app && m_app->WriteProfileInt(section, name, value);
}
