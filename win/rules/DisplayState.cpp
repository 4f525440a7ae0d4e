#include "DisplayState.h"

#include <cstring>

namespace {
bool Same(const PowerSettingId& a, const PowerSettingId& b) {
    return a.data1 == b.data1 && a.data2 == b.data2 && a.data3 == b.data3 &&
           std::memcmp(a.data4, b.data4, sizeof a.data4) == 0;
}
}  // namespace

DisplayState DecodeDisplayState(const PowerSettingId& setting, uint32_t dataLength, const uint8_t* data) {
    const bool console = Same(setting, kConsoleDisplayState);
    if (!console && !Same(setting, kMonitorPowerOn)) return DisplayState::Unknown;
    uint32_t value = 0;
    if (!data || dataLength != sizeof value) return DisplayState::Unknown;
    std::memcpy(&value, data, sizeof value);
    switch (value) {
        case 0: return DisplayState::Off;
        case 1: return DisplayState::On;
        case 2: return console ? DisplayState::Dimmed : DisplayState::Unknown;
        default: return DisplayState::Unknown;
    }
}

bool FramesRun(DisplayState state, bool running) {
    switch (state) {
        case DisplayState::Off: return false;
        case DisplayState::On:
        case DisplayState::Dimmed: return true;
        case DisplayState::Unknown: break;
    }
    return running;
}
