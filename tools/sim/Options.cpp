#include "Options.h"

#include <cstring>
#include <limits>

#include "Placement.h"

namespace {
// Decimal digits with an optional leading minus, nothing else, within [lo, hi].
bool ParseInteger(const char* text, int64_t lo, int64_t hi, int64_t& value) {
    const char* p = text;
    const bool negative = *p == '-';
    if (negative) ++p;
    if (*p == '\0') return false;
    int64_t magnitude = 0;
    for (; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        magnitude = magnitude * 10 + (*p - '0');
        // Past every accepted range already; stop before the product can overflow.
        if (magnitude > (int64_t(1) << 40)) return false;
    }
    value = negative ? -magnitude : magnitude;
    return value >= lo && value <= hi;
}

// Monitors of a real desktop sit well inside this.
constexpr int64_t kMaxMonitorCoordinate = 1 << 24;

bool ParseSize(const char* text, FireSize& size) {
    const char* x = std::strchr(text, 'x');
    if (!x) return false;
    const std::string width(text, x);
    int64_t w = 0, h = 0;
    const int64_t most = std::numeric_limits<int32_t>::max();
    if (!ParseInteger(width.c_str(), 1, most, w) || !ParseInteger(x + 1, 1, most, h)) return false;
    size = FireSize{int32_t(w), int32_t(h)};
    return true;
}

// WxH+X+Y (or -X, -Y; also +-X), as X11 writes a geometry.
bool ParseMonitor(const char* text, MonitorRect& monitor) {
    const char* sign = std::strpbrk(text, "+-");
    if (!sign) return false;
    FireSize size;
    if (!ParseSize(std::string(text, sign).c_str(), size)) return false;
    int64_t xy[2] = {0, 0};
    const char* p = sign;
    for (int64_t& v : xy) {
        if (*p != '+' && *p != '-') return false;
        const bool minus = *p == '-';
        ++p;
        const char* end = std::strpbrk(p + (*p == '-' ? 1 : 0), "+-");
        const std::string digits = end ? std::string(p, end) : std::string(p);
        if (!ParseInteger(digits.c_str(), -kMaxMonitorCoordinate, kMaxMonitorCoordinate, v)) return false;
        if (minus) v = -v;
        p = end ? end : p + digits.size();
    }
    if (*p != '\0') return false;
    monitor = MonitorRect{int32_t(xy[0]), int32_t(xy[1]), size.cx, size.cy};
    return true;
}

constexpr int32_t kMaxPictureSide = 65535;

struct SettingOption {
    const char* name;
    SettingId id;
};
constexpr SettingOption kSettingOptions[] = {
    {"--fire-type", SettingId::FireType}, {"--smooth", SettingId::SmoothFire},
    {"--blank", SettingId::BlankScreen},  {"--fly", SettingId::DrawFly},
    {"--fly-width", SettingId::FlyWidth}, {"--fly-speed", SettingId::FlySpeed},
};
}  // namespace

ParsedOptions ParseOptions(int argc, const char* const* argv) {
    ParsedOptions result;
    SimOptions& o = result.options;
    const auto fail = [&](const std::string& message) {
        result.error = message;
        return result;
    };
    for (int n = 1; n < argc; ++n) {
        const std::string arg = argv[n];
        if (arg == "--help") {
            o.help = true;
            continue;
        }
        if (arg == "--fullscreen") {
            o.fullScreen = true;
            continue;
        }
        const SettingOption* setting = nullptr;
        for (const SettingOption& s : kSettingOptions)
            if (arg == s.name) setting = &s;
        const bool known = setting || arg == "--seed" || arg == "--screen" || arg == "--window" || arg == "--monitor" ||
                           arg == "--ticks" || arg == "--dump" || arg == "--gif" || arg == "--png" ||
                           arg == "--desktop";
        if (!known) {
            if (arg.rfind("-", 0) == 0) return fail("unknown option '" + arg + "'");
            return fail("unexpected argument '" + arg + "'");
        }
        if (n + 1 >= argc) return fail(arg + " needs a value");
        const char* value = argv[++n];
        const std::string quoted = "'" + std::string(value) + "'";
        int64_t number = 0;
        if (setting) {
            if (!ParseInteger(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(),
                              number))
                return fail(arg + ": expected a 32-bit integer, got " + quoted);
            o.stored[std::size_t(setting->id)] = int32_t(number);
        } else if (arg == "--seed") {
            if (*value == '-' || !ParseInteger(value, 0, std::numeric_limits<uint32_t>::max(), number))
                return fail(arg + ": expected an unsigned 32-bit integer, got " + quoted);
            o.seed = uint32_t(number);
        } else if (arg == "--ticks") {
            if (*value == '-' || !ParseInteger(value, 0, std::numeric_limits<int32_t>::max(), number))
                return fail(arg + ": expected a count of ticks, got " + quoted);
            o.ticks = int32_t(number);
        } else if (arg == "--monitor") {
            MonitorRect monitor{};
            if (!ParseMonitor(value, monitor))
                return fail(arg + ": expected WIDTHxHEIGHT+X+Y with both sizes above 0, got " + quoted);
            o.monitors.push_back(monitor);
        } else if (arg == "--screen" || arg == "--window") {
            if (!ParseSize(value, arg == "--screen" ? o.screen : o.window))
                return fail(arg + ": expected WIDTHxHEIGHT with both above 0, got " + quoted);
            o.screenGiven = o.screenGiven || arg == "--screen";
        } else {
            if (*value == '\0') return fail(arg + ": expected a path, got an empty one");
            std::string& path = arg == "--dump"  ? o.dumpDir
                                : arg == "--gif" ? o.gifPath
                                : arg == "--png" ? o.pngPath
                                                 : o.desktopPath;
            path = value;
        }
    }
    if (!o.desktopPath.empty() && !o.gifPath.empty())
        return fail("--gif: a GIF holds the colour table's 256 colours, not a --desktop picture's; use --png");
    return result;
}

