#pragma once
// What a screen without a palette shows of a fire box. A cell whose output and background
// bytes both still hold the index its capture gave it shows the screen pixels captured there,
// at full resolution; every other cell (flames, the black a dying fire leaves, scorched
// background, a black fill) shows its output byte's colour. Every host composes through this.
#include <array>
#include <cstdint>

#include "FireBand.h"
#include "FireTypes.h"

// The 256 colours as a target's own pixel values.
using ScreenColours = std::array<uint32_t, 256>;

// A captured screen pixel: the target's own pixel value in the low 24 bits, the index its cell
// was captured as in the top byte. A target whose colours need the top byte keeps no capture.
constexpr uint32_t kCapturedColourBits = 0x00FFFFFFu;
constexpr uint32_t PackCaptured(uint32_t pixel, uint8_t index) {
    return (pixel & kCapturedColourBits) | uint32_t(index) << 24;
}

// The fire box as the rule reads it.
struct BoxPixels {
    // The output and background buffers: bottom row first, `stride` bytes a row.
    const uint8_t* out = nullptr;
    const uint8_t* back = nullptr;
    int64_t stride = 0;
    FireSize box{0, 0};
    // Screen pixels per cell, each way.
    int32_t scale = 1;
    // The last capture of the box at full resolution, top row first, `capturedStride` values a
    // row; null while the box holds no capture (a black fill, a palette screen).
    const uint32_t* captured = nullptr;
    int64_t capturedStride = 0;
};

// Writes the band's cells as scale x scale blocks of target pixels. `to` is where the band's
// top-left block begins, `toStride` the target's pixels a row; captured pixels get `fill`
// (the target's bits outside its colours, such as an opaque alpha) in their top byte's place.
void ComposeBand(const BoxPixels& box, const FireBand& band, const ScreenColours& colours, uint32_t fill,
                 uint32_t* to, int64_t toStride);
// The same for 16-bit targets, whose colours lie in the low 16 bits.
void ComposeBand(const BoxPixels& box, const FireBand& band, const ScreenColours& colours, uint32_t fill,
                 uint16_t* to, int64_t toStride);
