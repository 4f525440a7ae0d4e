#pragma once
// TrueColor pixels from the fire's 256 colours and back, through a visual's channel masks.
// Plain integers, so that depths 16, 24 and 32 are checked without a server.
#include <array>
#include <cstdint>
#include <optional>

class NearestColour;

struct Rgb {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
};

using Rgb256 = std::array<Rgb, 256>;
using Pixel256 = std::array<uint32_t, 256>;

class PixelFormat {
public:
    // None when a mask is empty, has gaps, or overlaps another. Bits of the depth outside
    // the three masks (the alpha of a 32-bit visual) are set in every pixel: opaque.
    static std::optional<PixelFormat> FromMasks(uint32_t red, uint32_t green, uint32_t blue, int depth);

    uint32_t Encode(Rgb c) const;
    // The bits of the three colours, and the bits set in every pixel besides them.
    uint32_t ColourBits() const;
    uint32_t Opaque() const { return m_opaque; }
    // Each channel widened back to 8 bits by repeating its top bits, so full scale stays 255.
    Rgb Decode(uint32_t pixel) const;

private:
    struct Channel {
        uint32_t shift;
        uint32_t bits;
    };
    PixelFormat(Channel r, Channel g, Channel b, uint32_t opaque) : m_red(r), m_green(g), m_blue(b), m_opaque(opaque) {}
    static std::optional<Channel> FromMask(uint32_t mask);
    static uint32_t EncodeChannel(Channel ch, uint8_t value);
    static uint8_t DecodeChannel(Channel ch, uint32_t pixel);

    Channel m_red, m_green, m_blue;
    uint32_t m_opaque;
};

Pixel256 MapColours(const PixelFormat& format, const Rgb256& colours);

// A capture: rows of 16- or 32-bit pixels in host byte order, top row first, into colour
// indices, bottom row first; with `captured`, each pixel also as it was, packed with its
// index (Compose.h), top row first.
void ReduceToBottomUp(const uint8_t* src, int32_t srcStride, int32_t width, int32_t height,
                      int32_t bytesPerPixel, const PixelFormat& format, NearestColour& nearest,
                      uint8_t* dst, int32_t dstStride, uint32_t* captured = nullptr, int64_t capturedStride = 0);
