#pragma once
// The fire's 256-entry colour table: fixed system colours around a gradient from
// cold black (16) to white-hot (239) in the colours of the fire type.
#include <array>

#include "FireTypes.h"

using ColourTable = std::array<RgbQuad, 256>;

extern const ColourTable g_rgbBaseColors;

// Fire types: 0 "Wood", 1 "Kryptonite", 2 "Natural Gas"; any other value draws as Wood.
ColourTable BuildColourTable(int32_t fireType);

// Colour of the firefly at a brightness, in the fire type's first channel.
Colour GlowColour(int32_t fireType, uint8_t glow);
