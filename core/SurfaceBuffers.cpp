#include "SurfaceBuffers.h"

#include "Placement.h"

FireBuffers SurfaceBuffers::Make(const SurfacePlan& plan) {
    Release();
    m_stride = plan.stride;
    const std::size_t size = plan.Bytes();
    if (!size) return FireBuffers{};
    m_box = plan.box;
    back.assign(size, 0);
    heat.assign(size, 0);
    out.assign(size, 0);
    return FireBuffers{back.data(), heat.data(), out.data()};
}

void SurfaceBuffers::Release() {
    // Swapped out, not cleared: a pointer kept past the release then points at freed memory.
    for (auto* buffer : {&back, &heat, &out}) std::vector<uint8_t>().swap(*buffer);
    std::vector<uint32_t>().swap(captured);
    m_stride = 0;
    m_box = FireSize{0, 0};
    m_captureScale = 0;
}

uint32_t* SurfaceBuffers::MakeCapture(int32_t scale) {
    m_captureScale = 0;
    const int64_t cx = int64_t(m_box.cx) * scale, cy = int64_t(m_box.cy) * scale;
    // No wider or higher than a surface may be.
    if (out.empty() || scale < 1 || cx > kMaxSurfaceSide || cy > kMaxSurfaceSide) return nullptr;
    captured.resize(std::size_t(cx) * std::size_t(cy));
    m_captureScale = scale;
    return captured.data();
}

BoxPixels SurfaceBuffers::Pixels(int32_t scale) const {
    BoxPixels pixels;
    pixels.out = out.data();
    pixels.back = back.data();
    pixels.stride = m_stride;
    pixels.box = m_box;
    pixels.scale = scale;
    if (m_captureScale == scale && scale > 0) {
        pixels.captured = captured.data();
        pixels.capturedStride = int64_t(m_box.cx) * scale;
    }
    return pixels;
}
