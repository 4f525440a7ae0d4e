#pragma once
// The three byte surfaces of a host that keeps its pixels in plain memory. Each is its own
// allocation of exactly the planned size, so that the sanitizers see any access past it.
#include <cstdint>
#include <vector>

#include "FirePlatform.h"

class SurfaceBuffers {
public:
    // Frees the old surfaces first, then makes zeroed ones for the plan; none without one.
    FireBuffers Make(const SurfacePlan& plan);
    void Release();

    int32_t stride() const { return m_stride; }

    std::vector<uint8_t> back, heat, out;

private:
    int32_t m_stride = 0;
};
