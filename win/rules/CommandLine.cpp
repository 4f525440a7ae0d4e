#include "CommandLine.h"

namespace {
struct Keyword {
    const char* text;
    SaverMode mode;
};
constexpr Keyword kKeywords[] = {
    {"c", SaverMode::Settings}, {"p", SaverMode::Preview}, {"s", SaverMode::FullScreen}};

int Fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

// The first argument without its one optional switch character; null when there is none.
const char* SwitchText(int argc, const char* const* argv) {
    if (argc < 2 || !argv || !argv[1]) return nullptr;
    const char* arg = argv[1];
    if (*arg == '-' || *arg == '/') ++arg;
    return arg;
}

// One or more decimal digits and nothing else; a number too large for a window handle
// reads as 0.
bool ParseHandle(const char* text, uint32_t& handle) {
    if (*text == '\0') return false;
    uint64_t value = 0;
    for (const char* d = text; *d; ++d) {
        if (*d < '0' || *d > '9') return false;
        if (value <= UINT32_MAX) value = value * 10 + static_cast<uint64_t>(*d - '0');
    }
    handle = value <= UINT32_MAX ? static_cast<uint32_t>(value) : 0;
    return true;
}

// "c:" followed by a handle.
bool ParseOwnedSettings(const char* arg, KeywordCompare compare, uint32_t& owner) {
    if (arg[0] == '\0' || arg[1] != ':') return false;
    const char prefix[] = {arg[0], ':', '\0'};
    return compare(prefix, "c:") == 0 && ParseHandle(arg + 2, owner);
}
}  // namespace

SaverMode ChooseMode(int argc, const char* const* argv, KeywordCompare compare) {
    if (argc == 1) return SaverMode::Settings;
    const char* const arg = SwitchText(argc, argv);
    if (!arg) return SaverMode::None;
    for (const Keyword& k : kKeywords)
        if (compare(arg, k.text) == 0) return k.mode;
    uint32_t owner = 0;
    if (ParseOwnedSettings(arg, compare, owner)) return SaverMode::Settings;
    return SaverMode::None;
}

uint32_t SettingsOwner(int argc, const char* const* argv, KeywordCompare compare) {
    const char* const arg = SwitchText(argc, argv);
    uint32_t owner = 0;
    return arg && ParseOwnedSettings(arg, compare, owner) ? owner : 0;
}

uint32_t PreviewParent(int argc, const char* const* argv, KeywordCompare compare) {
    uint32_t parent = 0;
    if (ChooseMode(argc, argv, compare) != SaverMode::Preview || argc < 3 || !argv[2]) return 0;
    return ParseHandle(argv[2], parent) ? parent : 0;
}

int AsciiCompareNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const int ca = Fold(static_cast<unsigned char>(*a));
        const int cb = Fold(static_cast<unsigned char>(*b));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}
