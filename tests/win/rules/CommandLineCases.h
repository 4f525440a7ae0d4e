#pragma once
// The command lines a host or a user may give, and the mode each must start; shared by the
// native test and the one that runs with the system's own comparison under Wine.
#include <cstdint>
#include <vector>

#include "CommandLine.h"

struct CommandLineCase {
    std::vector<const char*> args;  // without the program name
    SaverMode mode;
    uint32_t owner = 0;   // the window that owns the settings dialog
    uint32_t parent = 0;  // the host window of the preview
};

inline const std::vector<CommandLineCase>& CommandLineCases() {
    static const std::vector<CommandLineCase> cases = {
        {{}, SaverMode::Settings},
        {{"c"}, SaverMode::Settings},
        {{"/c"}, SaverMode::Settings},
        {{"-C"}, SaverMode::Settings},
        {{"/c", "anything"}, SaverMode::Settings},
        {{"p"}, SaverMode::Preview},
        {{"/p", "1234"}, SaverMode::Preview, 0, 1234},
        {{"-P", "1234"}, SaverMode::Preview, 0, 1234},
        // The preview's host handle is read by the rules of "c:HANDLE".
        {{"/p", "00042", "x"}, SaverMode::Preview, 0, 42},
        {{"/p", "4294967295"}, SaverMode::Preview, 0, 4294967295u},
        {{"/p", "4294967296"}, SaverMode::Preview, 0, 0},
        {{"/p", "1234x"}, SaverMode::Preview, 0, 0},
        {{"/p", " 1234"}, SaverMode::Preview, 0, 0},
        {{"/p", "+1234"}, SaverMode::Preview, 0, 0},
        {{"/p", "-1234"}, SaverMode::Preview, 0, 0},
        {{"/p", ""}, SaverMode::Preview, 0, 0},
        {{"/s", "1234"}, SaverMode::FullScreen, 0, 0},
        {{"/c", "1234"}, SaverMode::Settings, 0, 0},
        {{"s"}, SaverMode::FullScreen},
        {{"/s"}, SaverMode::FullScreen},
        {{"-s"}, SaverMode::FullScreen},
        {{"S"}, SaverMode::FullScreen},
        {{"//s"}, SaverMode::None},
        {{"-/s"}, SaverMode::None},
        // The Screen Saver settings' button: "c:" and its own window's handle in decimal.
        {{"c:5"}, SaverMode::Settings, 5},
        {{"/c:12"}, SaverMode::Settings, 12},
        {{"-C:0"}, SaverMode::Settings, 0},
        {{"/c:4294967295"}, SaverMode::Settings, 4294967295u},
        {{"/c:4294967296"}, SaverMode::Settings, 0},
        {{"/c:00042", "/s"}, SaverMode::Settings, 42},
        {{"c:"}, SaverMode::None},
        {{"/c:12x"}, SaverMode::None},
        {{"/c:-5"}, SaverMode::None},
        {{"/c: 5"}, SaverMode::None},
        {{"//c:5"}, SaverMode::None},
        {{"c::5"}, SaverMode::None},
        {{"cc:5"}, SaverMode::None},
        {{"s:5"}, SaverMode::None},
        {{"p:5"}, SaverMode::None},
        {{"x"}, SaverMode::None},
        {{"sc"}, SaverMode::None},
        {{"S2"}, SaverMode::None},
        {{""}, SaverMode::None},
        {{"/"}, SaverMode::None},
        {{" s"}, SaverMode::None},
        {{"x", "s"}, SaverMode::None},
    };
    return cases;
}

inline const char* ModeName(SaverMode mode) {
    switch (mode) {
        case SaverMode::Settings: return "settings";
        case SaverMode::Preview: return "preview";
        case SaverMode::FullScreen: return "full screen";
        case SaverMode::None: return "none";
    }
    return "?";
}

// The program name followed by the case's arguments.
inline std::vector<const char*> CommandLineArgv(const CommandLineCase& c) {
    std::vector<const char*> argv{"kindlewick.scr"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    return argv;
}
