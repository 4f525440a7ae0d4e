#pragma once
// Which mode the command line asks for. The keyword comparison is the caller's: the
// program passes lstrcmpiA, other builds an ASCII comparison.

#include <cstdint>

enum class SaverMode { Settings, Preview, FullScreen, None };

// Case-insensitive comparison of two strings; 0 means equal.
using KeywordCompare = int (*)(const char* a, const char* b);

// argc counts the program name. No argument means settings; otherwise the first argument,
// without one leading '-' or '/', must be exactly "c", "p" or "s" (compared in that order),
// or "c:" and a decimal window handle, which also means settings.
SaverMode ChooseMode(int argc, const char* const* argv, KeywordCompare compare);

// The window that a first argument "c:HANDLE" names: the Screen Saver settings' button starts
// the saver so from Windows XP on, and its window should own the dialog. 0 for every other
// command line, and for a number too large for a window handle.
uint32_t SettingsOwner(int argc, const char* const* argv, KeywordCompare compare);

// The host window that "p HANDLE" names, by the same rules as "c:HANDLE"; 0 for every
// other command line, for a second argument that is not only decimal digits, and for a number
// too large for a window handle.
uint32_t PreviewParent(int argc, const char* const* argv, KeywordCompare compare);

// ASCII letters fold to lower case; every other byte compares as itself.
int AsciiCompareNoCase(const char* a, const char* b);
