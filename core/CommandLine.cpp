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

// "c:" followed by one or more decimal digits and nothing else.
bool ParseOwnedSettings(const char* arg, KeywordCompare compare, uint32_t& owner) {
    if (arg[0] == '\0' || arg[1] != ':') return false;
    const char prefix[] = {arg[0], ':', '\0'};
    if (compare(prefix, "c:") != 0 || arg[2] == '\0') return false;
    uint64_t value = 0;
    for (const char* d = arg + 2; *d; ++d) {
        if (*d < '0' || *d > '9') return false;
        if (value <= UINT32_MAX) value = value * 10 + static_cast<uint64_t>(*d - '0');
    }
    owner = value <= UINT32_MAX ? static_cast<uint32_t>(value) : 0;
    return true;
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

int AsciiCompareNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const int ca = Fold(static_cast<unsigned char>(*a));
        const int cb = Fold(static_cast<unsigned char>(*b));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}
