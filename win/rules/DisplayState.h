#pragma once
// What the system's power notifications say about the display, and whether frames are drawn
// then: none while it is off, so that a saver costs nothing where nobody can see it.
// Standard C++ only: the bytes of the notification in, a decision out.
#include <cstdint>

enum class DisplayState { Unknown, Off, On, Dimmed };

// A power setting's GUID, field by field as Windows lays it out.
struct PowerSettingId {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

// The console's display (Windows 8 on): 0 off, 1 on, 2 dimmed.
inline constexpr PowerSettingId kConsoleDisplayState{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
// The monitors before Windows 8: 0 off, 1 on.
inline constexpr PowerSettingId kMonitorPowerOn{0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

// Decodes a power-setting change: its setting, its DataLength and the data after it. Only one
// 32-bit value of one of the two display settings, with a state that setting has, is
// understood; anything else (another setting, another length, a value out of range) is Unknown.
DisplayState DecodeDisplayState(const PowerSettingId& setting, uint32_t dataLength, const uint8_t* data);

// Whether the frame timer runs after a notification, given whether it ran before: off stops
// it, on or dimmed starts it again, and Unknown leaves it as it was.
bool FramesRun(DisplayState state, bool running);
