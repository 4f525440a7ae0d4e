#pragma once
// Plain value types shared by the fire engine and the code that hosts it.
#include <cstdint>

// A colour table entry in the byte order of the bitmap colour tables: blue, green, red, reserved.
struct RgbQuad {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t reserved;
};

struct FirePoint {
    int32_t x;
    int32_t y;
};

struct FlyPoint {
    float x;
    float y;
};

struct FireSize {
    int32_t cx;
    int32_t cy;
};

// 0x00BBGGRR, the layout of a Win32 COLORREF.
using Colour = uint32_t;

constexpr Colour MakeColour(uint8_t red, uint8_t green, uint8_t blue) {
    return Colour(red) | (Colour(green) << 8) | (Colour(blue) << 16);
}

// Row length in bytes of an 8-bit surface: rows are padded to whole 32-bit words. In 64 bits,
// so that any width the platform reports has one.
constexpr int64_t SurfaceStride(int32_t width) { return ((int64_t(width) * 8 + 31) / 32) * 4; }
