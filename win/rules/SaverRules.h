#pragma once
// When the full-screen saver closes: decisions on plain message values, so that they can
// be checked without a window. The window maps its messages onto RespondToInput.
#include <cstdint>

#include "FireTypes.h"

// System command values the saver drops: another saver starting, and the system Close.
constexpr uint32_t kScScreenSave = 0xF140;
constexpr uint32_t kScClose = 0xF060;
// WM_ACTIVATE's state for a window losing activation.
constexpr uint32_t kWaInactive = 0;

// The position before any mouse-move message has been seen.
constexpr FirePoint kNoMousePosition{-1, -1};

enum class SaverMessage {
    SysCommand,   // value: the command
    NcActivate,   // value: nonzero when activating
    Activate,     // value: the state (WA_...)
    ActivateApp,  // value: nonzero when this application becomes active
    MouseMove,    // position: client coordinates
    ButtonDown,   // left, middle or right
    KeyDown,      // WM_KEYDOWN and WM_SYSKEYDOWN: any key, Alt combinations included
};

struct SaverInput {
    SaverMessage message;
    uint32_t value;
    FirePoint position;
};

struct SaverResponse {
    bool close;   // post WM_CLOSE to the window itself
    bool passOn;  // give the message its default processing and return that result
    int32_t result;  // returned instead when the message is not passed on
};

// `firstMouse` is the window's first seen mouse position, (-1, -1) until the first move;
// that first move only records where the cursor rests, so a window shown under a still
// mouse stays open.
SaverResponse RespondToInput(FirePoint& firstMouse, const SaverInput& input);
