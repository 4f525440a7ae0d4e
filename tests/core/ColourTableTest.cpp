#include <gtest/gtest.h>

#include "ColourTable.h"

namespace {

struct Rgb {
    int red, green, blue;
};
bool operator==(const Rgb& a, const Rgb& b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }
std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << c.red << ", " << c.green << ", " << c.blue << ")";
}
Rgb Of(const RgbQuad& q) { return Rgb{q.red, q.green, q.blue}; }

TEST(ColourTable, TellingEntriesOfEachFireType) {
    struct Row {
        int entry;
        Rgb wood, kryptonite, gas;
    };
    const Row rows[] = {
        {16, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
        {47, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
        {48, {3, 0, 0}, {0, 3, 0}, {0, 0, 3}},
        {49, {7, 0, 0}, {0, 7, 0}, {0, 0, 7}},
        {100, {211, 0, 0}, {0, 211, 0}, {0, 0, 211}},
        {110, {251, 0, 0}, {0, 251, 0}, {0, 0, 251}},
        {111, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}},
        {112, {255, 3, 0}, {3, 255, 0}, {0, 3, 255}},
        {150, {255, 155, 0}, {155, 255, 0}, {0, 155, 255}},
        {175, {255, 255, 0}, {255, 255, 0}, {0, 255, 255}},
        {176, {255, 255, 3}, {255, 255, 3}, {3, 255, 255}},
        {200, {255, 255, 99}, {255, 255, 99}, {99, 255, 255}},
        {238, {255, 255, 251}, {255, 255, 251}, {251, 255, 255}},
        {239, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}},
    };
    const ColourTable wood = BuildColourTable(0), kryptonite = BuildColourTable(1), gas = BuildColourTable(2);
    for (const Row& r : rows) {
        EXPECT_EQ(Of(wood[r.entry]), r.wood) << "Wood entry " << r.entry;
        EXPECT_EQ(Of(kryptonite[r.entry]), r.kryptonite) << "Kryptonite entry " << r.entry;
        EXPECT_EQ(Of(gas[r.entry]), r.gas) << "Natural Gas entry " << r.entry;
    }
}

TEST(ColourTable, UnknownTypesDrawAsWood) {
    const ColourTable wood = BuildColourTable(0);
    for (int32_t type : {3, 100, -1, INT32_MIN, INT32_MAX}) {
        const ColourTable t = BuildColourTable(type);
        for (int e = 0; e < 256; ++e) ASSERT_EQ(Of(t[e]), Of(wood[e])) << "type " << type << " entry " << e;
        EXPECT_EQ(GlowColour(type, 77), MakeColour(77, 0, 0)) << "type " << type;
    }
    EXPECT_EQ(GlowColour(1, 77), MakeColour(0, 77, 0));
    EXPECT_EQ(GlowColour(2, 77), MakeColour(0, 0, 77));
}

TEST(ColourTable, FixedEndsAndGradientSteps) {
    const Rgb low0{0, 0, 0}, low9{166, 202, 240}, high240{0, 0, 119}, high246{255, 251, 240}, high255{255, 255, 255};
    for (int32_t type : {0, 1, 2}) {
        const ColourTable t = BuildColourTable(type);
        for (int e = 0; e < 256; ++e) {
            EXPECT_EQ(t[e].reserved, 0) << "type " << type << " entry " << e;
            if (e < 16 || e >= 240) {
                EXPECT_EQ(Of(t[e]), Of(g_rgbBaseColors[e])) << "type " << type << " entry " << e;
                continue;
            }
            for (int channel : {t[e].red, t[e].green, t[e].blue}) {
                // A ramp runs 3, 7, ..., 251 and then jumps to 255: never 1 or 2.
                const bool onRamp = channel == 0 || channel == 255 || channel % 4 == 3;
                EXPECT_TRUE(onRamp) << "type " << type << " entry " << e << " has channel value " << channel;
            }
        }
        EXPECT_EQ(Of(t[0]), low0);
        EXPECT_EQ(Of(t[9]), low9);
        EXPECT_EQ(Of(t[240]), high240);
        EXPECT_EQ(Of(t[246]), high246);
        EXPECT_EQ(Of(t[255]), high255);
    }
}

}  // namespace
