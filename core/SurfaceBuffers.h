#pragma once
// The byte surfaces of a host that keeps its pixels in plain memory: the three buffers, each
// its own allocation of exactly the planned size, so that the sanitizers see any access past
// it, and the box's last capture in full colour where the host's screen has no palette.
#include <cstdint>
#include <vector>

#include "Compose.h"
#include "FirePlatform.h"

class SurfaceBuffers {
public:
    // Frees the old surfaces first, then makes zeroed ones for the plan; none without one.
    FireBuffers Make(const SurfacePlan& plan);
    void Release();

    int32_t stride() const { return m_stride; }
    FireSize box() const { return m_box; }

    // Room for a capture of the whole box at `scale` screen pixels a cell (Compose.h says what
    // each value holds), top row first; null, and no capture, where there is no room.
    uint32_t* MakeCapture(int32_t scale);
    // A black fill: the box holds no capture any more.
    void DropCapture() { m_captureScale = 0; }
    // The box as the compose rule reads it when shown at `scale`.
    BoxPixels Pixels(int32_t scale) const;

    std::vector<uint8_t> back, heat, out;
    std::vector<uint32_t> captured;

private:
    int32_t m_stride = 0;
    FireSize m_box{0, 0};
    // The scale of the capture the box holds; 0 for none.
    int32_t m_captureScale = 0;
};
