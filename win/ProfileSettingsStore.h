#pragma once
// The settings store of the program: the application object's profile in the registry.
#include "Settings.h"

class CWinApp;

class ProfileSettingsStore : public SettingsStore {
public:
    // Without an application object every read gives its default and nothing is written.
    explicit ProfileSettingsStore(CWinApp* app) : m_app(app) {}
    int32_t GetInt(const char* section, const char* name, int32_t fallback) override;
    bool WriteInt(const char* section, const char* name, int32_t value) override;

private:
    CWinApp* m_app;
};
