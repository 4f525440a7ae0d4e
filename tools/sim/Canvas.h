#pragma once
// The picture a fire window shows, top row first, as palette indices or (over a desktop
// picture) as full-colour pixels 0x00RRGGBB; it remembers which part changed since the last
// frame was taken so that frames can carry only that part.
#include <cstdint>
#include <vector>

#include "ColourTable.h"
#include "FireTypes.h"

struct PixelRect {
    int32_t x, y, cx, cy;
    bool Empty() const { return cx <= 0 || cy <= 0; }
};

template <class Pixel>
class BasicCanvas {
public:
    BasicCanvas(int32_t width, int32_t height, Pixel value = 0);

    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    Pixel At(int32_t x, int32_t y) const { return m_pixels[std::size_t(y) * std::size_t(m_width) + std::size_t(x)]; }
    const Pixel* Row(int32_t y) const { return &m_pixels[std::size_t(y) * std::size_t(m_width)]; }

    void Set(int32_t x, int32_t y, Pixel value);
    void Fill(Pixel value);
    // Copies a bottom-up 8-bit surface with its top-left corner at `at`, clipped to the canvas.
    void PutBottomUp(FirePoint at, FireSize size, const uint8_t* bits, int32_t stride);
    // Copies pixels of `size`, top row first, with their top-left corner at `at`, clipped.
    void Put(FirePoint at, FireSize size, const Pixel* pixels);
    // A pen line between pixel centres: one pixel wide for widths up to 1, otherwise every
    // pixel whose centre lies within width / 2 of the segment (a round brush).
    void Line(FirePoint from, FirePoint to, int32_t width, Pixel value);

    // The bounding box of everything drawn since the last call.
    PixelRect TakeDirty();

private:
    void Touch(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
    void Span(int32_t y, int32_t x0, int32_t x1, Pixel value);
    void ThinLine(FirePoint from, FirePoint to, Pixel value);
    void RoundLine(FirePoint from, FirePoint to, double radius, Pixel value);
    // Copies rows of a block at `at`, clipped; `row(y)` gives the source of canvas row y.
    template <class Source>
    void PutRows(FirePoint at, FireSize size, Source row);

    int32_t m_width;
    int32_t m_height;
    std::vector<Pixel> m_pixels;
    PixelRect m_dirty{0, 0, 0, 0};
};

using Canvas = BasicCanvas<uint8_t>;
using ColourCanvas = BasicCanvas<uint32_t>;

// The colour table entry closest to a colour (squared RGB distance; the lowest index on a tie).
uint8_t NearestIndex(const ColourTable& table, Colour colour);
