#pragma once
// The engine's state after a run, for tools that compare fires byte by byte: the three
// surfaces and the base line as they lie in memory, and the counters as `name value` lines.
#include <cstdint>
#include <string>

#include "FireEngine.h"

// Creates `dir` when missing; false with `error` set when something could not be written.
bool WriteDump(const std::string& dir, const FireState& engine, int64_t ignitions, std::string& error);
