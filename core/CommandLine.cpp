#include "CommandLine.h"

namespace {
struct Keyword {
    const char* text;
    SaverMode mode;
};
constexpr Keyword kKeywords[] = {
    {"c", SaverMode::Settings}, {"p", SaverMode::Preview}, {"s", SaverMode::FullScreen}};

int Fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }
}  // namespace

SaverMode ChooseMode(int argc, const char* const* argv, KeywordCompare compare) {
    if (argc == 1) return SaverMode::Settings;
    if (argc < 1 || !argv || !argv[1]) return SaverMode::None;
    const char* arg = argv[1];
    if (*arg == '-' || *arg == '/') ++arg;
    for (const Keyword& k : kKeywords)
        if (compare(arg, k.text) == 0) return k.mode;
    return SaverMode::None;
}

int AsciiCompareNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const int ca = Fold(static_cast<unsigned char>(*a));
        const int cb = Fold(static_cast<unsigned char>(*b));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}
