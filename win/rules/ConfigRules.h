#pragma once
// The settings dialog's decisions on plain values: what each control does to the dialog's
// values and to the preview (the ranges a user may store are the settings' own, Settings.h;
// typed numbers are read by the dialog framework, framework/DialogInt.h).
#include <cstdint>
#include <optional>

#include "Settings.h"

// System-menu command of the About item; the system uses the low four bits itself.
constexpr uint32_t kAboutCommand = 16;
constexpr bool IsAboutCommand(uint32_t command) { return (command & ~uint32_t(0xF)) == kAboutCommand; }

// The dialog's six values, as the dialog holds them (FireType -1: no list selection).
struct DialogValues {
    int32_t fireType = -1;
    int32_t drawFly = 0;
    int32_t blankScreen = 0;
    int32_t smoothFire = 0;
    int32_t flyWidth = 0;
    int32_t flySpeed = 0;
};

DialogValues DialogValuesFrom(const SettingValues& stored);
SettingValues SettingsToWrite(const DialogValues& values);

// The controls whose changes the dialog handles.
enum class ConfigControl { BlankScreen, SmoothFire, DrawFly, FireTypeList };

// What the preview must take over from a control change.
struct PreviewChange {
    bool restart = false;  // relight with `fireType`
    int32_t fireType = 0;
    std::optional<int32_t> blankScreen;  // new m_bBlankScreen
    std::optional<int32_t> smooth;       // new m_nSmooth
};

struct ControlEffect {
    PreviewChange preview;
    std::optional<bool> enableFlyEdits;  // enable or grey the width and speed fields
};

// `check` is the control's check state (ignored for the list), `selection` the list's
// current selection (-1 for none). Updates `values` as the dialog does.
ControlEffect OnControlChanged(DialogValues& values, ConfigControl control, int32_t check, int32_t selection);

// Where the minimised dialog draws its icon inside a client area.
constexpr int32_t IconOrigin(int32_t clientExtent, int32_t iconExtent) {
    return (clientExtent - iconExtent + 1) / 2;
}
