#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Compose.h"
#include "NearestColour.h"
#include "PixelFormat.h"

namespace {

struct Visual {
    const char* name;
    uint32_t red, green, blue;
    int depth;
    int32_t bytesPerPixel;
};
// Depth 24 and 32 share masks and 4-byte pixels; 16 is 5-6-5 in 2 bytes; BGR order too.
constexpr Visual kVisuals[] = {
    {"depth 24 RGB", 0xFF0000, 0x00FF00, 0x0000FF, 24, 4},
    {"depth 24 BGR", 0x0000FF, 0x00FF00, 0xFF0000, 24, 4},
    {"depth 16 565", 0xF800, 0x07E0, 0x001F, 16, 2},
    {"depth 15 555", 0x7C00, 0x03E0, 0x001F, 15, 2},
    {"depth 32 ARGB", 0xFF0000, 0x00FF00, 0x0000FF, 32, 4},
};

std::optional<PixelFormat> Format(const Visual& v) { return PixelFormat::FromMasks(v.red, v.green, v.blue, v.depth); }

TEST(PixelFormat, EncodesThroughTheMasks) {
    struct Case {
        int visual;
        Rgb colour;
        uint32_t want;
    };
    const Case cases[] = {
        {0, {0x12, 0x34, 0x56}, 0x123456}, {1, {0x12, 0x34, 0x56}, 0x563412}, {2, {255, 255, 255}, 0xFFFF},
        {2, {255, 0, 0}, 0xF800},          {2, {0, 255, 0}, 0x07E0},          {2, {0, 0, 255}, 0x001F},
        {2, {7, 3, 7}, 0x0000},            {2, {8, 4, 8}, 0x0821},            {3, {255, 128, 8}, 0x7E01},
        {4, {0, 0, 0}, 0xFF000000},        {4, {0x12, 0x34, 0x56}, 0xFF123456},
    };
    for (const Case& c : cases) {
        const Visual& v = kVisuals[c.visual];
        const auto f = Format(v);
        ASSERT_TRUE(f) << v.name;
        EXPECT_EQ(f->Encode(c.colour), c.want) << v.name << " colour " << int(c.colour.red) << ","
                                               << int(c.colour.green) << "," << int(c.colour.blue);
    }
}

TEST(PixelFormat, DecodeKeepsFullScaleAndRoundTripsEveryByteAt8Bits) {
    for (const Visual& v : kVisuals) {
        const auto f = Format(v);
        ASSERT_TRUE(f) << v.name;
        const Rgb white = f->Decode(f->Encode(Rgb{255, 255, 255}));
        EXPECT_EQ(white.red + white.green + white.blue, 3 * 255) << v.name;
        const Rgb black = f->Decode(f->Encode(Rgb{0, 0, 0}));
        EXPECT_EQ(black.red + black.green + black.blue, 0) << v.name;
    }
    const auto f = Format(kVisuals[0]);
    for (int i = 0; i < 256; ++i) {
        const Rgb c = f->Decode(f->Encode(Rgb{uint8_t(i), uint8_t(255 - i), uint8_t(i ^ 0x5A)}));
        ASSERT_EQ(c.red, i);
        ASSERT_EQ(c.green, 255 - i);
        ASSERT_EQ(c.blue, i ^ 0x5A);
    }
}

TEST(PixelFormat, RefusesMasksThatAreNotThreeSeparateRuns) {
    const uint32_t bad[][3] = {{0, 0xFF00, 0xFF}, {0xFF0000, 0xFF00, 0xFF01}, {0xF0F000, 0xF00, 0xF}, {0xFF, 0xFF, 0xFF00}};
    for (const auto& m : bad) EXPECT_FALSE(PixelFormat::FromMasks(m[0], m[1], m[2], 24)) << std::hex << m[0] << " " << m[1] << " " << m[2];
}

TEST(PixelFormat, BufferRoundTripFlipsRowsAndFindsTheIndices) {
    // A 3 x 2 buffer with padded rows, bottom row first, through every visual and back.
    const int32_t w = 3, h = 2, stride = 4;
    const uint8_t src[] = {0, 16, 239, 0xEE, 255, 48, 175, 0xEE};
    ColourTable table{};
    for (int i = 0; i < 256; ++i) table[std::size_t(i)] = RgbQuad{uint8_t(i), uint8_t(i), uint8_t(i), 0};
    table[16] = RgbQuad{0, 0, 0, 0};  // a second black: the lower index wins
    Rgb256 rgb{};
    for (std::size_t i = 0; i < 256; ++i) rgb[i] = Rgb{table[i].red, table[i].green, table[i].blue};
    for (const Visual& v : kVisuals) {
        const auto f = Format(v);
        const Pixel256 pixels = MapColours(*f, rgb);
        const int32_t pitch = 4 * v.bytesPerPixel;
        std::vector<uint8_t> image(std::size_t(pitch * h), 0xCD);
        BoxPixels box;
        box.out = box.back = src;
        box.stride = stride;
        box.box = FireSize{w, h};
        const FireBand all = FireBand::Whole(box.box);
        if (v.bytesPerPixel == 4)
            ComposeBand(box, all, pixels, f->Opaque(), reinterpret_cast<uint32_t*>(image.data()), 4);
        else
            ComposeBand(box, all, pixels, f->Opaque(), reinterpret_cast<uint16_t*>(image.data()), 4);
        // The top row of the image is the buffer's row 1.
        uint32_t first = 0;
        std::memcpy(&first, image.data(), std::size_t(v.bytesPerPixel));
        EXPECT_EQ(first, pixels[255]) << v.name;
        EXPECT_EQ(image[std::size_t(3 * v.bytesPerPixel)], 0xCD) << v.name << ": padding written";

        NearestColour nearest(table);
        uint8_t back[8] = {};
        uint32_t kept[6] = {};
        ReduceToBottomUp(image.data(), pitch, w, h, v.bytesPerPixel, *f, nearest, back, stride, kept, w);
        const uint8_t want[] = {0, 0, 239, 0, 255, 48, 175, 0};
        for (int i = 0; i < 8; ++i) {
            if (i % 4 == 3) continue;
            // 5- and 6-bit channels cannot tell neighbouring greys apart.
            const int slack = v.bytesPerPixel == 2 ? 8 : 0;
            EXPECT_NEAR(back[i], want[i], slack) << v.name << " at byte " << i;
        }
        // Each pixel is kept as the screen had it, with the index its cell got.
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint32_t pixel = 0;
                std::memcpy(&pixel, image.data() + y * pitch + x * v.bytesPerPixel, std::size_t(v.bytesPerPixel));
                EXPECT_EQ(kept[y * w + x], PackCaptured(pixel, back[(h - 1 - y) * stride + x]))
                    << v.name << " at (" << x << ", " << y << ")";
            }
    }
}

}  // namespace