MonitorLayout Layout(const SimOptions& options) {
    if (options.monitors.empty()) return MonitorLayout(options.screen);
    return MonitorLayout(options.monitors);
}

std::string SizeLimitError(const SimOptions& o) {
    // In full screen the window covers every monitor.
    const MonitorRect bounds = Layout(o).Bounds();
    const FireSize window = o.fullScreen ? FireSize{bounds.cx, bounds.cy} : o.window;
    const std::string name = o.fullScreen ? (o.monitors.empty() ? "--screen" : "--monitor") : "--window";
    const std::string size = std::to_string(window.cx) + "x" + std::to_string(window.cy);
    // Beyond this side a preview window gets no surfaces, so nothing could burn in it.
    if (!o.fullScreen && (window.cx > kMaxSurfaceSide || window.cy > kMaxSurfaceSide))
        return name + ": " + size + " is wider or higher than " + std::to_string(kMaxSurfaceSide) +
               " pixels, where no fire can burn";
    if (int64_t(window.cx) * int64_t(window.cy) > kMaxWindowPixels)
        return name + ": " + size + " is more than " + std::to_string(kMaxWindowPixels) + " pixels";
    // The pictures show the whole window; GIF cannot describe a larger one.
    if ((!o.gifPath.empty() || !o.pngPath.empty()) && (window.cx > kMaxPictureSide || window.cy > kMaxPictureSide))
        return name + ": " + size + " is wider or higher than " + std::to_string(kMaxPictureSide) +
               " pixels, too large for " + (o.gifPath.empty() ? "--png" : "--gif");
    return {};
}

const char* Usage() {
    return "usage: kindlewick-sim [options]\n"
           "Runs one fire window's engine headless: construction, the mode's settings, the\n"
           "restart sequence, then timer ticks.\n"
           "\n"
           "  --seed N          srand's seed instead of the time (0 .. 4294967295)\n"
           "  --screen WxH      simulated screen, pixel (x, y) = (7x + 13y) mod 256 (640x480)\n"
           "  --monitor WxH+X+Y a monitor of the simulated screen, repeatable, the first the\n"
           "                    primary; the screen is then their bounds (default: one\n"
           "                    monitor the size of --screen)\n"
           "  --window WxH      client size of the preview window (320x240)\n"
           "  --fullscreen      the full-screen window with its 100 x 100 fire box instead\n"
           "  --fire-type N     stored FireType\n"
           "  --smooth N        stored SmoothFire\n"
           "  --blank N         stored BlankScreen\n"
           "  --fly N           stored DrawFly\n"
           "  --fly-width N     stored FlyWidth\n"
           "  --fly-speed N     stored FlySpeed\n"
           "                    (settings not given read the mode's defaults)\n"
           "  --ticks N         timer ticks to deliver (300)\n"
           "  --dump DIR        write heat.bin, out.bin, back.bin, base.bin and state.txt\n"
           "  --gif FILE        animated GIF of the window, one frame per tick\n"
           "  --png FILE        the window after the last tick\n"
           "  --desktop FILE    a PNG picture the screen shows instead (its size is the\n"
           "                    screen's without --screen or --monitor), taken in full\n"
           "                    colour as a screen without a palette shows it; not with --gif\n"
           "  --help            this text\n"
           "\n"
           "Limits: the window (the screen with --fullscreen) holds at most 16777216 pixels;\n"
           "a preview window is at most 32767 pixels wide and high; with --gif or --png the\n"
           "window is at most 65535 pixels wide and high. A size beyond these exits 1.\n"
           "Sizes are 1 .. 2147483647 a side, monitor positions -16777216 .. 16777216,\n"
           "settings 32-bit integers; a value outside its range is a bad argument (exit 2).\n"
           "\n"
           "Exit status: 0 done, 1 an output could not be written or a size is beyond the\n"
           "limits, 2 bad arguments.\n";
}
