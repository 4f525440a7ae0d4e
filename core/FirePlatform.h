#pragma once
// What the fire engine needs from the platform and cannot do with bytes alone.
// The window implements it with GDI; tests and tools implement it in memory.
#include <cstddef>

#include "FireTypes.h"
#include "MonitorLayout.h"

// One line of a firefly step, in window coordinates.
struct FlyStroke {
    FirePoint from;
    FirePoint to;
    bool glow;  // drawn with the glow pen; otherwise with the dark pen
};

class FirePlatform {
public:
    virtual ~FirePlatform() = default;

    // The monitors, in screen coordinates. The full-screen window covers their bounds.
    virtual MonitorLayout Monitors() = 0;
    // Copies the block of size x scale screen pixels at topLeft (screen coordinates) into
    // the size pixels of the background buffer, then of the output buffer, one pixel of
    // each scale x scale block.
    virtual void CaptureScreen(FirePoint topLeft, FireSize size, int32_t scale) = 0;
    // Fills the background buffer, then the output buffer, with black.
    virtual void FillBlack(FireSize size) = 0;
    // Paints the whole window black.
    virtual void BlankWindow() = 0;
    // Draws one firefly step: both pens are made for the step and deleted after it.
    virtual void DrawFly(int32_t penWidth, Colour dark, Colour glow, const FlyStroke* strokes,
                         std::size_t count) = 0;
    // Copies the output buffer to the window at `at`, each pixel a scale x scale block.
    virtual void PresentOutput(FirePoint at, FireSize size, int32_t scale) = 0;
    // Whether the palette object exists; nothing is drawn without it.
    virtual bool HasPalette() const = 0;
};
