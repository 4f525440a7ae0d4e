#include "HackOptions.h"

#include <cstring>
#include <type_traits>

namespace {
// Digits only, in the given base, within [lo, hi]; no sign, no spaces, nothing after.
std::optional<uint64_t> ParseUnsigned(const char* text, int base, uint64_t lo, uint64_t hi) {
    if (*text == '\0') return std::nullopt;
    uint64_t value = 0;
    for (const char* p = text; *p; ++p) {
        int digit;
        if (*p >= '0' && *p <= '9') digit = *p - '0';
        else if (base == 16 && *p >= 'a' && *p <= 'f') digit = *p - 'a' + 10;
        else if (base == 16 && *p >= 'A' && *p <= 'F') digit = *p - 'A' + 10;
        else return std::nullopt;
        value = value * uint64_t(base) + uint64_t(digit);
        // Past every accepted range; stop before the product can overflow.
        if (value > (uint64_t(1) << 40)) return std::nullopt;
    }
    if (value < lo || value > hi) return std::nullopt;
    return value;
}

struct FireTypeName {
    const char* name;
    int32_t type;
};
constexpr FireTypeName kFireTypes[] = {{"wood", 0}, {"kryptonite", 1}, {"gas", 2}};

struct NumberOption {
    const char* name;
    uint64_t lo, hi;
};
constexpr NumberOption kFlyWidth{"fly-width", 1, 10};
constexpr NumberOption kFlySpeed{"fly-speed", 5, 20};
constexpr NumberOption kDelay{"delay", 0, 10000000};
}  // namespace

std::optional<uint32_t> ParseWindowId(const char* text) {
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const auto id = ParseUnsigned(hex ? text + 2 : text, hex ? 16 : 10, 1, 0xFFFFFFFFu);
    if (!id) return std::nullopt;
    return uint32_t(*id);
}

ParsedHackOptions ParseHackOptions(int argc, const char* const* argv) {
    ParsedHackOptions result;
    HackOptions& o = result.options;
    bool root = false;
    std::optional<uint32_t> windowId;
    const auto fail = [&](const std::string& message) {
        result.error = message;
        return result;
    };
    for (int n = 1; n < argc; ++n) {
        const char* arg = argv[n];
        const char* name = arg;
        if (name[0] == '-') ++name;
        if (name[0] == '-') ++name;
        if (name == arg || *name == '\0') return fail(std::string("unexpected argument '") + arg + "'");
        const std::string option = name;
        // The value of an option that takes one, or null when it is missing.
        const auto value = [&]() -> const char* { return n + 1 < argc ? argv[++n] : nullptr; };
        const auto number = [&](const NumberOption& range, auto& field) -> bool {
            const char* text = value();
            if (!text) {
                result.error = "--" + option + " needs a value";
                return false;
            }
            const auto parsed = ParseUnsigned(text, 10, range.lo, range.hi);
            if (!parsed) {
                result.error = "--" + option + " takes a whole number from " + std::to_string(range.lo) +
                               " to " + std::to_string(range.hi) + ", not '" + text + "'";
                return false;
            }
            field = static_cast<std::remove_reference_t<decltype(field)>>(*parsed);
            return true;
        };
        if (option == "help" || option == "h") {
            o.help = true;
        } else if (option == "root") {
            root = true;
        } else if (option == "window-id") {
            const char* text = value();
            if (!text) return fail("--window-id needs a value");
            windowId = ParseWindowId(text);
            if (!windowId) return fail(std::string("--window-id takes a window id (decimal or 0x hex), not '") + text + "'");
        } else if (option == "fire-type") {
            const char* text = value();
            if (!text) return fail("--fire-type needs a value");
            const FireTypeName* found = nullptr;
            for (const FireTypeName& t : kFireTypes)
                if (std::strcmp(text, t.name) == 0) found = &t;
            if (!found) return fail(std::string("--fire-type takes wood, kryptonite or gas, not '") + text + "'");
            o.fireType = found->type;
        } else if (option == "blank") {
            o.blank = true;
        } else if (option == "smooth") {
            o.smooth = true;
        } else if (option == "firefly") {
            o.firefly = true;
        } else if (option == kFlyWidth.name) {
            if (!number(kFlyWidth, o.flyWidth)) return result;
        } else if (option == kFlySpeed.name) {
            if (!number(kFlySpeed, o.flySpeed)) return result;
        } else if (option == kDelay.name) {
            if (!number(kDelay, o.delayMicroseconds)) return result;
        } else {
            return fail(std::string("unknown option '") + arg + "'");
        }
    }
    if (windowId) {
        o.target = DrawTarget::WindowId;
        o.windowId = *windowId;
    } else if (root) {
        o.target = DrawTarget::Root;
    }
    return result;
}

const char* HackUsage() {
    return "usage: kindlewick [options]\n"
           "Burns fires over the desktop picture; a screen saver for XScreenSaver, MATE and Xfce.\n"
           "\n"
           "  --root                draw on XSCREENSAVER_WINDOW, else the (virtual) root window\n"
           "  --window-id ID        draw one fire filling window ID (decimal or 0x hex)\n"
           "                        without either: a window of its own; q or Escape closes it\n"
           "  --fire-type TYPE      wood (default), kryptonite or gas\n"
           "  --blank               burn over black instead of the desktop\n"
           "  --smooth              smooth fire\n"
           "  --firefly             a firefly flies to each new fire\n"
           "  --fly-width N         the firefly's width in pixels, 1 to 10 (1)\n"
           "  --fly-speed N         the firefly's speed in pixels per frame, 5 to 20 (5)\n"
           "  --delay MICROSECONDS  time between frames (33000)\n"
           "  --help                this text\n"
           "One or two leading dashes are accepted.\n";
}
