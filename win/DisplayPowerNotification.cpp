#include "DisplayPowerNotification.h"

#include <cstring>
#include <initializer_list>

#include "SystemCalls.h"

namespace {
using RegisterFn = void*(WINAPI*)(HANDLE, const GUID*, DWORD);
using UnregisterFn = BOOL(WINAPI*)(void*);

GUID ToGuid(const PowerSettingId& id) {
    GUID guid;
    static_assert(sizeof guid == sizeof id, "a GUID is its four fields");
    std::memcpy(&guid, &id, sizeof guid);
    return guid;
}
}  // namespace

bool DisplayPowerNotification::Register(HWND hwnd) {
    Unregister();
    const RegisterFn registerFn = FindInUser32<RegisterFn>("RegisterPowerSettingNotification");
    if (!registerFn || !hwnd) return false;
    for (const PowerSettingId* setting : {&kConsoleDisplayState, &kMonitorPowerOn}) {
        const GUID guid = ToGuid(*setting);
        if (void* const handle = registerFn(hwnd, &guid, DEVICE_NOTIFY_WINDOW_HANDLE)) {
            m_handle = handle;
            m_setting = setting;
            return true;
        }
    }
    return false;
}

void DisplayPowerNotification::Unregister() {
    if (!m_handle) return;
    if (const UnregisterFn unregisterFn = FindInUser32<UnregisterFn>("UnregisterPowerSettingNotification"))
        unregisterFn(m_handle);
    m_handle = nullptr;
    m_setting = nullptr;
}

DisplayState DisplayStateOf(WPARAM wParam, LPARAM lParam) {
    if (wParam != PBT_POWERSETTINGCHANGE || !lParam) return DisplayState::Unknown;
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
    PowerSettingId id;
    std::memcpy(&id, &setting->PowerSetting, sizeof id);
    return DecodeDisplayState(id, setting->DataLength, setting->Data);
}
