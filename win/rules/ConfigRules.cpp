#include "ConfigRules.h"

namespace {
constexpr SettingFields<DialogValues> kDialogFields = {
    &DialogValues::blankScreen, &DialogValues::smoothFire, &DialogValues::fireType,
    &DialogValues::drawFly,     &DialogValues::flyWidth,   &DialogValues::flySpeed};
}  // namespace

DialogValues DialogValuesFrom(const SettingValues& stored) {
    DialogValues v;
    SetSettings(v, kDialogFields, stored);
    return v;
}

SettingValues SettingsToWrite(const DialogValues& v) { return SettingsOf(v, kDialogFields); }

ControlEffect OnControlChanged(DialogValues& values, ConfigControl control, int32_t check, int32_t selection) {
    ControlEffect effect;
    switch (control) {
    case ConfigControl::DrawFly:
        // The preview draws no firefly, so it is left alone.
        values.drawFly = check;
        effect.enableFlyEdits = check != 0;
        return effect;
    case ConfigControl::BlankScreen:
        values.blankScreen = check;
        effect.preview.blankScreen = check;
        break;
    case ConfigControl::SmoothFire:
        values.smoothFire = check;
        effect.preview.smooth = check;
        break;
    case ConfigControl::FireTypeList:
        break;
    }
    // Every other change relights the preview with the list's current selection.
    values.fireType = selection;
    effect.preview.restart = true;
    effect.preview.fireType = selection;
    return effect;
}
