#pragma once
// Small arithmetic rules shared by ignition and the firefly.
#include <cstdint>

// Largest width or height of a fire surface; beyond it no buffers are made.
constexpr int32_t kMaxSurfaceSide = 32767;

// rand() % extent, kept at 0 when the platform reports an empty screen.
constexpr int32_t RandomCoordinate(int32_t r, int32_t extent) { return extent > 0 ? r % extent : 0; }

// A random box position along one axis: not below 0, then not past the far edge. The far
// clamp comes last, so a screen smaller than the box gives a negative position. The far
// edge is worked out in 64 bits, so that a nonsensical screen size still places the box.
constexpr int32_t PlaceBox(int32_t r, int32_t screenExtent, int32_t boxExtent) {
    int64_t p = RandomCoordinate(r, screenExtent);
    if (p < 0) p = 0;
    if (p > int64_t(screenExtent) - boxExtent) p = int64_t(screenExtent) - boxExtent;
    return p < INT32_MIN ? INT32_MIN : int32_t(p);
}

// Truncation toward zero for drawing, saturated so that a far-flown point stays defined.
constexpr int32_t TruncToInt(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return int32_t(v);
}
