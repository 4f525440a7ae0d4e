#pragma once
// One window's registration for the display's power state, given back when the window goes
// or the owner does, whichever is first. The calls are looked up at run time: Windows before
// Vista has neither, and only Windows 8 on knows the console display state.
#include "Afx.h"
#include "DisplayState.h"

class DisplayPowerNotification {
public:
    DisplayPowerNotification() = default;
    DisplayPowerNotification(const DisplayPowerNotification&) = delete;
    DisplayPowerNotification& operator=(const DisplayPowerNotification&) = delete;
    ~DisplayPowerNotification() { Unregister(); }

    // For the console display state, or where the system refuses it, for the monitors' power.
    // False (and nothing registered) where the system has neither.
    bool Register(HWND hwnd);
    void Unregister();
    bool Registered() const { return m_handle != nullptr; }
    // The setting registered for; null when none.
    const PowerSettingId* Setting() const { return m_setting; }

private:
    void* m_handle = nullptr;
    const PowerSettingId* m_setting = nullptr;
};

// What WM_POWERBROADCAST's parameters say about the display: Unknown unless they are a
// power-setting change with a payload DecodeDisplayState understands.
DisplayState DisplayStateOf(WPARAM wParam, LPARAM lParam);
