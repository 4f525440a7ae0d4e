#include "SurfaceBuffers.h"

FireBuffers SurfaceBuffers::Make(const SurfacePlan& plan) {
    Release();
    m_stride = plan.stride;
    const std::size_t size = plan.Bytes();
    if (!size) return FireBuffers{};
    back.assign(size, 0);
    heat.assign(size, 0);
    out.assign(size, 0);
    return FireBuffers{back.data(), heat.data(), out.data()};
}

void SurfaceBuffers::Release() {
    // Swapped out, not cleared: a pointer kept past the release then points at freed memory.
    for (auto* buffer : {&back, &heat, &out}) std::vector<uint8_t>().swap(*buffer);
    m_stride = 0;
}
