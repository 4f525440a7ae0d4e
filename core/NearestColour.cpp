#include "NearestColour.h"

namespace {
constexpr uint16_t kUnknown = 0xFFFF;

uint32_t Key24(uint8_t red, uint8_t green, uint8_t blue) { return uint32_t(red) << 16 | uint32_t(green) << 8 | blue; }
}  // namespace

NearestColour::NearestColour(const ColourTable& colours) : m_colours(colours) {
    m_cache.fill(kUnknown);
    for (int32_t i = 255; i >= 0; --i) {
        const RgbQuad& c = colours[std::size_t(i)];
        m_exact[Key24(c.red, c.green, c.blue)] = uint8_t(i);
    }
}

uint8_t NearestColour::Index(uint8_t red, uint8_t green, uint8_t blue) {
    const auto exact = m_exact.find(Key24(red, green, blue));
    if (exact != m_exact.end()) return exact->second;
    const uint32_t key = uint32_t(red >> 3) << 10 | uint32_t(green >> 3) << 5 | uint32_t(blue >> 3);
    uint16_t& cached = m_cache[key];
    if (cached != kUnknown) return uint8_t(cached);
    // The middle of the 5-bit cell stands for every colour in it.
    const int32_t r = int32_t(red & 0xF8) | 4, g = int32_t(green & 0xF8) | 4, b = int32_t(blue & 0xF8) | 4;
    int32_t best = 0;
    int32_t bestDistance = INT32_MAX;
    for (int32_t i = 0; i < 256; ++i) {
        const RgbQuad& t = m_colours[std::size_t(i)];
        const int32_t dr = r - t.red, dg = g - t.green, db = b - t.blue;
        const int32_t d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    cached = uint16_t(best);
    return uint8_t(best);
}
