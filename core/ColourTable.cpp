#include "ColourTable.h"

#include <algorithm>

namespace {
constexpr RgbQuad Q(uint8_t red, uint8_t green, uint8_t blue) { return RgbQuad{blue, green, red, 0}; }

// Entries 16..239 are always replaced by the gradient, so only the ends are spelled out.
constexpr ColourTable MakeBaseColors() {
    ColourTable t{};
    const RgbQuad low[16] = {Q(0, 0, 0),       Q(128, 0, 0),     Q(0, 128, 0),     Q(128, 128, 0),
                             Q(0, 0, 128),     Q(128, 0, 128),   Q(0, 128, 128),   Q(192, 192, 192),
                             Q(192, 220, 192), Q(166, 202, 240), Q(238, 238, 238), Q(221, 221, 221),
                             Q(204, 204, 204), Q(187, 187, 187), Q(170, 170, 170), Q(153, 153, 153)};
    const RgbQuad high[16] = {Q(0, 0, 119),     Q(0, 0, 102),     Q(0, 0, 85),    Q(0, 0, 68),
                              Q(0, 0, 51),      Q(0, 0, 34),      Q(255, 251, 240), Q(160, 160, 164),
                              Q(128, 128, 128), Q(255, 0, 0),     Q(0, 255, 0),   Q(255, 255, 0),
                              Q(0, 0, 255),     Q(255, 0, 255),   Q(0, 255, 255), Q(255, 255, 255)};
    for (int n = 0; n < 16; ++n) {
        t[n] = low[n];
        t[240 + n] = high[n];
    }
    return t;
}
}  // namespace

const ColourTable g_rgbBaseColors = MakeBaseColors();

ColourTable BuildColourTable(int32_t fireType) {
    ColourTable table = g_rgbBaseColors;
    // Each channel starts 256 apart, so the ramps follow one another 64 entries apart.
    int32_t red = 767, green = 511, blue = 255;
    if (fireType == 1) {
        red = 511;
        green = 767;
        blue = 255;
    } else if (fireType == 2) {
        red = 255;
        green = 511;
        blue = 767;
    }
    const auto lower = [](int32_t v) { return v <= 3 ? 0 : v - 4; };
    for (int e = 239; e >= 16; --e) {
        table[e].red = uint8_t(std::min(red, 255));
        table[e].green = uint8_t(std::min(green, 255));
        table[e].blue = uint8_t(std::min(blue, 255));
        red = lower(red);
        green = lower(green);
        blue = lower(blue);
    }
    return table;
}

Colour GlowColour(int32_t fireType, uint8_t glow) {
    if (fireType == 1) return MakeColour(0, glow, 0);
    if (fireType == 2) return MakeColour(0, 0, glow);
    return MakeColour(glow, 0, 0);
}
