#include "SaverRules.h"

namespace {
constexpr SaverResponse kPassOn{false, true, 0};
constexpr SaverResponse kCloseAndPassOn{true, true, 0};
constexpr SaverResponse Dropped(int32_t result) { return SaverResponse{false, false, result}; }

bool MouseMoved(FirePoint& firstMouse, FirePoint position) {
    if (firstMouse.x == kNoMousePosition.x && firstMouse.y == kNoMousePosition.y) {
        firstMouse = position;
        return false;
    }
    return position.x != firstMouse.x || position.y != firstMouse.y;
}
}  // namespace

SaverResponse RespondToInput(FirePoint& firstMouse, const SaverInput& input) {
    switch (input.message) {
    case SaverMessage::SysCommand:
        // Compared whole; no other saver starts and the system Close does nothing.
        return input.value == kScScreenSave || input.value == kScClose ? Dropped(0) : kPassOn;
    case SaverMessage::NcActivate:
        return input.value ? kPassOn : Dropped(0);
    case SaverMessage::Activate:
        return input.value == kWaInactive ? kCloseAndPassOn : kPassOn;
    case SaverMessage::ActivateApp:
        return input.value ? kPassOn : kCloseAndPassOn;
    case SaverMessage::MouseMove:
        return MouseMoved(firstMouse, input.position) ? kCloseAndPassOn : kPassOn;
    case SaverMessage::ButtonDown:
    case SaverMessage::KeyDown:
        return kCloseAndPassOn;
    }
    return kPassOn;
}
