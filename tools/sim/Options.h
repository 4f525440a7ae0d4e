#pragma once
// The simulator's command line.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FireTypes.h"
#include "MonitorLayout.h"
#include "Settings.h"

struct SimOptions {
    std::optional<uint32_t> seed;  // none: the time, as the program seeds
    FireSize screen{640, 480};
    bool screenGiven = false;
    // --monitor, in order, the first the primary; none: one monitor the size of `screen`.
    std::vector<MonitorRect> monitors;
    FireSize window{320, 240};
    bool fullScreen = false;
    // Values to put into the settings store; absent ones fall back to the readers' defaults.
    std::array<std::optional<int32_t>, kSettingCount> stored{};
    int32_t ticks = 300;
    std::string dumpDir;
    std::string gifPath;
    std::string pngPath;
    // A PNG picture of the screen: full colour, from the top-left corner of the monitors'
    // bounds; without --screen or --monitor the screen is its size.
    std::string desktopPath;
    bool help = false;
};

struct ParsedOptions {
    SimOptions options;
    std::string error;  // one line naming the offending argument; empty when parsing succeeded
};

ParsedOptions ParseOptions(int argc, const char* const* argv);

// Most pixels of the simulated window (the screen in full screen): what the surfaces and
// the picture may cost in memory.
constexpr int64_t kMaxWindowPixels = int64_t(1) << 24;
// Why the simulator will not run these options, in one line; empty when it will.
std::string SizeLimitError(const SimOptions& options);
// The simulated monitors.
MonitorLayout Layout(const SimOptions& options);

const char* Usage();
