#include "ConfigRules.h"

DialogValues DialogValuesFrom(const SettingValues& stored) {
    DialogValues v;
    v.blankScreen = stored[SettingId::BlankScreen];
    v.smoothFire = stored[SettingId::SmoothFire];
    v.drawFly = stored[SettingId::DrawFly];
    v.fireType = stored[SettingId::FireType];
    v.flyWidth = stored[SettingId::FlyWidth];
    v.flySpeed = stored[SettingId::FlySpeed];
    return v;
}

SettingValues SettingsToWrite(const DialogValues& v) {
    SettingValues s;
    s[SettingId::BlankScreen] = v.blankScreen;
    s[SettingId::SmoothFire] = v.smoothFire;
    s[SettingId::DrawFly] = v.drawFly;
    s[SettingId::FireType] = v.fireType;
    s[SettingId::FlyWidth] = v.flyWidth;
    s[SettingId::FlySpeed] = v.flySpeed;
    return s;
}

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
