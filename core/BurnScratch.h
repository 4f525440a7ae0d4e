#pragma once
// The rows the fast propagation step draws a row's moves and cooling into. Each engine keeps
// its own, so that fires in one process never share them and a step allocates nothing once
// a size has been seen.
#include <cstdint>
#include <vector>

struct BurnScratch {
    std::vector<int8_t> move;
    std::vector<uint8_t> cool;
};
