#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "NearestColour.h"

namespace {

ColourTable Ramp() {
    ColourTable t{};
    for (int i = 0; i < 256; ++i) t[std::size_t(i)] = RgbQuad{uint8_t(i * 7), uint8_t(255 - i), uint8_t(i), 0};
    return t;
}

TEST(NearestColour, IsExactForTableColoursAndCloseForOthers) {
    const ColourTable t = Ramp();
    NearestColour nearest(t);
    for (int i = 0; i < 256; ++i) {
        const RgbQuad& c = t[std::size_t(i)];
        ASSERT_EQ(nearest.Index(c.red, c.green, c.blue), i) << "table entry " << i;
    }

    ColourTable dup = t;
    dup[200] = dup[10];
    NearestColour first(dup);
    EXPECT_EQ(first.Index(dup[200].red, dup[200].green, dup[200].blue), 10)
        << "a colour held twice gives its first index";

    // Off-table colours: the answer is no further off than a 5-bit cell allows.
    struct Colour3 {
        uint8_t red, green, blue;
    };
    const Colour3 others[] = {{1, 250, 9}, {128, 128, 128}, {255, 0, 255}, {3, 3, 3}};
    for (const Colour3& c : others) {
        const uint8_t index = nearest.Index(c.red, c.green, c.blue);
        const RgbQuad& g = t[index];
        const int d = std::abs(g.red - c.red) + std::abs(g.green - c.green) + std::abs(g.blue - c.blue);
        int best = 1 << 30;
        for (const RgbQuad& e : t)
            best = std::min(best, std::abs(e.red - c.red) + std::abs(e.green - c.green) + std::abs(e.blue - c.blue));
        EXPECT_LE(d, best + 24) << "colour " << int(c.red) << "," << int(c.green) << "," << int(c.blue) << " gave "
                                << int(index) << " at distance " << d << ", best " << best;
    }
}

}  // namespace
