#pragma once
// What the fire engine needs from the platform and cannot do with bytes alone.
// The window implements it with GDI; tests and tools implement it in memory.
#include <cstddef>

#include "FireTypes.h"

// One line of a firefly step, in window coordinates.
struct FlyStroke {
    FirePoint from;
    FirePoint to;
    bool glow;  // drawn with the glow pen; otherwise with the dark pen
};

class FirePlatform {
public:
    virtual ~FirePlatform() = default;

    // Width and height of the screen in pixels.
    virtual FireSize ScreenSize() = 0;
    // Copies the block of the screen at topLeft into the background buffer, then the output buffer.
    virtual void CaptureScreen(FirePoint topLeft, FireSize size) = 0;
    // Fills the background buffer, then the output buffer, with black.
    virtual void FillBlack(FireSize size) = 0;
    // Paints the whole window black.
    virtual void BlankWindow() = 0;
    // Draws one firefly step: both pens are made for the step and deleted after it.
    virtual void DrawFly(int32_t penWidth, Colour dark, Colour glow, const FlyStroke* strokes,
                         std::size_t count) = 0;
    // Copies the output buffer to the window at `at`.
    virtual void PresentOutput(FirePoint at, FireSize size) = 0;
    // Whether the palette object exists; nothing is drawn without it.
    virtual bool HasPalette() const = 0;
};
