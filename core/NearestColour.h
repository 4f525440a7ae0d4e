#pragma once
// How a screen colour lands in the fire's 8-bit buffers where the host maps colours itself: a
// table colour gives its first index, so fires drawn earlier read back exactly; any other
// colour gives the table colour nearest to its 15-bit cell, remembered per cell.
#include <array>
#include <cstdint>
#include <unordered_map>

#include "ColourTable.h"

class NearestColour {
public:
    explicit NearestColour(const ColourTable& colours);
    uint8_t Index(uint8_t red, uint8_t green, uint8_t blue);

private:
    ColourTable m_colours;
    std::unordered_map<uint32_t, uint8_t> m_exact;
    std::array<uint16_t, 1 << 15> m_cache;
};
