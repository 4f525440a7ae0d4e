#include "HackOptions.h"

#include <algorithm>
#include <cstring>
#include <iterator>

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

// An option of one of the six settings: its range is the setting's, and its default the
// value a fire window reads when nothing is stored, brought into that range (what a
// settings program can offer).
constexpr HackOption SettingOption(const char* name, OptionKind kind, SettingId id, const char* value,
                                   const char* help, const char* const* choices = nullptr) {
    const SettingDescription& s = Describe(id);
    return {name, kind, OptionField::Setting, id, value, s.low, s.high, std::clamp(s.fallback, s.low, s.high),
            choices, help};
}

// An option of the hack's own.
constexpr HackOption OwnOption(const char* name, OptionKind kind, OptionField field, const char* value,
                               int64_t low, int64_t high, int64_t fallback, const char* help) {
    return {name, kind, field, SettingId::BlankScreen, value, low, high, fallback, nullptr, help};
}

constexpr const char* kFireTypes[] = {"wood", "kryptonite", "gas"};
static_assert(std::size(kFireTypes) == Describe(SettingId::FireType).high - Describe(SettingId::FireType).low + 1,
              "one name for every fire type");

constexpr HackOption kOptions[] = {
    OwnOption("root", OptionKind::Switch, OptionField::Root, nullptr, 0, 1, 0,
              "draw on XSCREENSAVER_WINDOW, else the (virtual) root window"),
    OwnOption("window-id", OptionKind::WindowId, OptionField::WindowId, "ID", 0, 0, 0,
              "draw one fire filling window ID (decimal or 0x hex)\n"
              "without either: a window of its own; q or Escape closes it"),
    SettingOption("fire-type", OptionKind::Choice, SettingId::FireType, "TYPE", "{choices}", kFireTypes),
    SettingOption("blank", OptionKind::Switch, SettingId::BlankScreen, nullptr, "burn over black instead of the desktop"),
    SettingOption("smooth", OptionKind::Switch, SettingId::SmoothFire, nullptr, "smooth fire"),
    SettingOption("firefly", OptionKind::Switch, SettingId::DrawFly, nullptr, "a firefly flies to each new fire"),
    SettingOption("fly-width", OptionKind::Number, SettingId::FlyWidth, "N",
                  "the firefly's width in pixels, {range} ({default})"),
    SettingOption("fly-speed", OptionKind::Number, SettingId::FlySpeed, "N",
                  "the firefly's speed in pixels per frame, {range} ({default})"),
    OwnOption("delay", OptionKind::Number, OptionField::Delay, "MICROSECONDS", 0, 10000000, 33000,
              "time between frames ({default})"),
    OwnOption("help", OptionKind::Switch, OptionField::Help, nullptr, 0, 1, 0, "this text"),
    OwnOption("h", OptionKind::Switch, OptionField::Help, nullptr, 0, 1, 0, nullptr),
};

// Everything a parse collects; the target is decided once every option is in.
struct Collected {
    HackOptions options;
    bool root = false;
};

void Store(Collected& c, const HackOption& row, int64_t value) {
    switch (row.field) {
    case OptionField::Setting:
        c.options.settings[row.setting] = int32_t(value);
        break;
    case OptionField::Root:
        c.root = value != 0;
        break;
    case OptionField::WindowId:
        // No window has id 0, so it stands for none.
        c.options.windowId = uint32_t(value);
        break;
    case OptionField::Delay:
        c.options.delayMicroseconds = uint32_t(value);
        break;
    case OptionField::Help:
        c.options.help = value != 0;
        break;
    }
}

// "wood, kryptonite or gas", the default marked when asked.
std::string ChoiceList(const HackOption& row, bool markDefault) {
    std::string list;
    for (int64_t v = row.low; v <= row.high; ++v) {
        if (v > row.low) list += v == row.high ? " or " : ", ";
        list += row.choices[v - row.low];
        if (markDefault && v == row.fallback) list += " (default)";
    }
    return list;
}

std::string Range(const HackOption& row) { return std::to_string(row.low) + " to " + std::to_string(row.high); }

std::string UsageLine(const HackOption& row) {
    constexpr std::size_t kTextColumn = 24;
    std::string line = std::string("  --") + row.name + (row.value ? std::string(" ") + row.value : "");
    line.resize(std::max(line.size() + 2, kTextColumn), ' ');
    for (const char* p = row.help; *p; ++p) {
        if (*p == '\n') {
            line += "\n" + std::string(kTextColumn, ' ');
        } else if (std::strncmp(p, "{range}", 7) == 0) {
            line += Range(row);
            p += 6;
        } else if (std::strncmp(p, "{default}", 9) == 0) {
            line += std::to_string(row.fallback);
            p += 8;
        } else if (std::strncmp(p, "{choices}", 9) == 0) {
            line += ChoiceList(row, true);
            p += 8;
        } else {
            line += *p;
        }
    }
    return line + "\n";
}
}  // namespace

HackOptionList AllHackOptions() { return {std::begin(kOptions), std::end(kOptions)}; }

const HackOption* FindHackOption(const std::string& name) {
    for (const HackOption& row : kOptions)
        if (name == row.name) return &row;
    return nullptr;
}

std::optional<uint32_t> ParseWindowId(const char* text) {
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const auto id = ParseUnsigned(hex ? text + 2 : text, hex ? 16 : 10, 1, 0xFFFFFFFFu);
    if (!id) return std::nullopt;
    return uint32_t(*id);
}

ParsedHackOptions ParseHackOptions(int argc, const char* const* argv) {
    ParsedHackOptions result;
    Collected c;
    for (const HackOption& row : kOptions) Store(c, row, row.fallback);
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
        const HackOption* row = FindHackOption(name);
        if (!row) return fail(std::string("unknown option '") + arg + "'");
        const std::string option = std::string("--") + name;
        if (row->kind == OptionKind::Switch) {
            Store(c, *row, 1);
            continue;
        }
        if (n + 1 >= argc) return fail(option + " needs a value");
        const char* text = argv[++n];
        const std::string refused = std::string(", not '") + text + "'";
        switch (row->kind) {
        case OptionKind::Number: {
            const auto value = ParseUnsigned(text, 10, uint64_t(row->low), uint64_t(row->high));
            if (!value) return fail(option + " takes a whole number from " + Range(*row) + refused);
            Store(c, *row, int64_t(*value));
            break;
        }
        case OptionKind::Choice: {
            int64_t v = row->low;
            while (v <= row->high && std::strcmp(text, row->choices[v - row->low]) != 0) ++v;
            if (v > row->high) return fail(option + " takes " + ChoiceList(*row, false) + refused);
            Store(c, *row, v);
            break;
        }
        case OptionKind::WindowId: {
            const auto id = ParseWindowId(text);
            if (!id) return fail(option + " takes a window id (decimal or 0x hex)" + refused);
            Store(c, *row, *id);
            break;
        }
        case OptionKind::Switch:
            break;
        }
    }
    result.options = c.options;
    HackOptions& o = result.options;
    o.target = o.windowId ? DrawTarget::WindowId : c.root ? DrawTarget::Root : DrawTarget::OwnWindow;
    return result;
}

std::string HackUsage() {
    std::string usage =
        "usage: kindlewick [options]\n"
        "Burns fires over the desktop picture; a screen saver for XScreenSaver, MATE and Xfce.\n"
        "\n";
    for (const HackOption& row : kOptions)
        if (row.help) usage += UsageLine(row);
    return usage + "One or two leading dashes are accepted.\n";
}
