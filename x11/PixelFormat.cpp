#include "PixelFormat.h"

#include <cstring>

namespace {
constexpr uint16_t kUnknown = 0xFFFF;

uint32_t Load(const uint8_t* p, int32_t bytesPerPixel) {
    if (bytesPerPixel == 2) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
}  // namespace

std::optional<PixelFormat::Channel> PixelFormat::FromMask(uint32_t mask) {
    if (mask == 0) return std::nullopt;
    uint32_t shift = 0;
    while (!(mask >> shift & 1u)) ++shift;
    uint32_t bits = 0;
    while (shift + bits < 32 && (mask >> (shift + bits) & 1u)) ++bits;
    // A mask with a gap leaves set bits above the run.
    if (shift + bits < 32 && (mask >> (shift + bits)) != 0) return std::nullopt;
    return Channel{shift, bits};
}

std::optional<PixelFormat> PixelFormat::FromMasks(uint32_t red, uint32_t green, uint32_t blue, int depth) {
    if ((red & green) || (red & blue) || (green & blue)) return std::nullopt;
    const auto r = FromMask(red), g = FromMask(green), b = FromMask(blue);
    if (!r || !g || !b) return std::nullopt;
    const uint32_t all = depth >= 32 ? 0xFFFFFFFFu : depth <= 0 ? 0u : (1u << depth) - 1u;
    return PixelFormat(*r, *g, *b, all & ~(red | green | blue));
}

uint32_t PixelFormat::EncodeChannel(Channel ch, uint8_t value) {
    uint32_t v = value;
    if (ch.bits <= 8) {
        v >>= 8 - ch.bits;
    } else {
        // Wider than 8 bits (a 30-bit visual): repeat the byte to fill the channel.
        uint32_t wide = 0;
        for (int32_t filled = 0; filled < int32_t(ch.bits); filled += 8) wide = (wide << 8) | v;
        v = wide >> ((ch.bits + 7) / 8 * 8 - ch.bits);
    }
    return v << ch.shift;
}

uint8_t PixelFormat::DecodeChannel(Channel ch, uint32_t pixel) {
    const uint32_t v = (pixel >> ch.shift) & ((ch.bits >= 32 ? 0u : (1u << ch.bits)) - 1u);
    if (ch.bits >= 8) return uint8_t(v >> (ch.bits - 8));
    uint32_t out = 0;
    for (int32_t filled = 0; filled < 8; filled += int32_t(ch.bits)) out = (out << ch.bits) | v;
    return uint8_t(out >> ((8 + ch.bits - 1) / ch.bits * ch.bits - 8));
}

uint32_t PixelFormat::Encode(Rgb c) const {
    return EncodeChannel(m_red, c.red) | EncodeChannel(m_green, c.green) | EncodeChannel(m_blue, c.blue) | m_opaque;
}

Rgb PixelFormat::Decode(uint32_t pixel) const {
    return Rgb{DecodeChannel(m_red, pixel), DecodeChannel(m_green, pixel), DecodeChannel(m_blue, pixel)};
}

Pixel256 MapColours(const PixelFormat& format, const Rgb256& colours) {
    Pixel256 pixels{};
    for (std::size_t i = 0; i < colours.size(); ++i) pixels[i] = format.Encode(colours[i]);
    return pixels;
}

namespace {
uint32_t Key24(Rgb c) { return uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue; }
}  // namespace

NearestColour::NearestColour(const Rgb256& colours) : m_colours(colours) {
    m_cache.fill(kUnknown);
    for (int32_t i = 255; i >= 0; --i) m_exact[Key24(colours[std::size_t(i)])] = uint8_t(i);
}

uint8_t NearestColour::Index(Rgb c) {
    const auto exact = m_exact.find(Key24(c));
    if (exact != m_exact.end()) return exact->second;
    const uint32_t key = uint32_t(c.red >> 3) << 10 | uint32_t(c.green >> 3) << 5 | uint32_t(c.blue >> 3);
    uint16_t& cached = m_cache[key];
    if (cached != kUnknown) return uint8_t(cached);
    // The middle of the 5-bit cell stands for every colour in it.
    const int32_t r = int32_t(c.red & 0xF8) | 4, g = int32_t(c.green & 0xF8) | 4, b = int32_t(c.blue & 0xF8) | 4;
    int32_t best = 0;
    int32_t bestDistance = INT32_MAX;
    for (int32_t i = 0; i < 256; ++i) {
        const Rgb& t = m_colours[std::size_t(i)];
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

void ExpandBottomUp(const uint8_t* src, int32_t srcStride, int32_t width, int32_t height,
                    const Pixel256& pixels, uint8_t* dst, int32_t dstStride, int32_t bytesPerPixel) {
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* in = src + std::ptrdiff_t(height - 1 - y) * srcStride;
        uint8_t* out = dst + std::ptrdiff_t(y) * dstStride;
        if (bytesPerPixel == 4) {
            for (int32_t x = 0; x < width; ++x) std::memcpy(out + 4 * x, &pixels[in[x]], 4);
        } else {
            for (int32_t x = 0; x < width; ++x) {
                const uint16_t p = uint16_t(pixels[in[x]]);
                std::memcpy(out + 2 * x, &p, 2);
            }
        }
    }
}

void ReduceToBottomUp(const uint8_t* src, int32_t srcStride, int32_t width, int32_t height,
                      int32_t bytesPerPixel, const PixelFormat& format, NearestColour& nearest,
                      uint8_t* dst, int32_t dstStride) {
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* in = src + std::ptrdiff_t(y) * srcStride;
        uint8_t* out = dst + std::ptrdiff_t(height - 1 - y) * dstStride;
        for (int32_t x = 0; x < width; ++x)
            out[x] = nearest.Index(format.Decode(Load(in + std::ptrdiff_t(x) * bytesPerPixel, bytesPerPixel)));
    }
}
