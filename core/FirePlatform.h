#pragma once
// What the fire engine needs from the platform and cannot do with bytes alone.
// The window implements it with GDI; tests and tools implement it in memory.
#include <cstddef>

#include "ColourTable.h"
#include "FireBand.h"
#include "FireTypes.h"
#include "MonitorLayout.h"

// What a restart makes room for, as the engine decides it: the fire box, the bytes of one
// row, and whether that box gets surfaces at all.
struct SurfacePlan {
    FireSize box{0, 0};
    int32_t stride = 0;
    bool surfaces = false;
    // Bytes of each of the three buffers; 0 for a plan without surfaces.
    std::size_t Bytes() const { return surfaces ? std::size_t(stride) * std::size_t(box.cy) : 0; }
};

// The pixel buffers a host lends the engine, stride x rows bytes each, bottom row first.
struct FireBuffers {
    uint8_t* back = nullptr;
    uint8_t* heat = nullptr;
    uint8_t* out = nullptr;
    bool Complete() const { return back && heat && out; }
};

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
    // each scale x scale block. A screen without a palette also keeps the block's pixels, for
    // the cells that stay untouched to show them (Compose.h).
    virtual void CaptureScreen(FirePoint topLeft, FireSize size, int32_t scale) = 0;
    // Fills the background buffer, then the output buffer, with black; the box then holds no
    // capture.
    virtual void FillBlack(FireSize size) = 0;
    // Paints the whole window black.
    virtual void BlankWindow() = 0;
    // Draws one firefly step: both pens are made for the step and deleted after it.
    virtual void DrawFly(int32_t penWidth, Colour dark, Colour glow, const FlyStroke* strokes,
                         std::size_t count) = 0;
    // Copies the cells of `band` (never empty, inside the box) of the output buffer to the
    // window, the box's top-left corner at `at`, each cell a scale x scale block. The rest of
    // the window already shows what the buffer holds.
    virtual void PresentOutput(FirePoint at, FireSize size, int32_t scale, const FireBand& band) = 0;

    // The two steps of a restart, in this order. First the new colours: the host makes
    // whatever shows them, and says false when it cannot; nothing is drawn until the next
    // restart then.
    virtual bool UseColours(const ColourTable& colours) = 0;
    // Then the surfaces: the old ones go (the engine has let go of them) and those of the
    // plan are made. A plan without surfaces, or a surface that cannot be made, gives none.
    virtual FireBuffers MakeSurfaces(const SurfacePlan& plan) = 0;
};
