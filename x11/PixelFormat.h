#pragma once
// TrueColor pixels from the fire's 256 colours and back, through a visual's channel masks.
// Plain integers, so that depths 16, 24 and 32 are checked without a server.
#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>

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

// How a screen capture lands in the fire's 8-bit buffers: a table colour gives its first
// index, so fires drawn earlier read back exactly; any other colour gives the table colour
// nearest to its 15-bit cell, remembered per cell.
class NearestColour {
public:
    explicit NearestColour(const Rgb256& colours);
    uint8_t Index(Rgb c);

private:
    Rgb256 m_colours;
    std::unordered_map<uint32_t, uint8_t> m_exact;
    std::array<uint16_t, 1 << 15> m_cache;
};

// Fills rows of 16- or 32-bit pixels in host byte order, top row first, from an 8-bit
// buffer stored bottom row first.
void ExpandBottomUp(const uint8_t* src, int32_t srcStride, int32_t width, int32_t height,
                    const Pixel256& pixels, uint8_t* dst, int32_t dstStride, int32_t bytesPerPixel);

// The reverse for a capture: pixels top row first into colour indices bottom row first.
void ReduceToBottomUp(const uint8_t* src, int32_t srcStride, int32_t width, int32_t height,
                      int32_t bytesPerPixel, const PixelFormat& format, NearestColour& nearest,
                      uint8_t* dst, int32_t dstStride);
