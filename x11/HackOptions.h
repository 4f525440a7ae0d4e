#pragma once
// The hack's command line, in XScreenSaver's conventions: one or two leading dashes, a
// value in the next argument. Plain strings and integers, so that it is tested without X.
#include <cstdint>
#include <optional>
#include <string>

enum class DrawTarget {
    OwnWindow,  // neither option: a window of its own
    Root,       // --root: XSCREENSAVER_WINDOW, else the virtual root, else the root
    WindowId,   // --window-id: the preview path
};

struct HackOptions {
    DrawTarget target = DrawTarget::OwnWindow;
    uint32_t windowId = 0;  // with DrawTarget::WindowId
    // The six settings; every default is what the configuration file's defaults say, so
    // that a default adds nothing to the command line.
    int32_t fireType = 0;
    bool blank = false;
    bool smooth = false;
    bool firefly = false;
    int32_t flyWidth = 1;
    int32_t flySpeed = 5;
    uint32_t delayMicroseconds = 33000;
    bool help = false;
};

struct ParsedHackOptions {
    HackOptions options;
    std::string error;  // one line naming the offending argument; empty when parsing succeeded
};

ParsedHackOptions ParseHackOptions(int argc, const char* const* argv);

// An X window id as XScreenSaver writes it: 0x hex or decimal, non-zero, 32 bits at most.
std::optional<uint32_t> ParseWindowId(const char* text);

const char* HackUsage();
