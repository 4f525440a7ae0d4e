#include "PixelFormat.h"

#include <cstring>

#include "Compose.h"
#include "NearestColour.h"

namespace {
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

uint32_t PixelFormat::ColourBits() const {
    const auto bits = [](Channel ch) { return (ch.bits >= 32 ? 0xFFFFFFFFu : (1u << ch.bits) - 1u) << ch.shift; };
    return bits(m_red) | bits(m_green) | bits(m_blue);
}

Rgb PixelFormat::Decode(uint32_t pixel) const {
    return Rgb{DecodeChannel(m_red, pixel), DecodeChannel(m_green, pixel), DecodeChannel(m_blue, pixel)};
}

Pixel256 MapColours(const PixelFormat& format, const Rgb256& colours) {
    Pixel256 pixels{};
    for (std::size_t i = 0; i < colours.size(); ++i) pixels[i] = format.Encode(colours[i]);
    return pixels;
}

void ReduceToBottomUp(const uint8_t* src, int32_t srcStride, int32_t width, int32_t height,
                      int32_t bytesPerPixel, const PixelFormat& format, NearestColour& nearest,
                      uint8_t* dst, int32_t dstStride, uint32_t* captured, int64_t capturedStride) {
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* in = src + std::ptrdiff_t(y) * srcStride;
        uint8_t* out = dst + std::ptrdiff_t(height - 1 - y) * dstStride;
        uint32_t* kept = captured ? captured + y * capturedStride : nullptr;
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t pixel = Load(in + std::ptrdiff_t(x) * bytesPerPixel, bytesPerPixel);
            const Rgb c = format.Decode(pixel);
            out[x] = nearest.Index(c.red, c.green, c.blue);
            if (kept) kept[x] = PackCaptured(pixel, out[x]);
        }
    }
}
