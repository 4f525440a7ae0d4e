#pragma once
// The hack's command line, in XScreenSaver's conventions: one or two leading dashes, a
// value in the next argument. Options are data, as in XScreenSaver's option tables: one row
// per option, from which the parser, the usage text and the test against the configuration
// file all work. Plain strings and integers, so that it is tested without X.
#include <cstdint>
#include <optional>
#include <string>

#include "Settings.h"

enum class DrawTarget {
    OwnWindow,  // neither option: a window of its own
    Root,       // --root: XSCREENSAVER_WINDOW, else the virtual root, else the root
    WindowId,   // --window-id: the preview path
};

struct HackOptions {
    DrawTarget target = DrawTarget::OwnWindow;
    uint32_t windowId = 0;  // with DrawTarget::WindowId
    SettingValues settings;
    uint32_t delayMicroseconds = 0;
    bool help = false;

    bool Blank() const { return settings[SettingId::BlankScreen] != 0; }
};

enum class OptionKind {
    Switch,    // takes no value; given, its field becomes 1
    Number,    // a whole number from `low` to `high`
    Choice,    // one of the names in `choices`, which stand for low, low + 1, ... high
    WindowId,  // an X window id (ParseWindowId)
};

// Where an option's value goes.
enum class OptionField { Setting, Root, WindowId, Delay, Help };

struct HackOption {
    const char* name;  // after the one or two dashes
    OptionKind kind;
    OptionField field;
    SettingId setting;  // with OptionField::Setting
    const char* value;  // what the usage text calls the value; null for a switch
    int64_t low;        // Number and Choice
    int64_t high;
    int64_t fallback;  // the value when the option is not given
    const char* const* choices;
    // The usage text's line; "{range}", "{default}" and "{choices}" stand for what the row
    // says of them, and a line break continues under the text. Null: not listed.
    const char* help;
};

// Every option, in the order the usage text lists them.
struct HackOptionList {
    const HackOption* first;
    const HackOption* last;
    const HackOption* begin() const { return first; }
    const HackOption* end() const { return last; }
};
HackOptionList AllHackOptions();
const HackOption* FindHackOption(const std::string& name);

struct ParsedHackOptions {
    // Every option that is not given holds its row's default.
    HackOptions options;
    std::string error;  // one line naming the offending argument; empty when parsing succeeded
};

ParsedHackOptions ParseHackOptions(int argc, const char* const* argv);

// An X window id as XScreenSaver writes it: 0x hex or decimal, non-zero, 32 bits at most.
std::optional<uint32_t> ParseWindowId(const char* text);

std::string HackUsage();
