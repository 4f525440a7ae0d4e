#pragma once
// Which mode the command line asks for. The keyword comparison is the caller's: the
// program passes lstrcmpiA, other builds an ASCII comparison.

enum class SaverMode { Settings, Preview, FullScreen, None };

// Case-insensitive comparison of two strings; 0 means equal.
using KeywordCompare = int (*)(const char* a, const char* b);

// argc counts the program name. No argument means settings; otherwise the first argument,
// without one leading '-' or '/', must be exactly "c", "p" or "s" (compared in that order).
SaverMode ChooseMode(int argc, const char* const* argv, KeywordCompare compare);

// ASCII letters fold to lower case; every other byte compares as itself.
int AsciiCompareNoCase(const char* a, const char* b);
