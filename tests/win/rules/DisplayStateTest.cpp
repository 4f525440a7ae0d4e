#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "DisplayState.h"

namespace {

const char* Name(DisplayState s) {
    switch (s) {
        case DisplayState::Off: return "off";
        case DisplayState::On: return "on";
        case DisplayState::Dimmed: return "dimmed";
        case DisplayState::Unknown: break;
    }
    return "unknown";
}

TEST(DisplayState, OnlyAWellFormedDisplaySettingCounts) {
    PowerSettingId other = kConsoleDisplayState;
    other.data4[7] ^= 1;
    struct Case {
        const char* name;
        PowerSettingId setting;
        uint32_t length;
        uint32_t value;
        DisplayState want;
    };
    const std::vector<Case> cases = {
        {"console off", kConsoleDisplayState, 4, 0, DisplayState::Off},
        {"console on", kConsoleDisplayState, 4, 1, DisplayState::On},
        {"console dimmed", kConsoleDisplayState, 4, 2, DisplayState::Dimmed},
        {"console value 3", kConsoleDisplayState, 4, 3, DisplayState::Unknown},
        {"console value -1", kConsoleDisplayState, 4, 0xffffffffu, DisplayState::Unknown},
        {"monitor off", kMonitorPowerOn, 4, 0, DisplayState::Off},
        {"monitor on", kMonitorPowerOn, 4, 1, DisplayState::On},
        {"monitor has no dimmed state", kMonitorPowerOn, 4, 2, DisplayState::Unknown},
        {"one byte of data", kConsoleDisplayState, 1, 0, DisplayState::Unknown},
        {"no data", kConsoleDisplayState, 0, 0, DisplayState::Unknown},
        {"eight bytes of data", kConsoleDisplayState, 8, 0, DisplayState::Unknown},
        {"a length far beyond the payload", kConsoleDisplayState, 0x80000000u, 0, DisplayState::Unknown},
        {"another setting, one bit apart", other, 4, 0, DisplayState::Unknown},
    };
    for (const Case& c : cases) {
        uint8_t data[8] = {};
        std::memcpy(data, &c.value, sizeof c.value);
        const DisplayState got = DecodeDisplayState(c.setting, c.length, data);
        EXPECT_EQ(got, c.want) << c.name << ": " << Name(got) << ", want " << Name(c.want);
    }
    EXPECT_EQ(DecodeDisplayState(kConsoleDisplayState, 4, nullptr), DisplayState::Unknown) << "no payload at all";

    // Off stops the frames, on and dimmed bring them back, anything else changes nothing.
    for (const bool running : {false, true}) {
        EXPECT_FALSE(FramesRun(DisplayState::Off, running));
        EXPECT_TRUE(FramesRun(DisplayState::On, running));
        EXPECT_TRUE(FramesRun(DisplayState::Dimmed, running));
        EXPECT_EQ(FramesRun(DisplayState::Unknown, running), running);
    }
}

}  // namespace
